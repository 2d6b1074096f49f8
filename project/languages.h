#pragma once

#include <string>
#include <vector>

#include "base/reporter.h"
#include "project/language_list.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::project {

// Points the four shared handles at the four templates and empties them, so that every table
// copied from a template starts empty and no handle holds a table about to be deleted.
void ResetTemplateTables(store::TDaten& daten);

// Adds a language to the current project row: stores it in `languages` and creates its forms and
// pascal tables (and the project's units and pasfiles tables when missing) from the emptied
// templates; when the project had languages, the first one's string rows are copied in.
// A language already listed whose tables a killed command left missing or partial is completed
// instead ("Language completed: " in the status lines); a complete one raises Error "This
// language already exists for the project." (compared without regard to case). A failure while
// the tables are made takes back the list entry and the tables made. An empty answer changes
// nothing and returns false.
bool AddLanguage(store::TDaten& daten, store::Table& projects, LanguageList& languages,
                 const std::string& answer, Reporter& reporter);

// Deletes the selected language after two confirmations: its own forms and pascal tables with
// all their files, then its entry. The project's units and pasfiles tables stay. Returns the
// files that could not be removed (also reported as a warning).
std::vector<std::string> DeleteLanguage(store::TDaten& daten, store::Table& projects,
                                        LanguageList& languages, Reporter& reporter);

// Removes every file of the table with this file name; returns those that could not be removed.
std::vector<std::string> delete_table_files(const std::string& directory,
                                            const std::string& file_name);

}  // namespace lexorin::project
