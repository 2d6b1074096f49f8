#pragma once

#include <string>
#include <string_view>

// A pascal row keeps its text as it stands between the apostrophes of the literal it was taken
// from: Pascal source, with an apostrophe doubled ("Don''t"). Translators read and type the text
// itself ("Don't"); these routines convert between the two at the edges (the editor, PO files,
// the command line) and make sure that what goes into "strings.org"/"strings.tra" compiles.
namespace lexorin::code {

// Whether "'" + body + "'" is one Pascal string constant: quoted parts (with '' for an
// apostrophe, no line break inside) and character codes #N or #$N (N up to 255), written next to
// each other, such as Don''t or Line'#13#10'two.
bool IsLiteralBody(std::string_view body);

// The text a literal body stands for: '' becomes ', each '#N' between quoted parts the byte N.
// A body that is no valid one (a translation an older version stored as the translator typed
// it) is the text itself and comes back unchanged.
std::string LiteralText(std::string_view body);

// The body of a literal that stands for `text`: every apostrophe doubled, each character below
// 32 (a line break, a tab) written as a code between quoted parts: Line'#13#10'two.
std::string LiteralBody(std::string_view text);

// What goes between the apostrophes of a resource string for a stored text: a valid body as it
// is, anything else (text an older version stored as typed) made into one.
std::string WritableLiteralBody(std::string_view stored);

}  // namespace lexorin::code
