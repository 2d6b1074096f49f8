#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"

// The translated form writer's rewriting without any file or table: a form text's strings
// replaced by their translations. TTranslator::TranslateForm feeds it the forms table's rows.
namespace lexorin::forms {

// What a row of the forms table says about one string.
struct FormTranslation {
    std::string original;     // OriginalString, as stored (no trailing blanks)
    std::string translation;  // TranslateString; empty = not translated
    int spaces_at_end = 0;    // the blanks the store dropped from both
};

// The row for an object path and property key, if there is one.
using TranslationLookup =
    std::function<std::optional<FormTranslation>(const std::string&, const std::string&)>;

struct TranslatedFormText {
    std::vector<std::string> lines;
    int replaced = 0;  // strings replaced by a translation
};

// Walks the lines with the scanner's rules and replaces every string whose row has a
// translation. `status` as for FindFormStrings. Raises an Error when an "end" closes nothing.
// A wide string takes its translation from `code_page` (Windows-1252 when none is given) in the
// wide layout, so the way back writes it in its own code again.
TranslatedFormText TranslateFormLines(const std::vector<std::string>& lines,
                                      const TranslationLookup& lookup, const std::string& form_path,
                                      Reporter* status, const CodePage* code_page = nullptr);

// The line with the original, as the text form writes it ('#39' for an apostrophe, the blanks
// at the end restored), replaced by the translation written the same way, everywhere in the
// part that begins with the first quote, without regard to case. Indentation and property name
// stay. Gives the line unchanged when the row holds no translation or a blank original.
std::string ReplaceFormString(const std::string& line, const FormTranslation& row);

}  // namespace lexorin::forms
