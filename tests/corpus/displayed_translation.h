#pragma once

// Whether a translated program shows what its translation tables say: the texts its forms show
// in the original build and in the translated one, held against the rows of the PO file that
// lexorin-cli exports after the translation was imported (each row's original, its translation,
// its ignore mark).

#include <map>
#include <set>
#include <string>
#include <vector>

#include "corpus/form_text_dump.h"
#include "corpus/po_entries.h"

namespace lexorin::corpus {

// The translator's comment that marks a row stored ignored in an exported PO file.
inline constexpr const char* kIgnoreMark = "lexorin-ignore";

struct DisplayCheck {
    int printed = 0;       // values the original shows
    int german = 0;        // shown translated, as their form rows say
    int ignored = 0;       // form rows stored ignored: shown in the original
    int untranslated = 0;  // form rows without a translation: shown in the original
    int from_code = 0;     // set by the program's code from a translated code string
    int inherited = 0;     // taken from a translated row of its form (a parent's font)
    // "key=value (row: original)" of form rows whose value the program changed before it
    // showed it: unchanged.
    std::vector<std::string> set_at_run_time;
    // Values no row holds (names, defaults, set at run time): unchanged; counted by property.
    std::map<std::string, int> without_row;
    std::vector<std::string> left_out;    // "key=value" the form files hold but no row took
    std::vector<std::string> not_linked;  // "key=value" of translated rows whose form file the
                                          // program does not link with a {$R} directive
    // "key=value" of translated rows whose original the form scanner kept in the form text's
    // notation (an apostrophe doubled, a #code): the program shows them untranslated.
    std::vector<std::string> in_notation;
    std::vector<std::string> mismatches;  // what the translated build shows otherwise
};

// Holds the translated build's texts against the original's, key by key: a value whose form row
// (same form, component and property, same original) has a translation that is neither fuzzy nor
// ignored, in a form file of `linked_forms`, must show that translation; any other must show
// unchanged, or, where the program's own code set it from a translated code string or the
// control took it from a translated row of its form (Font.Name from its parent's), that
// translation; no key may come or go. `linked_forms` names the form files (as the rows' contexts
// do) that the program links with a {$R} directive, the ones lexorin switches to their
// translation; `form_files` is the text of all, to tell values that no row took.
DisplayCheck CheckDisplayedTranslation(const FormTexts& original, const FormTexts& translated,
                                       const std::vector<PoEntry>& rows,
                                       const std::set<std::string>& linked_forms,
                                       const std::string& form_files);

}  // namespace lexorin::corpus
