#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/code_page.h"

// Strings of a form text that hold characters beyond 8 bits: wide, UnicodeString and UTF-8 values,
// which the text form writes with "#" codes of 128 and above ('Gr'#252'e '#322). The program's
// tables hold 8-bit text in the project's code page, so the scanner and the translated form
// writer convert such a string between its characters and the code page.
namespace lexorin::forms {

// A string as the text form writes it, from `start` on: quoted runs (a quote doubled inside) and
// "#" codes next to each other, each byte of a run and each code one UTF-16 unit; `end` is where
// it stops. Nothing for a run left open, a "#" without digits or a code beyond 0xFFFF.
struct QuotedString {
    std::u16string units;
    std::size_t end = 0;
    unsigned highest_code = 0;  // of the "#" codes alone; 0 without any
};
std::optional<QuotedString> ReadQuotedString(std::string_view text, std::size_t start);

// The string of a line that is one such string piece: quoted runs (a quote doubled inside) and
// "#" codes, at least one code of 128 or above, after it nothing but blanks, " +" or a closing
// ")". `begin` and `end` delimit it in the line; bytes inside quotes stand for U+0000-U+00FF, as
// the text parser reads them.
struct WideLineString {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::u16string units;
};
std::optional<WideLineString> FindWideString(std::string_view line);

// What the scanner records for a line: the string, and for a wide string whose characters the
// code page cannot hold, the string as the text form writes it with a note why (the row is then
// ignored; nothing is ever turned into '?').
struct LineString {
    std::string text;
    bool wide = false;
    bool unholdable = false;
    std::string note;
};
// The one rule by which the scanner and the writer decide which lines hold a string: a wide
// string (FindWideString) converted to the code page, else ExtractFormString's 8-bit string.
// Nothing when the line records nothing.
std::optional<LineString> FindLineString(std::string_view line, const CodePage& code_page);

// The line with its wide string replaced by `translation` (8-bit text in the code page) written
// as its characters (TranslationBetweenQuotes); the rest of the line stays. The translation's
// characters all have a UTF-16 form, so none is lost.
std::string ReplaceWideString(std::string_view line, const WideLineString& found,
                              std::string_view translation, const CodePage& code_page);

}  // namespace lexorin::forms
