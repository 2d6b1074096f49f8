#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/code_page.h"
#include "base/reporter.h"
#include "project/language_list.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "store/session.h"
#include "store/string_tables.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// The frame every command runs in, whichever front end started it: the project it works on, the
// precondition and the project's lock.
namespace lexorin::commands {

// What a command works on: the Projects table on the project's row, the folder that holds the
// translation tables (the program directory, with the session they open in), the project's
// 8-bit code page (in which its tables keep their text) and the language list with its
// selection. Each command opens the tables it needs there and closes them when it ends. The
// project window holds these for its whole run; OpenProject makes them for one command line.
struct ProjectHandles {
    store::Table& projects;
    store::TableFolder tables;
    CodePage code_page;
    LanguageList& languages;
};

// A registered project opened by its name, as the project window holds it. Its code page is
// the one its row names, else the program's `code_page`.
class OpenedProject {
  public:
    OpenedProject(store::Session& session, const std::string& program_directory,
                  const std::string& name, const CodePage& code_page);

    ProjectHandles handles() { return {projects(), tables_, code_page_, languages_}; }
    store::Table& projects() { return projects_module_.Projects; }
    const store::TableFolder& tables() const { return tables_; }
    LanguageList& languages() { return languages_; }
    const std::string& name() const { return name_; }
    const CodePage& code_page() const { return code_page_; }

    // Selects a language of the project (compared without regard to case); raises an Error
    // naming the project when it has no such language.
    const std::string& select_language(const std::string& language);

  private:
    std::string name_;
    project::ProjectsTable projects_module_;
    store::TableFolder tables_;
    CodePage code_page_;
    LanguageList languages_;
};

// Opens the project `name` of "Projects.DB" in the working directory; raises an Error when
// there is no such project or its row names an unknown code page. `code_page` is the
// program's, read once at start-up, for a project whose row names none.
std::unique_ptr<OpenedProject> OpenProject(store::Session& session,
                                           const std::string& program_directory,
                                           const std::string& name,
                                           const CodePage& code_page = CodePage());

// What a command needs before it works: a language, and whether it must be the selected one.
enum class Needs { Project, Language, SelectedLanguage };

// The precondition of every command, checked once by the command function (a window checks it
// itself only before it asks something or opens a dialog): false, its message gone to the
// reporter, when the project row has no name or directory ("No project name found. Plase enter
// a project."), or when the command needs the selected language and none is ("You did not
// select a language.") or needs a language and the project has none ("You have to add a
// language first."). A command that needs any language takes the first when none is selected.
bool Ready(ProjectHandles project, Needs needs, Reporter& reporter);

// The four tables of the selected language, opened for a command or a window that works on them:
// a missing or broken table is reported by its name before any work, the project's unit files
// get their "(Show all)" row when they are empty and a forms table of an earlier layout gets its
// Context field. Raises an Error when no language is selected.
store::LanguageTables OpenLanguageTables(ProjectHandles project);

// The lock of the project, for a command that changes its tables or files; a unit batch of a
// scan that a crash interrupted is completed or taken back first.
ProjectLock LockProject(ProjectHandles project);

}  // namespace lexorin::commands
