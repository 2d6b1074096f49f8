#include "app/command_frame.h"

#include "base/errors.h"
#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "project/project_code_page.h"
#include "store/scan_batch_journal.h"

namespace lexorin::commands {

namespace field = project::field;

OpenedProject::OpenedProject(store::Session& session, const std::string& program_directory,
                             const std::string& name, const CodePage& code_page)
    : name_(name),
      projects_module_(session),
      tables_{session, program_directory},
      code_page_(code_page) {
    project::require_project(projects(), name);
    code_page_ = project::ProjectCodePage(projects(), code_page);
    languages_.fill(projects().text(field::Languages));
}

const std::string& OpenedProject::select_language(const std::string& language) {
    for (size_t i = 0; i < languages_.items.size(); ++i) {
        if (equal_no_case(languages_.items[i], language)) {
            languages_.selected = static_cast<int>(i);
            return languages_.items[i];
        }
    }
    throw Error("The project " + name_ + " has no language " + language + ".");
}

std::unique_ptr<OpenedProject> OpenProject(store::Session& session,
                                           const std::string& program_directory,
                                           const std::string& name, const CodePage& code_page) {
    return std::make_unique<OpenedProject>(session, program_directory, name, code_page);
}

bool Ready(ProjectHandles project, Needs needs, Reporter& reporter) {
    const store::Table& projects = project.projects;
    LanguageList& languages = project.languages;
    const bool has_row = projects.is_open() && projects.has_current();
    if (!has_row || projects.text(field::Name).empty() || projects.text(field::Directory).empty()) {
        reporter.error("No project name found. Plase enter a project.");
        return false;
    }
    if (needs == Needs::Project) return true;
    if (needs == Needs::SelectedLanguage && !languages.has_selection()) {
        reporter.error("You did not select a language.");
        return false;
    }
    if (languages.items.empty()) {
        reporter.error("You have to add a language first.");
        return false;
    }
    if (!languages.has_selection()) languages.selected = 0;
    return true;
}

store::LanguageTables OpenLanguageTables(ProjectHandles project) {
    if (!project.languages.has_selection()) throw Error("You did not select a language.");
    return store::LanguageTables(project.tables, project.projects.text(field::Name),
                                 project.languages.selected_language());
}

ProjectLock LockProject(ProjectHandles project) {
    const std::string name = project.projects.text(field::Name);
    ProjectLock lock(project.tables.directory, name);
    store::RecoverScanBatch(project.tables.session, project.tables.directory, name);
    sweep_temporary_files(project.tables.directory);  // tables a killed run began
    return lock;
}

}  // namespace lexorin::commands
