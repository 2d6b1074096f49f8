#include "project/language_list.h"

#include "project/projects_table.h"

namespace lexorin {

void LanguageList::fill(const std::string& languages_text) {
    items = project::decode_list(languages_text);
    selected = items.size() == 1 ? 0 : -1;
}

}  // namespace lexorin
