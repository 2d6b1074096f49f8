#pragma once

#include <string>
#include <vector>

#include "base/reporter.h"
#include "project/language_list.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// Project -> Delete: the project's row, then on request its translation tables.
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

// Removes every file of the project's own tables from the program directory, after releasing
// the shared handles. Tables whose names another registered project's tables also have (names
// can meet when they hold "_") are kept and listed. Tables of other projects whose names merely
// begin with this project's name and "_" are never touched.
ProjectDeletion DeleteProjectTables(store::TDaten& daten, store::Table& projects,
                                    const std::string& project,
                                    const std::vector<std::string>& languages);

// The whole command on the current project row: asks "This function deletes your translation
// project. Proceed?", deletes the row (raises Error when that fails, and then nothing else is
// done), refills `languages` from the row that is now current, asks "Do you also want to delete
// your translation files?" and on Yes deletes the tables as above. Files that could not be
// removed are also reported as a warning. Sources, rewritten units, resource-string files,
// translated forms and the backup archive stay.
ProjectDeletion DeleteProject(store::TDaten& daten, store::Table& projects, LanguageList& languages,
                              Reporter& reporter);

}  // namespace lexorin::project
