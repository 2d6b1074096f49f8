#include "code/code_scan.h"

#include <map>
#include <optional>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "code/batch_failed.h"
#include "code/resource_strings.h"
#include "code/restore_journal.h"
#include "code/restored_literals.h"
#include "code/scan_batch_journal.h"
#include "code/scan_space.h"
#include "code/table_string_store.h"
#include "code/translator.h"
#include "project/backup.h"
#include "project/file_iterator.h"
#include "project/project_delete.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "project/status_line.h"
#include "store/language_copies.h"
#include "store/table_files.h"
#include "store/transcopy.h"
#include "store/translation_fields.h"

namespace lexorin::code {

namespace field = project::field;

PascalOptions OptionsFromProject(const store::Table& projects) {
    PascalOptions options;
    options.Pas_UnwantedStrings = SplitLines(projects.text(field::Cunwantedstrings));
    options.Pas_MinLength = static_cast<int>(projects.integer(field::Cminlength));
    options.Pas_StartChars = projects.text(field::Ceditchars);
    options.Pas_UnwantedStart = projects.text(field::Cstartignore);
    options.Pas_UnwantedWordPart = SplitLines(projects.text(field::Cunwantedwordparts));
    options.Pas_ContextLines = static_cast<int>(projects.integer(field::Ccontextlines));
    options.Pas_IgnoreInterface = projects.logical(field::Cignoreinterface);
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

static TTranslator translator_for(const store::Table& projects, Reporter& reporter) {
    TTranslator translator;
    static_cast<PascalOptions&>(translator) = OptionsFromProject(projects);
    translator.StatusBar = &reporter;
    return translator;
}

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

CodeScanReport RunCodeScan(store::TDaten& daten, const store::Table& projects,
                           const LanguageList& languages, Reporter& reporter) {
    CodeScanReport report;
    const std::string project = projects.text(field::Name);
    ProjectLock lock(daten.program_directory(), project);
    // A batch a killed scan left is completed or taken back before anything else.
    RecoverScanBatch(daten.session(), daten.program_directory(), project);
    // Everything the scan writes besides the units is checked before the first unit changes:
    // a table that fails later would leave rewritten units without their rows.
    store::RequireWritableTables(daten, project, languages.items, store::TableKind::Pascal);
    require_writable_file(projects.path(), "The project table");
    TTranslator translator = translator_for(projects, reporter);
    std::vector<project::UnreadableFolder> unreadable;
    std::vector<project::OutsideLink> outside;
    std::vector<std::string> units = ProjectUnitFiles(projects, &unreadable, &outside);
    for (const auto& [folder, reason] : unreadable)
        report.skipped.emplace_back(folder + "/", "the folder cannot be read: " + reason);
    for (const auto& link : outside)
        report.skipped.emplace_back(link.path, project::OutsideLinkReason(link));

    daten.tblPasFiles.open();
    daten.tblPasFiles.set_index_name(store::order::Name);
    daten.tblPascal.open();
    daten.tblUnits.open();
    daten.tblUnits.set_index_name(store::order::Name);
    std::vector<store::LanguageTable> others = store::OtherLanguageTables(
        daten, daten.tblPascal, project, languages.items, store::TableKind::Pascal);
    RequireSpaceForCodeScan(units, daten.program_directory(), languages.items.size(),
                            translator.Pas_ContextLines, daten.tblPascal, others);
    sweep_temporary_files_beside(units);  // leftovers of a killed run
    // A language an earlier scan left behind gets its rows before any new row is numbered.
    store::CatchUpLanguages(daten.tblPascal, languages.items, others, store::TableKind::Pascal,
                            "Copying code language to ", reporter);

    translator.UnitsTable = &daten.tblUnits;
    translator.FormsTable = &daten.tblForms;
    translator.PascalTable = &daten.tblPascal;
    translator.OtherPascalTables = store::TablesOf(others);
    translator.UnitBatch = kUnitBatch;
    RestoreJournal journal(daten.session(), daten.program_directory(), project);
    translator.Journal = &journal;
    ScanBatchJournal batch(daten.program_directory(), project);
    translator.BatchJournal = &batch;
    const RestoredLiterals restored = RestoredLiterals::Load(daten.tblPascal, daten.tblPasFiles);
    translator.Restored = &restored;
    std::map<std::string, int> scanned;  // the strings of each unit scanned
    std::optional<BatchFailed> stop;
    size_t next = units.size();
    for (size_t i = 0; i < units.size(); ++i) {
        reporter.progress(static_cast<int>(i), static_cast<int>(units.size()), units[i]);
        try {
            const int strings = translator.ScanUnit(units[i]);
            scanned[units[i]] = strings;
            report.strings_found += strings;
            ++report.units_scanned;
        } catch (const BatchFailed& e) {
            stop.emplace(e);
            next = i + 1;
            break;
        } catch (const std::exception& e) {
            report.skipped.emplace_back(units[i], e.what());
        }
    }
    if (!stop) {
        try {
            translator.CommitUnits();
        } catch (const BatchFailed& e) {
            stop.emplace(e);
        }
    }
    if (stop) ReportStop(report, *stop, units, next, scanned);
    for (const auto& failed : translator.FailedUnits) {
        report.skipped.push_back(failed);
        --report.units_scanned;
        if (const auto found = scanned.find(failed.first); found != scanned.end())
            report.strings_found -= found->second;
    }
    report.left_alone = translator.LeftAlone;
    reporter.progress(static_cast<int>(units.size()), static_cast<int>(units.size()), "");
    daten.tblUnits.flush();
    daten.tblPascal.flush();
    return report;
}

std::optional<std::string> FirstScanQuestion(store::TDaten& daten, const store::Table& projects) {
    store::Table& units = daten.tblPasFiles;
    if (!units.is_open()) units.open();
    if (units.record_count() > 1) return std::nullopt;
    const std::size_t count = ProjectUnitFiles(projects).size();
    const bool backed_up = file_exists(
        project::backup_archive_path(daten.program_directory(), projects.text(field::Name)));
    return "This rewrites " + std::to_string(count) + " units in place. A backup archive " +
           (backed_up ? "exists" : "does not exist") + ". Scan now?";
}

CodeScanReport DryRunCodeScan(store::TDaten& daten, const store::Table& projects,
                              Reporter& reporter) {
    CodeScanReport report;
    TTranslator translator = translator_for(projects, reporter);
    daten.tblPascal.open();
    daten.tblPasFiles.open();
    const RestoredLiterals restored = RestoredLiterals::Load(daten.tblPascal, daten.tblPasFiles);
    translator.Restored = &restored;
    std::int64_t next_index = 1;
    if (daten.tblPascal.record_count() > 0) {
        daten.tblPascal.last();
        next_index = daten.tblPascal.integer(store::field::Index) + 1;
    }
    MemoryStringStore strings(next_index);
    std::vector<project::OutsideLink> outside;
    std::vector<std::string> units = ProjectUnitFiles(projects, nullptr, &outside);
    for (const auto& link : outside)
        report.skipped.emplace_back(link.path, project::OutsideLinkReason(link));
    for (size_t i = 0; i < units.size(); ++i) {
        reporter.progress(static_cast<int>(i), static_cast<int>(units.size()), units[i]);
        try {
            std::vector<std::string> lines = read_text_lines(ReadUnitText(units[i]));
            UnitRewrite rewrite = translator.RewriteUnit(units[i], lines, strings);
            report.strings_found += rewrite.strings_found;
            AddCounts(report.left_alone, rewrite.left_alone);
            ++report.units_scanned;
            // Every changed line is preceded by a marker line holding the line as it was.
            for (const auto& line : rewrite.lines)
                if (starts_with(line, "//TL:")) ++report.lines_changed;
        } catch (const std::exception& e) {
            report.skipped.emplace_back(units[i], e.what());
        }
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

bool DeleteCodeTables(store::TDaten& daten, const std::string& project,
                      const LanguageList& languages, Reporter& reporter) {
    if (!reporter.confirm(
            "Do you really want to delete your last scan and ALL of your translations?"))
        return false;
    ProjectLock lock(daten.program_directory(), project);
    for (const auto& language : languages.items) {
        try {
            daten.tblPascal.close();
            daten.tblPascal.set_table_name(
                store::table_file_name(project, language, store::TableKind::Pascal));
            daten.tblPascal.empty();
            daten.tblPascal.open();
        } catch (const Error& e) {
            reporter.warning(e.what());  // the other languages are emptied all the same
        }
    }
    try {
        daten.tblPasFiles.close();
        daten.tblPasFiles.set_table_name(
            store::table_file_name(project, "", store::TableKind::PasFiles));
        daten.tblPasFiles.empty();
        daten.tblPasFiles.open();
        daten.tblPasFiles.append_record({0, store::kShowAll});
        daten.tblPasFiles.flush();
    } catch (const Error& e) {
        reporter.warning(e.what());
    }
    // The kept lines belong to the scan that is gone.
    try {
        const std::string journal = project::restore_journal_file_name(project);
        if (!store::find_file_no_case(daten.program_directory(), journal).empty())
            RestoreJournal(daten.session(), daten.program_directory(), project).Empty();
    } catch (const Error& e) {
        reporter.warning(e.what());
    }
    return true;
}

void WriteCodeChanges(store::TDaten& daten, store::Table& projects, const std::string& language,
                      Reporter& reporter) {
    std::string directory = projects.text(field::Directory);
    ProjectLock lock(daten.program_directory(), projects.text(field::Name));
    daten.tblPascal.open();
    sweep_temporary_files(ProjectDirectoryForFiles(directory));
    WriteResourceStringFiles(daten.session(), daten.tblPascal, directory, daten.code_page(),
                             &reporter);
    CopyGlueFiles(daten.program_directory(), directory);
    // The status line comes first, so that a project table that cannot be written is reported
    // instead of a success.
    AddStatusLine(projects, "Code changes written in " + language, "");
    reporter.information(CodeWrittenMessage(directory));
}

}  // namespace lexorin::code
