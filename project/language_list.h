#pragma once

#include <string>
#include <vector>

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

}  // namespace lexorin
