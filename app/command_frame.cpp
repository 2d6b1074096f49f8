#include "app/command_frame.h"

#include "base/errors.h"
#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "code/scan_batch_journal.h"
#include "project/language_tables.h"
#include "project/project_ready.h"

namespace lexorin::commands {

namespace field = project::field;

OpenedProject::OpenedProject(store::Session& session, const std::string& program_directory,
                             const std::string& name, const CodePage& code_page)
    : name_(name), projects_module_(session), daten_(session, program_directory, code_page) {
    project::require_project(projects(), name);
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
    return CheckProjectReady(project.projects, project.languages, needs != Needs::Project,
                             needs == Needs::SelectedLanguage, reporter);
}

void Prepare(ProjectHandles project, bool codeMode) {
    const std::string language =
        project.languages.has_selection() ? project.languages.selected_language() : std::string();
    PrepareLanguageTables(project.daten, project.projects.text(field::Name), language, codeMode);
}

ProjectLock LockProject(ProjectHandles project) {
    const std::string name = project.projects.text(field::Name);
    ProjectLock lock(project.daten.program_directory(), name);
    code::RecoverScanBatch(project.daten.session(), project.daten.program_directory(), name);
    sweep_temporary_files(project.daten.program_directory());  // tables a killed run began
    return lock;
}

}  // namespace lexorin::commands
