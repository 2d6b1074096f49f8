#include "app/commands.h"

#include <algorithm>
#include <chrono>

#include "base/errors.h"
#include "project/languages.h"
#include "project/status_line.h"

namespace lexorin::commands {

namespace field = project::field;

namespace {

// The language a command on one language works on; the front end selected it.
const std::string& selected_language(ProjectHandles project) {
    if (!project.languages.has_selection()) throw Error("You did not select a language.");
    return project.languages.selected_language();
}

}  // namespace

std::optional<ScanCodeResult> ScanCode(ProjectHandles project, const ScanCodeOptions& options,
                                       Reporter& reporter) {
    if (!Ready(project, Needs::Language, reporter)) return std::nullopt;
    Prepare(project, true);
    ScanCodeResult result;
    if (options.dry_run) {
        result.report = code::DryRunCodeScan(project.daten, project.projects, reporter);
        return result;
    }
    const ProjectLock lock = LockProject(project);
    // A project's first scan rewrites its units in place: asked once.
    if (const auto question = code::FirstScanQuestion(project.daten, project.projects);
        question && !reporter.confirm(*question))
        return result;
    result.report = code::RunCodeScan(project.daten, project.projects, project.languages, reporter);
    result.scanned = true;
    AddStatusLine(project.projects, "Code scanned", "");
    Prepare(project, true);
    return result;
}

std::optional<code::VerifyReport> VerifyCode(ProjectHandles project, Reporter& reporter,
                                             const VerifyOptions& options) {
    if (!Ready(project, Needs::Language, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    store::Table& projects = project.projects;
    const std::int64_t seconds =
        options.time_limit_seconds.value_or(projects.integer(field::Cbuildtimeout));
    const code::VerifyTarget target{projects.text(field::Name), project.languages,
                                    projects.text(field::Directory),
                                    projects.text(field::Cbuildcommand),
                                    std::chrono::seconds(std::max<std::int64_t>(seconds, 1))};
    code::VerifyReport report = code::VerifyBuild(project.daten, target, reporter);
    if (!report.has_command) return report;
    if (!report.restored.empty()) AddStatusLine(projects, "Code restored", "");
    AddStatusLine(projects, "Code verified",
                  report.compiles ? ": it compiles" : ": it does not compile");
    Prepare(project, true);
    return report;
}

std::optional<forms::FormScanReport> ScanForms(ProjectHandles project, Reporter& reporter) {
    if (!Ready(project, Needs::Language, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    Prepare(project, false);
    forms::FormScanReport report =
        forms::RunFormScan(project.daten, project.projects, project.languages, reporter);
    AddStatusLine(project.projects, "Forms scanned", "");
    Prepare(project, true);
    return report;
}

bool WriteCode(ProjectHandles project, Reporter& reporter) {
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return false;
    const ProjectLock lock = LockProject(project);
    Prepare(project, true);
    code::WriteCodeChanges(project.daten, project.projects, selected_language(project), reporter);
    return true;
}

std::optional<forms::FormWriteReport> WriteForms(ProjectHandles project, Reporter& reporter) {
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    Prepare(project, false);
    return forms::WriteFormChanges(project.daten, project.projects, selected_language(project),
                                   reporter);
}

code::RestoreReport RestoreInPreparedTables(ProjectHandles project,
                                            const code::RestoreSelection& selection,
                                            Reporter& reporter) {
    const ProjectLock lock = LockProject(project);
    code::RestoreReport report = code::RestoreCode(
        project.daten, project.projects.text(field::Name), project.languages, selection, reporter);
    if (!report.rows.empty() || !report.whole_units.empty())
        AddStatusLine(project.projects, "Code restored", "");
    return report;
}

std::optional<code::RestoreReport> RestoreCode(ProjectHandles project,
                                               const code::RestoreSelection& selection,
                                               Reporter& reporter) {
    if (!Ready(project, Needs::SelectedLanguage, reporter)) return std::nullopt;
    Prepare(project, true);
    code::RestoreReport report = RestoreInPreparedTables(project, selection, reporter);
    Prepare(project, true);
    return report;
}

std::optional<project::StatusAdvice> WhatNow(ProjectHandles project, Reporter& reporter) {
    return project::WhatNow(project.daten, project.projects, project.languages, reporter);
}

bool AddLanguage(ProjectHandles project, const std::string& language, Reporter& reporter) {
    if (!Ready(project, Needs::Project, reporter)) return false;
    const ProjectLock lock = LockProject(project);
    return project::AddLanguage(project.daten, project.projects, project.languages, language,
                                reporter);
}

LanguageDeletion DeleteLanguage(ProjectHandles project, Reporter& reporter) {
    LanguageDeletion result;
    std::optional<ProjectLock> lock;
    if (project.projects.has_current()) lock.emplace(LockProject(project));
    const size_t before = project.languages.items.size();
    result.failed =
        project::DeleteLanguage(project.daten, project.projects, project.languages, reporter);
    result.deleted = project.languages.items.size() != before;
    return result;
}

project::ProjectDeletion DeleteProject(ProjectHandles project, Reporter& reporter) {
    std::optional<ProjectLock> lock;
    if (project.projects.has_current() && !project.projects.text(field::Name).empty())
        lock.emplace(LockProject(project));
    return project::DeleteProject(project.daten, project.projects, project.languages, reporter);
}

std::optional<project::BackupResult> Backup(ProjectHandles project, Reporter& reporter) {
    if (!Ready(project, Needs::Project, reporter)) return std::nullopt;
    const ProjectLock lock = LockProject(project);
    store::Table& row = project.projects;
    return project::BackupProject(project.daten.program_directory(), row.text(field::Name),
                                  row.text(field::Directory), row.logical(field::Recoursive),
                                  project::decode_list(row.text(field::Excluded)), reporter,
                                  project::ProjectOutsideLinks(row));
}

project::PoExportResult ExportPo(ProjectHandles project, const std::string& po_path,
                                 const CodePage& code_page, Reporter& reporter) {
    return project::ExportPo(project.daten, project.projects.text(field::Name),
                             selected_language(project), po_path, code_page, reporter);
}

project::PoImportResult ImportPo(ProjectHandles project, const std::string& po_path,
                                 const CodePage& code_page, Reporter& reporter) {
    const ProjectLock lock = LockProject(project);
    return project::ImportPo(project.daten, project.projects.text(field::Name),
                             selected_language(project), po_path, code_page, reporter);
}

std::vector<project::TranslationProblem> Check(ProjectHandles project, Reporter& reporter) {
    return project::CheckLanguage(project.daten, project.projects.text(field::Name),
                                  selected_language(project), reporter);
}

}  // namespace lexorin::commands
