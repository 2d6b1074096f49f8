#include "app/commands.h"

#include <algorithm>
#include <chrono>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/resource_strings.h"
#include "editor/post_rules.h"
#include "editor/row_text.h"
#include "project/languages.h"
#include "project/memory_feed.h"
#include "project/project_code_page.h"
#include "project/project_kind.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "project/spelling.h"
#include "project/status_line.h"
#include "store/language_copies.h"
#include "store/string_tables.h"
#include "store/translation_fields.h"
#include "store/translation_memory.h"

namespace lexorin::commands {

namespace field = project::field;

namespace {

// The language a command on one language works on; the front end selected it.
const std::string& selected_language(ProjectHandles project) {
    if (!project.languages.has_selection()) throw Error("You did not select a language.");
    return project.languages.selected_language();
}

// Adds a language to the ready project under its lock, with its status line. A language that
// was added and whose status line cannot be written is taken back, as any failure while it is
// added is.
bool add_language(ProjectHandles project, const std::string& language, Reporter& reporter) {
    const ProjectLock lock = LockProject(project);
    const store::TableFolder& folder = project.tables;
    const project::LanguageAddition added =
        project::AddLanguage(folder, project.projects, project.languages, language, reporter);
    using Kind = project::LanguageAddition::Kind;
    if (added.kind == Kind::Completed)
        AddStatusLine(project.projects, "Language completed: " + added.language, "");
    if (added.kind == Kind::Added) {
        try {
            AddStatusLine(project.projects, "Language added: " + added.language, "");
        } catch (...) {
            project::TakeBackLanguage(folder, project.projects, project.languages, added.language);
            throw;
        }
    }
    return static_cast<bool>(added);
}

}  // namespace

std::optional<ScanCodeResult> ScanCode(ProjectHandles project, const ScanCodeOptions& options,
                                       Reporter& reporter) {
    if (!Ready(project, Needs::Language, reporter)) return std::nullopt;
    store::LanguageTables tables = OpenLanguageTables(project);
    ScanCodeResult result;
    const store::TableFolder& folder = project.tables;
    const std::string name = project.projects.text(field::Name);
    store::PascalRows& pascal = tables.pascal;
    store::UnitFiles& units = tables.unit_files;
    if (options.dry_run) {
        result.report = code::DryRunCodeScan(project.projects, pascal, units, reporter);
        return result;
    }
    const ProjectLock lock = LockProject(project);
    // A project's first scan rewrites its units in place: asked once.
    if (const auto question = code::FirstScanQuestion(units, project.projects);
        question && !reporter.confirm(*question))
        return result;
    std::vector<store::LanguageTable> others = store::OtherLanguageTables(
        folder, pascal.table(), name, project.languages.items, store::TableKind::Pascal);
    code::RestoreJournal journal(folder, name);
    result.report = code::RunCodeScan(project.projects, project.languages, pascal, units, others,
                                      journal, reporter);
    result.scanned = true;
    AddStatusLine(project.projects, "Code scanned", "");
    return result;
}

std::optional<code::VerifyReport> VerifyCode(ProjectHandles project, Reporter& reporter,
                                             const VerifyOptions& options) {
    if (!Ready(project, Needs::Language, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    store::Table& projects = project.projects;
    const std::int64_t seconds =
        options.time_limit_seconds.value_or(projects.integer(field::Cbuildtimeout));
    const code::VerifyTarget target{projects.text(field::Directory),
                                    projects.text(field::Cbuildcommand),
                                    std::chrono::seconds(std::max<std::int64_t>(seconds, 1))};
    code::ProjectCodeTables tables(project.tables, projects.text(field::Name), project.languages);
    code::VerifyReport report = code::VerifyBuild(tables, target, project.code_page, reporter);
    if (!report.has_command) return report;
    if (!report.restored.empty()) AddStatusLine(projects, "Code restored", "");
    AddStatusLine(projects, "Code verified",
                  report.compiles ? ": it compiles" : ": it does not compile");
    return report;
}

std::optional<forms::FormScanReport> ScanForms(ProjectHandles project, Reporter& reporter) {
    if (!Ready(project, Needs::Language, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    store::LanguageTables tables = OpenLanguageTables(project);
    forms::FormScanReport report =
        forms::RunFormScan(project.tables, tables.forms, tables.form_files, project.projects,
                           project.languages, project.code_page, reporter);
    AddStatusLine(project.projects, "Forms scanned", "");
    return report;
}

bool DeleteCodeTables(ProjectHandles project, Reporter& reporter) {
    const ProjectLock lock = LockProject(project);
    return code::DeleteCodeTables(project.tables, project.projects.text(field::Name),
                                  project.languages, reporter);
}

bool DeleteFormTables(ProjectHandles project, Reporter& reporter) {
    const ProjectLock lock = LockProject(project);
    return forms::DeleteFormTables(project.tables, project.projects.text(field::Name),
                                   project.languages, reporter);
}

bool WriteCode(ProjectHandles project, Reporter& reporter) {
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return false;
    const ProjectLock lock = LockProject(project);
    const store::LanguageTables tables = OpenLanguageTables(project);
    const std::string& language = tables.language;
    code::WriteCodeChanges(tables.pascal, project.projects, project.code_page, reporter);
    // The status line comes first, so that a project table that cannot be written is reported
    // instead of a success.
    AddStatusLine(project.projects, "Code changes written in " + language, "");
    reporter.information(code::CodeWrittenMessage(project.projects.text(field::Directory)));
    return true;
}

std::optional<forms::FormWriteReport> WriteForms(ProjectHandles project, Reporter& reporter) {
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    store::LanguageTables tables = OpenLanguageTables(project);
    const std::string& language = tables.language;
    forms::FormWriteReport report = forms::WriteFormChanges(
        tables.forms, tables.form_files, project.projects, project.code_page, reporter);
    // Not when every form failed: then nothing was written.
    if (report.failed.empty() || !report.written.empty())
        AddStatusLine(project.projects, "Form changes written in " + language, "");
    return report;
}

code::RestoreReport RestoreInView(ProjectHandles project, const code::RestoreSelection& selection,
                                  Reporter& reporter) {
    const ProjectLock lock = LockProject(project);
    code::ProjectCodeTables tables(project.tables, project.projects.text(field::Name),
                                   project.languages);
    code::RestoreReport report = code::RestoreCode(tables, selection, reporter);
    if (!report.rows.empty() || !report.whole_units.empty())
        AddStatusLine(project.projects, "Code restored", "");
    return report;
}

std::optional<code::RestoreReport> RestoreCode(ProjectHandles project,
                                               const code::RestoreSelection& selection,
                                               Reporter& reporter) {
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return std::nullopt;
    // Open up front and for the whole command, as the view has them open around a restore.
    const store::LanguageTables tables = OpenLanguageTables(project);
    return RestoreInView(project, selection, reporter);
}

std::optional<project::StatusAdvice> WhatNow(ProjectHandles project, Reporter& reporter,
                                             const std::string& date) {
    if (!Ready(project, Needs::Language, reporter)) return std::nullopt;
    const std::string language = project.languages.selected_language();
    project::LanguageStatus status(project.tables, project.projects.text(field::Name), language,
                                   reporter);
    AddStatusLine(project.projects, "Check " + language + ": ", status.result().summary, date);
    return status.Advise(project.projects.text(field::Reserve));
}

bool AddLanguage(ProjectHandles project, const std::string& language, Reporter& reporter) {
    if (!Ready(project, Needs::Project, reporter)) return false;
    return add_language(project, language, reporter);
}

bool AddLanguage(ProjectHandles project, const std::function<std::string()>& ask_language,
                 Reporter& reporter) {
    if (!Ready(project, Needs::Project, reporter)) return false;
    project::EmptyTemplateTables(project.tables);
    const std::string language = ask_language();
    if (language.empty()) return false;
    return add_language(project, language, reporter);
}

LanguageDeletion DeleteLanguage(ProjectHandles project, Reporter& reporter) {
    LanguageDeletion result;
    std::optional<ProjectLock> lock;
    if (project.projects.has_current()) lock.emplace(LockProject(project));
    const size_t before = project.languages.items.size();
    result.failed =
        project::DeleteLanguage(project.tables, project.projects, project.languages, reporter);
    result.deleted = project.languages.items.size() != before;
    return result;
}

project::ProjectDeletion DeleteProject(ProjectHandles project, Reporter& reporter) {
    std::optional<ProjectLock> lock;
    if (project.projects.has_current() && !project.projects.text(field::Name).empty())
        lock.emplace(LockProject(project));
    return project::DeleteProject(project.tables, project.projects, project.languages, reporter);
}

std::optional<project::BackupResult> Backup(ProjectHandles project, Reporter& reporter) {
    if (!Ready(project, Needs::Project, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    store::Table& row = project.projects;
    return project::BackupProject(
        project.tables.directory, row.text(field::Name), row.text(field::Directory),
        row.logical(field::Recoursive), project::decode_list(row.text(field::Excluded)), reporter,
        project::ProjectOutsideLinks(row),
        row.text(field::SourceExtensions) + ";" + row.text(field::FormsExtension));
}

bool OfferBackup(const std::string& program_directory, const std::string& project_name,
                 const std::vector<std::string>& files, Reporter& reporter,
                 project::BackupResult* result) {
    // The lock after the answer: the question comes while the project may have no row yet.
    if (!project::ConfirmBackup(project_name, reporter)) return false;
    const ProjectLock lock(program_directory, project_name);
    project::BackupResult done = project::BackupFiles(
        project::backup_archive_path(program_directory, project_name), files, reporter);
    if (result) *result = std::move(done);
    return true;
}

std::optional<project::BackupResult> CheckSourcesAndOfferBackup(
    const std::string& program_directory, const std::string& project_name,
    const std::string& directory, bool recursive, const std::vector<std::string>& excluded,
    const std::string& stored_directory, Reporter& reporter, project::OutsideLinks links) {
    const std::vector<std::string> files =
        project::SourceCheck(directory, recursive, excluded, reporter, nullptr, links);
    if (!stored_directory.empty()) return std::nullopt;
    project::BackupResult result;
    if (!OfferBackup(program_directory, project_name, files, reporter, &result))
        return std::nullopt;
    return result;
}

void SetProjectField(store::Table& projects, const std::string& program_directory,
                     const std::string& field, const FieldValue& value) {
    const ProjectLock lock(program_directory, projects.text(field::Name));
    if (equal_no_case(field, field::Name))
        throw Error("The name of an existing project cannot be changed.");
    if (equal_no_case(field, field::Directory)) {
        const std::string& directory = std::get<std::string>(value);
        if (!directory_exists(directory))
            throw Error("The directory " + directory + " does not exist.");
    }
    if (equal_no_case(field, field::Ccodepage))
        project::CheckCodePageName(std::get<std::string>(value));
    projects.edit();
    try {
        if (const bool* truth = std::get_if<bool>(&value))
            projects.set_logical(field, *truth);
        else if (equal_no_case(field, field::Ckind))  // the kind's defaults follow it
            project::SetProjectKind(projects,
                                    project::ParseProjectKind(std::get<std::string>(value)),
                                    project::FindLazarus());
        else
            projects.set_text(field, std::get<std::string>(value));
        projects.post();
    } catch (...) {
        projects.cancel();
        throw;
    }
}

void ListStrings(ProjectHandles project, store::TableKind kind,
                 const std::optional<std::string>& filter,
                 const std::function<void(const StringRow&)>& row) {
    store::Session& session = project.tables.session;
    const std::string& directory = project.tables.directory;
    const std::string file = store::table_file_name(project.projects.text(field::Name),
                                                    selected_language(project), kind);
    store::upgrade_table(session, directory, file, kind);
    store::Table table(session, directory, file);
    table.open();
    store::check_schema(table, store::schema_for(kind));
    if (filter) {
        table.set_filter(*filter);
        table.set_filtered(true);
    }
    for (table.first(); !table.eof(); table.next())
        row({table.integer(store::field::Index), table.text(store::field::OriginalString),
             table.text(store::field::TranslateString), table.logical(store::field::Ignore)});
}

bool Translate(ProjectHandles project, const TranslationEdit& edit, Reporter& reporter) {
    const ProjectLock lock = LockProject(project);
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return false;
    store::LanguageTables tables = OpenLanguageTables(project);
    // Opened first: a memory that cannot be used fails the command before the row changes.
    store::TranslationMemory memory(project.tables.directory);
    store::TranslationTable& strings =
        edit.forms ? static_cast<store::TranslationTable&>(tables.forms) : tables.pascal;
    store::Table& table = strings.table();
    if (!table.find_key({static_cast<std::int64_t>(std::stoll(edit.row))}))
        throw Error("There is no row " + edit.row + " in " + table.table_name() + ".");
    // A code row stores its literal body.
    const std::string stored =
        edit.forms ? edit.text
                   : editor::StoredText(edit.text, true, table.text(store::field::OriginalString));
    editor::PostTranslation(table, stored, strings.kind());
    table.flush();
    if (auto entry = project::MemoryEntryOfRow(table, !edit.forms, tables.project, tables.language,
                                               project.code_page))
        memory.Record(*entry);
    return true;
}

project::PoExportResult ExportPo(ProjectHandles project, const std::string& po_path,
                                 const CodePage& code_page, Reporter& reporter) {
    store::LanguageTables tables(project.tables, project.projects.text(field::Name),
                                 selected_language(project));
    return project::ExportPo(tables, po_path, code_page, reporter);
}

project::PoImportResult ImportPo(ProjectHandles project, const std::string& po_path,
                                 const CodePage& code_page, Reporter& reporter) {
    const ProjectLock lock = LockProject(project);
    store::LanguageTables tables(project.tables, project.projects.text(field::Name),
                                 selected_language(project));
    store::TranslationMemory memory(project.tables.directory);
    project::PoImportResult result = project::ImportPo(tables, po_path, code_page, reporter);
    memory.Record(result.memory_entries);  // one transaction
    return result;
}

std::optional<project::PretranslateResult> Pretranslate(ProjectHandles project, int min_similarity,
                                                        Reporter& reporter) {
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    store::LanguageTables tables = OpenLanguageTables(project);
    store::TranslationMemory memory(project.tables.directory);
    return project::Pretranslate(tables, memory, project.code_page, min_similarity, reporter);
}

std::optional<project::TmxExportResult> ExportTmx(ProjectHandles project, const std::string& path,
                                                  Reporter& reporter,
                                                  const std::string& source_language) {
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return std::nullopt;
    store::TranslationMemory memory(project.tables.directory);
    return project::ExportTmx(memory, path, selected_language(project), source_language);
}

project::TmxImportResult ImportTmx(const std::string& program_directory, const std::string& path) {
    store::TranslationMemory memory(program_directory);
    return project::ImportTmx(memory, path);
}

std::vector<project::TranslationProblem> Check(ProjectHandles project, Reporter& reporter,
                                               bool spelling) {
    const std::string name = project.projects.text(field::Name);
    const std::string& language = selected_language(project);
    store::PascalRows pascal(project.tables, name, language);
    store::FormRows forms(project.tables, name, language);
    if (!spelling) return project::CheckLanguage(pascal, forms, reporter);
    const project::SpellChecker checker(language,
                                        project::SpellChecker::DefaultDictionaryFolders());
    if (!checker.available())
        reporter.warning("No dictionary for " + language +
                         " is installed; the spelling is not checked.");
    const project::SpellingCheck check{checker, project.code_page};
    return project::CheckLanguage(pascal, forms, reporter, &check);
}

}  // namespace lexorin::commands
