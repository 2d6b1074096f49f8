#pragma once

#include <string>
#include <vector>

#include "base/reporter.h"
#include "project/language_list.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::project {

// Empties the four templates in the program directory, so that every table copied from a
// template starts empty.
void EmptyTemplateTables(const store::TableFolder& tables);

// What AddLanguage did, and to which language (as the project lists it).
struct LanguageAddition {
    enum class Kind { Nothing, Added, Completed };
    Kind kind = Kind::Nothing;
    std::string language;
    explicit operator bool() const { return kind != Kind::Nothing; }
};

// Adds a language to the current project row: stores it in `languages` and creates its forms and
// pascal tables (and the project's units and pasfiles tables when missing) from the emptied
// templates; when the project had languages, the first one's string rows are copied in.
// A language already listed whose tables a killed command left missing or partial is completed
// instead (Kind::Completed); a complete one raises Error "This language already exists for the
// project." (compared without regard to case). A failure while the tables are made takes back
// the list entry and the tables made (TakeBackLanguage). An empty answer changes nothing.
LanguageAddition AddLanguage(const store::TableFolder& tables, store::Table& projects,
                             LanguageList& languages, const std::string& answer,
                             Reporter& reporter);

// Takes a language just added back: its forms and pascal tables and its list entry. A list that
// cannot be stored keeps the language, whose missing tables adding it again completes.
void TakeBackLanguage(const store::TableFolder& tables, store::Table& projects,
                      LanguageList& languages, const std::string& language);

// Deletes the selected language after two confirmations: its own forms and pascal tables with
// all their files, then its entry. The project's units and pasfiles tables stay. Returns the
// files that could not be removed (also reported as a warning).
std::vector<std::string> DeleteLanguage(const store::TableFolder& tables, store::Table& projects,
                                        LanguageList& languages, Reporter& reporter);

// Removes every file of the table with this file name; returns those that could not be removed.
std::vector<std::string> delete_table_files(const std::string& directory,
                                            const std::string& file_name);

}  // namespace lexorin::project
