#pragma once

#include <string>
#include <vector>

#include "base/reporter.h"
#include "project/language_list.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// Project -> Delete: on request the project's translation tables, then its row.
namespace lexorin::project {

// The file name of the project's restore journal (code/restore_journal.h).
std::string restore_journal_file_name(const std::string& project);

// The file names (with ".db") of a project's own tables: each language's forms and pascal
// tables, then the project's units, pasfiles and restore journal tables.
std::vector<std::string> project_table_names(const std::string& project,
                                             const std::vector<std::string>& languages);

struct ProjectDeletion {
    bool row_deleted = false;
    bool tables_deleted = false;       // the second question was answered Yes
    std::vector<std::string> removed;  // files removed
    std::vector<std::string> failed;   // "<file>: <reason>" for files that are still there
    std::vector<std::string> kept;     // tables left because another project uses them too
};

// Removes every file of the project's own tables from the program directory (the caller holds
// none of them open). Tables whose names another registered project's tables also have (names
// can meet when they hold "_") are kept and listed. Tables of other projects whose names merely
// begin with this project's name and "_" are never touched.
// `status`, when given, is told "Deleting <file>" before each table.
ProjectDeletion DeleteProjectTables(const store::TableFolder& tables, store::Table& projects,
                                    const std::string& project,
                                    const std::vector<std::string>& languages,
                                    Reporter* status = nullptr);

// The whole command on the current project row: asks "This function deletes your translation
// project. Proceed?" and "Do you also want to delete your translation files?", then on Yes
// deletes the tables as above, and the row last, after which `languages` is refilled from the
// row that is now current. So a deletion killed at any moment leaves the row, and the same
// command run again finishes it; a row that cannot be deleted (raises Error) leaves the tables.
// Files that could not be removed are also reported as a warning. Sources, rewritten units,
// resource-string files, translated forms and the backup archive stay.
ProjectDeletion DeleteProject(const store::TableFolder& tables, store::Table& projects,
                              LanguageList& languages, Reporter& reporter);

// The files in the program directory that a new project named `name` would take for its own:
// tables of that name (with their engine companions) that a deletion without its tables left,
// found without regard to case. Tables of registered projects are not listed, so neither is
// Demo_2_German_forms.db for a new project Demo while project Demo_2 exists. Full paths, sorted.
std::vector<std::string> LeftoverProjectFiles(const std::string& program_directory,
                                              store::Table& projects, const std::string& name);
// The languages whose forms and pascal tables are both among `files` (as LeftoverProjectFiles
// gives them for `name`), spelt as in the file names: what a project that takes the files over
// lists again.
std::vector<std::string> LeftoverLanguages(const std::vector<std::string>& files,
                                           const std::string& name);

}  // namespace lexorin::project
