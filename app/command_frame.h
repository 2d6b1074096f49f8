#pragma once

#include <string>
#include <vector>

#include "app/reporter.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin {

// The project window's language list: the current project's languages and the selected entry.
struct LanguageList {
    std::vector<std::string> items;
    int selected = -1;  // -1: none

    bool has_selection() const {
        return selected >= 0 && selected < static_cast<int>(items.size());
    }
    const std::string& selected_language() const { return items.at(static_cast<size_t>(selected)); }
    // Fills the list from a `languages` text; the only entry of a one-entry list is selected.
    void fill(const std::string& languages_text);
};

// The precondition of every command: a project with name and directory, and where needed a
// language, selected or (unless a selection is required) the first one.
bool CheckProjectReady(const store::Table& projects, LanguageList& languages, bool needLanguage,
                       bool requireSelection, Reporter& reporter);

// Points the four shared handles at the language's tables, in code mode with tblUnits on the
// pasfiles table, else on the units table; gives an empty pasfiles table its "(Show all)" row.
void PrepareLanguageTables(store::TDaten& daten, const std::string& project,
                           const std::string& language, bool codeMode);

// Today's date in the user's short date form.
std::string short_date_today();

// Keeps one dated line per kind of event in the project's Reserve memo: removes the first line
// that begins with `message`, appends message + detail + " on " + date, and posts.
void AddStatusLine(store::Table& projects, const std::string& message, const std::string& detail,
                   const std::string& date = short_date_today());

}  // namespace lexorin
