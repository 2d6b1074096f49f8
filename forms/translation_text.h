#pragma once

#include <string>
#include <string_view>

#include "base/code_page.h"

// How the translated form writer writes a translation into a form text. A translation is 8-bit
// text in the program's code page; the form text gets its characters, so that the way back
// (TranslatedTextToBinary) can put them into each value's own kind, and any translation gives a
// valid string.
namespace lexorin::forms {

// A translation as it stands between the quotes of a string in a form text: printable ASCII as
// it is, every other character (an apostrophe, a line break, a tab, a letter beyond ASCII) as
// "#" and its UTF-16 unit, between a closed and a reopened quote: "l'usine" is l'#39'usine,
// "f\xFCr" (Windows-1252) f'#252'r, "a\r\nb" a'#13#10'b. A long translation is cut into pieces
// of at most kTranslationPieceBytes, each further piece on a line of its own (CR LF, `indent`)
// after " +", as the text form pieces its own long strings, so that no line grows with the
// translation. Raises an Error for a byte the code page leaves undefined.
std::string TranslationBetweenQuotes(std::string_view translation, const CodePage& code_page,
                                     std::string_view indent);

inline constexpr std::size_t kTranslationPieceBytes = 1024;

// The indentation of a string's further pieces: the line's own and two blanks more, as the text
// form indents them.
std::string ContinuationIndent(std::string_view line);

}  // namespace lexorin::forms
