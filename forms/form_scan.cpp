#include "forms/form_scan.h"

#include <algorithm>
#include <optional>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "codec/form_conversion.h"
#include "codec/form_errors.h"
#include "codec/form_text_check.h"
#include "forms/form_scan_batch.h"
#include "forms/form_scan_space.h"
#include "forms/form_scanner.h"
#include "forms/private_temp_directory.h"
#include "project/projects_table.h"
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

// Forms per batch: a few disk syncs for each batch instead of several per form; a batch that
// cannot be committed is stored again one form per commit.
constexpr std::size_t kFormsPerBatch = 64;

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
    FormScanBatch batch(scanner, {strings, form_files, others, journal}, reporter, kFormsPerBatch);

    // Forms that could not be read or scanned, by their number in `files`.
    std::vector<std::pair<std::size_t, std::string>> failed;
    std::optional<FormScanStopped> stop;
    // Each form's text is made in memory; the folders of form commands that were killed go.
    SweepKilledFormFolders();
    try {
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string& form = files[i];
            reporter.progress(static_cast<int>(i), static_cast<int>(files.size()), form);
            std::vector<FormString> found;
            try {
                // A form stored as text is taken as it stands; only a real form text is
                // scanned, so that a file of another kind under a form's name adds no rows.
                const codec::FormFileText text = codec::ReadFormFileAsText(form);
                if (text.was_text) codec::CheckFormText(text.text);
                found = scanner.Find(text.text, form);
            } catch (const std::exception& e) {
                // The report names the form; the reason gives the line or byte offset.
                failed.emplace_back(i, codec::FormFailureReason(e));
                continue;
            }
            batch.Add(i, form, std::move(found));
        }
        batch.Commit();
    } catch (const FormScanStopped& e) {
        // The tables cannot take this form (a full disk): the forms after it would fare no
        // better.
        stop = e;
    }
    failed.insert(failed.end(), batch.skipped().begin(), batch.skipped().end());
    std::stable_sort(failed.begin(), failed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [number, reason] : failed)
        if (!stop || number < stop->form) report.skipped.emplace_back(files[number], reason);
    if (stop) ReportStop(report, files, stop->form, stop->what());
    report.forms_scanned = batch.forms_stored();
    report.strings_found = batch.strings_stored();
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
