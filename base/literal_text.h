#pragma once

#include <string>
#include <string_view>

// The body of a Pascal string literal (what stands between its apostrophes: "Don''t") and the
// text it stands for ("Don't"). Code texts are kept as bodies, as they stood in the source;
// people read and type the text itself, so the two are converted wherever text meets them, and
// a body is made valid before it is written into source that must compile.
namespace lexorin {

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

}  // namespace lexorin
