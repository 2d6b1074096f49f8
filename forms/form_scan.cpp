#include "forms/form_scan.h"

#include <algorithm>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "codec/form_conversion.h"
#include "codec/form_errors.h"
#include "codec/form_text_check.h"
#include "forms/form_scan_space.h"
#include "forms/form_scanner.h"
#include "forms/private_temp_directory.h"
#include "project/projects_table.h"
#include "store/held_tables.h"
#include "store/scan_batch_journal.h"
#include "store/transcopy.h"
#include "store/translation_fields.h"

namespace lexorin::forms {

namespace field = project::field;

std::vector<std::string> ProjectFormFiles(const store::Table& projects,
                                          std::vector<project::UnreadableFolder>* unreadable) {
    return project::ProjectFiles(projects, field::FormsExtension, unreadable);
}

namespace {

// The tables one form's scan writes, and the journal that guards their commits.
struct FormScanTables {
    store::FormRows& strings;
    store::FormFiles& form_files;
    std::vector<store::LanguageTable>& others;
    store::ScanBatchJournal& journal;
};

// The copies of new rows in the other languages start with no Ignore flag (an unwanted string
// is a choice of one language); a string of a non-text property is no text in any language.
void IgnoreNonTextCopies(std::vector<store::LanguageTable>& others, std::int64_t after,
                         const std::vector<std::string>& non_text_properties) {
    if (non_text_properties.empty()) return;
    for (auto& other : others) {
        store::Table& rows = *other.table;
        rows.set_index_name("");
        const std::vector<std::int64_t> ids = rows.visible_row_ids();
        for (auto id = std::upper_bound(ids.begin(), ids.end(), after); id != ids.end(); ++id) {
            if (!rows.find_key({*id})) continue;
            if (rows.logical(store::field::Ignore) ||
                !IsNonTextProperty(rows.text(store::field::Property), non_text_properties))
                continue;
            rows.edit();
            rows.set_logical(store::field::Ignore, true);
            rows.post();
        }
    }
}

// Stores the strings of one form (its text at text_path) in the scanned language's table, and
// its new rows in every other language's, as one unit of work: in all of them or in none.
// Raises a StoreError when the tables could not take them (they are all as before the
// form again, or the journal stays for the next command); any other Error when the text could
// not be scanned (nothing was written).
int ScanFormInAllLanguages(FormStringScanner& scanner, const std::string& text_path,
                           const std::string& form, FormScanTables& tables, Reporter& reporter) {
    store::Table& scanned = tables.strings.table();
    std::vector<store::Table*> held_tables = store::TablesOf(tables.others);
    held_tables.push_back(&tables.form_files.table());
    held_tables.push_back(&scanned);  // last: the scan changes rows there, not only appends
    store::HeldTables held(held_tables);
    const int strings = scanner.Scan(text_path, form);
    try {
        const std::int64_t after = held.mark_of(scanned);
        if (scanned.last_key_number() > after && !tables.others.empty()) {
            store::CopyNewRows(scanned, tables.others, after, store::TableKind::Forms, "",
                               reporter);
            IgnoreNonTextCopies(tables.others, after, scanner.filters().non_text_properties);
            // The files are committed one by one: a run killed between them is taken back by
            // the next command.
            std::vector<store::TableMark> marks;
            for (const auto& mark : held.marks())
                marks.push_back({mark.table_name, mark.last_number});
            tables.journal.Begin(std::move(marks));
        }
        held.Commit();
    } catch (const std::exception& e) {
        held.Rollback();
        tables.journal.Settle(held.restored());
        throw StoreError(e.what());
    }
    if (tables.journal.open()) tables.journal.End();
    return strings;
}

// The report of a scan that stopped at `stopped_at`: the forms from there on were not scanned.
void ReportStop(FormScanReport& report, const std::vector<std::string>& files, size_t stopped_at,
                const std::string& reason) {
    report.stopped = reason +
                     "; the scan stopped and left the forms tables of every language as they "
                     "were before this form";
    report.skipped.emplace_back(files[stopped_at], report.stopped);
    for (size_t rest = stopped_at + 1; rest < files.size(); ++rest)
        report.skipped.emplace_back(files[rest], "not scanned: the scan stopped before it");
}

}  // namespace

FormScanReport ScanAllForms(store::FormRows& strings, store::FormFiles& form_files,
                            std::vector<store::LanguageTable>& others, const store::Table& projects,
                            const std::vector<std::string>& files, const CodePage& code_page,
                            Reporter& reporter) {
    FormScanReport report;
    FormStringScanner scanner(strings, form_files, code_page,
                              {SplitLines(projects.text(field::Funwantedstrings)),
                               SplitLines(projects.text(field::Fnontextproperties))},
                              reporter);
    // The journal lies beside the tables it guards.
    store::ScanBatchJournal journal(strings.directory(), projects.text(field::Name));
    FormScanTables tables{strings, form_files, others, journal};

    PrivateTempDirectory temp;
    const std::string text_path = temp.file("Tempform.txt");
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& form = files[i];
        reporter.progress(static_cast<int>(i), static_cast<int>(files.size()), form);
        try {
            // A form stored as text is copied as it stands; only a real form text is scanned,
            // so that a file of another kind under a form's name adds no rows.
            if (codec::FormFileToText(form, text_path)) codec::CheckFormTextFile(text_path);
            report.strings_found +=
                ScanFormInAllLanguages(scanner, text_path, form, tables, reporter);
            ++report.forms_scanned;
        } catch (const StoreError& e) {
            // The tables cannot take this form (a full disk): the forms after it would fare no
            // better.
            remove_if_present(text_path);
            ReportStop(report, files, i, e.what());
            break;
        } catch (const std::exception& e) {
            // The report names the form; the reason gives the line or byte offset.
            report.skipped.emplace_back(form, codec::FormFailureReason(e));
        }
        remove_if_present(text_path);
    }
    reporter.progress(static_cast<int>(files.size()), static_cast<int>(files.size()), "");
    form_files.flush();
    strings.flush();
    return report;
}

FormScanReport RunFormScan(const store::TableFolder& folder, store::FormRows& strings,
                           store::FormFiles& form_files, const store::Table& projects,
                           const LanguageList& languages, const CodePage& code_page,
                           Reporter& reporter) {
    const std::string project = projects.text(field::Name);
    // The tables every language gets are checked before anything is written.
    store::RequireWritableTables(folder, project, languages.items, store::TableKind::Forms);
    require_writable_file(projects.path(), "The project table");
    std::vector<project::UnreadableFolder> unreadable;
    const std::vector<std::string> files = ProjectFormFiles(projects, &unreadable);
    std::vector<store::LanguageTable> others = store::OtherLanguageTables(
        folder, strings.table(), project, languages.items, store::TableKind::Forms);
    RequireSpaceForFormScan(files, folder.directory, languages.items.size(), form_files, strings,
                            others);
    // A language an earlier scan left behind gets its rows before any new row is numbered.
    store::CatchUpLanguages(strings.table(), languages.items, others, store::TableKind::Forms,
                            "Copying forms language to ", reporter);
    FormScanReport report;
    for (const auto& [unreadable_folder, reason] : unreadable)
        report.skipped.emplace_back(unreadable_folder + "/",
                                    "the folder cannot be read: " + reason);
    FormScanReport scan =
        ScanAllForms(strings, form_files, others, projects, files, code_page, reporter);
    report.forms_scanned = scan.forms_scanned;
    report.strings_found = scan.strings_found;
    report.stopped = scan.stopped;
    report.skipped.insert(report.skipped.end(), scan.skipped.begin(), scan.skipped.end());
    return report;
}

bool DeleteFormTables(const store::TableFolder& folder, const std::string& project,
                      const LanguageList& languages, Reporter& reporter) {
    if (!reporter.confirm(
            "Do you really want to delete your last forms scan and ALL of your translations?"))
        return false;
    for (const auto& language : languages.items) {
        store::FormRows strings(folder, project, language);
        strings.table().empty();
    }
    store::FormFiles form_files(folder, project);
    form_files.table().empty();
    form_files.append({0, store::kShowAll, {}});
    form_files.flush();
    return true;
}

}  // namespace lexorin::forms
