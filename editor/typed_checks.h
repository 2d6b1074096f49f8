#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "project/spelling.h"
#include "project/translation_checks.h"

// What the checks say about a translation while it is typed: the findings of the translation
// checks and the words the spelling dictionary does not know. Warnings both: a post goes ahead.
namespace lexorin::editor {

struct TypedChecks {
    std::vector<project::CheckFinding> findings;
    std::vector<project::Misspelling> misspellings;
    bool empty() const { return findings.empty() && misspellings.empty(); }
};

// The checks of `stored_translation` (as a post would store it) against `stored_original`, Pascal
// literal bodies when `code_row`, with the row's trailing `blanks` put back on both; the spelling
// of `translation_utf8`, the text as the translator reads it. An empty translation is not checked.
TypedChecks CheckTyped(std::string_view stored_original, std::string_view stored_translation,
                       const std::string& blanks, bool code_row,
                       const project::SpellChecker& speller, std::string_view translation_utf8);

// One line for each: "placeholders: 1 in the original, 0 in the translation",
// "spelling: Dattei (Datei, Dateien)"; in UTF-8.
std::vector<std::string> CheckLines(const TypedChecks& checks);

}  // namespace lexorin::editor
