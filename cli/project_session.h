#pragma once

#include <optional>
#include <string>

#include "cli/command_line.h"
#include "project/language_list.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "store/translation_tables.h"

namespace lexorin::cli {

// What a command on one project works with, as the project window holds it: the Projects table
// on that project's row, the shared table handles in the program directory, the language list.
class ProjectSession {
  public:
    ProjectSession(Context& context, const std::string& project_name);

    store::Table& projects() { return projects_module_.Projects; }
    store::TDaten& daten() { return daten_; }
    LanguageList& languages() { return languages_; }
    const std::string& name() const { return name_; }

    // Selects a language of the project (compared without regard to case); raises an Error
    // naming the project when it has no such language.
    const std::string& select_language(const std::string& language);
    // The project-window precondition with the language selected; raises on failure.
    void require_ready(bool requireSelection);
    // Takes the project's lock for the rest of the session: for commands that change the
    // project's tables or files.
    void lock();

  private:
    std::string name_;
    Context& context_;
    project::TDataProjects projects_module_;
    store::TDaten daten_;
    LanguageList languages_;
    std::optional<ProjectLock> lock_;
};

}  // namespace lexorin::cli
