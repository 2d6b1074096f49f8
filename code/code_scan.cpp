#include "code/code_scan.h"

#include <map>
#include <memory>
#include <optional>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "code/batch_failed.h"
#include "code/marker_line.h"
#include "code/resource_strings.h"
#include "code/restore_journal.h"
#include "code/restored_literals.h"
#include "code/scan_space.h"
#include "code/unit_batch.h"
#include "code/unit_prefetch.h"
#include "code/unit_scanner.h"
#include "project/backup.h"
#include "project/file_walker.h"
#include "project/project_delete.h"
#include "project/projects_table.h"
#include "store/language_copies.h"
#include "store/scan_batch_journal.h"
#include "store/table_files.h"
#include "store/transcopy.h"
#include "store/translation_fields.h"

namespace lexorin::code {

namespace field = project::field;

CodeScanOptions OptionsFromProject(const store::Table& projects) {
    CodeScanOptions options;
    options.skipped_pieces = SplitLines(projects.text(field::Cunwantedstrings));
    options.min_length = static_cast<int>(projects.integer(field::Cminlength));
    options.required_chars = projects.text(field::Ceditchars);
    options.rejected_starts = projects.text(field::Cstartignore);
    options.ignored_word_parts = SplitLines(projects.text(field::Cunwantedwordparts));
    options.context_lines = static_cast<int>(projects.integer(field::Ccontextlines));
    options.ignore_interface = projects.logical(field::Cignoreinterface);
    return options;
}

std::vector<std::string> ProjectUnitFiles(const store::Table& projects,
                                          std::vector<project::UnreadableFolder>* unreadable,
                                          std::vector<project::OutsideLink>* skipped_links) {
    return project::ProjectFiles(projects, field::SourceExtensions, unreadable,
                                 project::ProjectOutsideLinks(projects), skipped_links);
}

// Rewritten units are put in place in groups of this many, each group after one commit of
// the rows in every language and one sync: a crash leaves every unit either rewritten or as it
// was.
constexpr size_t kUnitBatch = 200;

// The report of a scan that stopped at a batch it could not commit: the batch's units were
// taken back, those after it never scanned.
static void ReportStop(CodeScanReport& report, const BatchFailed& stop,
                       const std::vector<std::string>& units, size_t next,
                       const std::map<std::string, int>& scanned) {
    report.stopped = stop.what();
    for (const auto& unit : stop.units()) {
        if (const auto found = scanned.find(unit); found != scanned.end()) {
            --report.units_scanned;
            report.strings_found -= found->second;
        }
        report.skipped.emplace_back(unit, stop.what());
    }
    for (size_t i = next; i < units.size(); ++i)
        report.skipped.emplace_back(units[i], "not scanned: the scan stopped before it");
}

CodeScanReport RunCodeScan(const store::Table& projects, const LanguageList& languages,
                           store::PascalRows& pascal, store::UnitFiles& units,
                           std::vector<store::LanguageTable>& other_languages,
                           RestoreJournal& journal, Reporter& reporter) {
    CodeScanReport report;
    const std::string project = projects.text(field::Name);
    const store::TableFolder folder = pascal.folder();
    // Everything the scan writes besides the units is checked before the first unit changes:
    // a table that fails later would leave rewritten units without their rows.
    store::RequireWritableTables(folder, project, languages.items, store::TableKind::Pascal);
    require_writable_file(projects.path(), "The project table");
    const CodeScanOptions options = OptionsFromProject(projects);
    std::vector<project::UnreadableFolder> unreadable;
    std::vector<project::OutsideLink> outside;
    std::vector<std::string> paths = ProjectUnitFiles(projects, &unreadable, &outside);
    for (const auto& [unread, reason] : unreadable)
        report.skipped.emplace_back(unread + "/", "the folder cannot be read: " + reason);
    for (const auto& link : outside)
        report.skipped.emplace_back(link.path, project::OutsideLinkReason(link));

    RequireSpaceForCodeScan(paths, folder.directory, languages.items.size(), options.context_lines,
                            pascal.table(), other_languages);
    sweep_temporary_files_beside(paths);  // leftovers of a killed run
    // A language an earlier scan left behind gets its rows before any new row is numbered.
    store::CatchUpLanguages(pascal.table(), languages.items, other_languages,
                            store::TableKind::Pascal, "Copying code language to ", reporter);

    store::ScanBatchJournal batch_journal(folder.directory, project);
    const RestoredLiterals restored = RestoredLiterals::Load(pascal, units);
    const UnitScanner scanner(options, restored, &reporter);
    UnitBatch batch({.pascal = pascal,
                     .units = units,
                     .other_languages = &other_languages,
                     .restore_journal = &journal,
                     .batch_journal = &batch_journal},
                    kUnitBatch, &reporter);
    std::map<std::string, int> scanned;  // the strings of each unit scanned
    std::optional<BatchFailed> stop;
    // The units ahead are read and rewritten on another thread once the table's numbering is
    // known (after the first string stored), and again whenever it went otherwise than foreseen.
    UnitPrefetch prefetch(options, restored, paths);
    std::optional<std::int64_t> foreseen;  // the prefetch's number for the next unit's strings
    size_t next = paths.size();
    for (size_t i = 0; i < paths.size(); ++i) {
        reporter.progress(static_cast<int>(i), static_cast<int>(paths.size()), paths[i]);
        std::unique_ptr<PreparedUnit> prepared = prefetch.Take(i);
        foreseen = prepared ? std::optional(prepared->next_index()) : std::nullopt;
        try {
            const int strings = batch.ScanUnit(scanner, paths[i], prepared.get());
            scanned[paths[i]] = strings;
            report.strings_found += strings;
            ++report.units_scanned;
        } catch (const BatchFailed& e) {
            stop.emplace(e);
            next = i + 1;
            break;
        } catch (const std::exception& e) {
            report.skipped.emplace_back(paths[i], e.what());
        }
        if (const auto next_index = batch.next_index(); next_index && foreseen != next_index)
            prefetch.Restart(i + 1, *next_index);
    }
    if (!stop) {
        try {
            batch.CommitUnits();
        } catch (const BatchFailed& e) {
            stop.emplace(e);
        }
    }
    if (stop) ReportStop(report, *stop, paths, next, scanned);
    for (const auto& failed : batch.failed_units()) {
        report.skipped.push_back(failed);
        --report.units_scanned;
        if (const auto found = scanned.find(failed.first); found != scanned.end())
            report.strings_found -= found->second;
    }
    report.left_alone = batch.left_alone();
    reporter.progress(static_cast<int>(paths.size()), static_cast<int>(paths.size()), "");
    units.flush();
    pascal.flush();
    return report;
}

std::optional<std::string> FirstScanQuestion(store::UnitFiles& units,
                                             const store::Table& projects) {
    if (units.record_count() > 1) return std::nullopt;
    const std::size_t count = ProjectUnitFiles(projects).size();
    const bool backed_up =
        file_exists(project::backup_archive_path(units.directory(), projects.text(field::Name)));
    return "This rewrites " + std::to_string(count) + " units in place. A backup archive " +
           (backed_up ? "exists" : "does not exist") + ". Scan now?";
}

CodeScanReport DryRunCodeScan(const store::Table& projects, store::PascalRows& pascal,
                              const store::UnitFiles& units, Reporter& reporter) {
    CodeScanReport report;
    const CodeScanOptions options = OptionsFromProject(projects);
    const RestoredLiterals restored = RestoredLiterals::Load(pascal, units);
    const UnitScanner scanner(options, restored, &reporter);
    std::int64_t next_index = 1;
    if (pascal.record_count() > 0) {
        pascal.table().last();
        next_index = pascal.current().index + 1;
    }
    MemoryStringStore strings(next_index);
    std::vector<project::OutsideLink> outside;
    std::vector<std::string> paths = ProjectUnitFiles(projects, nullptr, &outside);
    for (const auto& link : outside)
        report.skipped.emplace_back(link.path, project::OutsideLinkReason(link));
    // The units ahead are read and rewritten on another thread (see UnitPrefetch).
    UnitPrefetch prefetch(options, restored, paths);
    prefetch.Restart(0, next_index);
    for (size_t i = 0; i < paths.size(); ++i) {
        reporter.progress(static_cast<int>(i), static_cast<int>(paths.size()), paths[i]);
        const std::unique_ptr<PreparedUnit> prepared = prefetch.Take(i);
        // The prefetch's number for the next unit's strings; none (0) without a prepared unit.
        const std::int64_t foreseen = prepared ? prepared->next_index() : 0;
        try {
            std::string text;
            std::vector<std::string_view> lines;
            std::optional<RewrittenUnit> own_rewrite;
            const RewrittenUnit* taken = nullptr;
            if (prepared && prepared->usable && prepared->first_index == strings.next_index()) {
                for (const std::string& status : prepared->status_texts) reporter.status(status);
                for (const auto& row : prepared->rows) strings.Add(row.second);
                taken = &prepared->rewrite;
            } else {
                text = ReadUnitText(paths[i]);
                lines = read_text_line_views(text);
                own_rewrite = scanner.RewriteLines(paths[i], lines, strings);
                taken = &*own_rewrite;
            }
            const RewrittenUnit& rewrite = *taken;
            report.strings_found += rewrite.strings_found;
            AddCounts(report.left_alone, rewrite.left_alone);
            ++report.units_scanned;
            // Every changed line is preceded by a marker line holding the line as it was.
            for (const std::string_view line : rewrite.lines.lines())
                if (IsMarkerLine(line)) ++report.lines_changed;
        } catch (const std::exception& e) {
            report.skipped.emplace_back(paths[i], e.what());
        }
        if (foreseen != strings.next_index()) prefetch.Restart(i + 1, strings.next_index());
    }
    report.would_add = strings.rows();
    return report;
}

std::string LeftAloneSummary(const ContextCounts& counts) {
    const int total = TotalLeftAlone(counts);
    if (total == 0) return "";
    std::string text =
        std::to_string(total) + (total == 1 ? " literal" : " literals") + " left alone:";
    const char* separator = " ";
    for (size_t i = 0; i < counts.size(); ++i) {
        const auto context = static_cast<LiteralContext>(i);
        if (context == LiteralContext::Expression || counts[i] == 0) continue;
        text += separator + std::to_string(counts[i]) + " " + ContextName(context);
        separator = ", ";
    }
    return text;
}

bool DeleteCodeTables(const store::TableFolder& folder, const std::string& project,
                      const LanguageList& languages, Reporter& reporter) {
    if (!reporter.confirm(
            "Do you really want to delete your last scan and ALL of your translations?"))
        return false;
    // Each table by its name: one that is missing or broken does not keep the others full.
    auto empty = [&](const std::string& file_name) {
        store::Table table(folder.session, folder.directory, file_name);
        table.empty();
        table.open();
    };
    for (const auto& language : languages.items) {
        try {
            empty(store::table_file_name(project, language, store::TableKind::Pascal));
        } catch (const Error& e) {
            reporter.warning(e.what());  // the other languages are emptied all the same
        }
    }
    try {
        empty(store::table_file_name(project, "", store::TableKind::PasFiles));
        store::UnitFiles units(folder, project);  // which gets its "(Show all)" row again
    } catch (const Error& e) {
        reporter.warning(e.what());
    }
    // The kept lines belong to the scan that is gone.
    try {
        const std::string journal = project::restore_journal_file_name(project);
        if (!store::find_file_no_case(folder.directory, journal).empty())
            RestoreJournal(folder, project).Empty();
    } catch (const Error& e) {
        reporter.warning(e.what());
    }
    return true;
}

void WriteCodeChanges(const store::PascalRows& pascal, const store::Table& projects,
                      const CodePage& code_page, Reporter& reporter) {
    std::string directory = projects.text(field::Directory);
    sweep_temporary_files(ProjectDirectoryForFiles(directory));
    WriteResourceStringFiles(pascal, directory, code_page, &reporter);
    CopyGlueFiles(pascal.directory(), directory);
}

}  // namespace lexorin::code
