#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "store/string_tables.h"
#include "store/translation_tables.h"

// Checks of a translation against its original, as translators' tools make them: what would
// raise an exception, lose a keyboard shortcut or break the layout in the translated program.
namespace lexorin::project {

enum class CheckKind {
    Placeholders,
    Accelerators,
    LeadingBlanks,
    TrailingBlanks,
    LineBreaks,
    Spelling
};

// "placeholders", "accelerators", "leading blanks", "trailing blanks", "line breaks", "spelling"
const char* check_kind_name(CheckKind kind);

struct CheckFinding {
    CheckKind kind;
    std::string detail;  // what differs, for example "2 in the original, 0 in the translation"
};

// The findings for one pair of texts (trailing blanks already put back on both).
std::vector<CheckFinding> CheckTranslation(std::string_view original, std::string_view translation);
// The same for the stored texts of a code row, Pascal literal bodies (Don''t, A'#13#10'B): they
// are compared as the texts they stand for, as translators read them.
std::vector<CheckFinding> CheckCodeTranslation(std::string_view original,
                                               std::string_view translation);

// "&" marks the next character as the keyboard shortcut; "&&" is an ampersand.
int count_accelerators(std::string_view text);
// Real CR, LF or CR LF, and the character codes #13, #10 or #13#10 of the form text.
int count_line_breaks(std::string_view text);

struct TranslationProblem {
    store::TableKind table;  // Pascal or Forms
    std::int64_t index;
    CheckFinding finding;
};

// The blanks that the writers put back after a row's texts: `SpacesAtEnd` of them, at most 1024
// (a damaged count must not make a text of gigabytes).
std::string spaces_at_end(const store::Table& row);

// "code" or "forms"
const char* table_kind_label(store::TableKind table);

class SpellChecker;

// The words of a translation (8-bit text in `code_page`; a code row's a literal body) that
// `checker` does not know, each a Spelling finding: "Dattei (Datei, Dateien)".
std::vector<CheckFinding> CheckSpelling(std::string_view translation, bool code_row,
                                        const SpellChecker& checker, const CodePage& code_page);

// How CheckLanguage checks spelling, when it does.
struct SpellingCheck {
    const SpellChecker& checker;
    const CodePage& code_page;
};

// Every translated row of a language's pascal and forms tables, in that order and by `Index`;
// ignored rows and rows without a translation are not checked. With `spelling`, their words too.
std::vector<TranslationProblem> CheckLanguage(store::PascalRows& pascal, store::FormRows& forms,
                                              Reporter& reporter,
                                              const SpellingCheck* spelling = nullptr);

}  // namespace lexorin::project
