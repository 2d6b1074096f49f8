#pragma once

#include <string>
#include <string_view>

// Text routines shared by the code scanner, the form scanner and the form writer.
namespace lexorin {

// Replaces every occurrence of find, compared without regard to the case of a to z, left to
// right; replaced text is not searched again and the rest keeps its case. An empty find leaves
// source unchanged.
std::string ReplaceAllNoCase(std::string_view source, std::string_view find,
                             std::string_view replacement);

// Whether text contains part, compared without regard to the case of a to z. An empty part is
// never contained.
bool ContainsNoCase(std::string_view text, std::string_view part);
// Where part first occurs in text at or after `from`, compared as ContainsNoCase does; npos when
// nowhere. The same as upper_case(text).find(upper_case(part), from), without the copies.
size_t FindNoCase(std::string_view text, std::string_view part, size_t from = 0);

// Form text writes an apostrophe inside a string as '#39'.
std::string UnescapeApostrophes(std::string_view text);  // every '#39' becomes '
std::string EscapeApostrophes(std::string_view text);    // every ' becomes '#39'

}  // namespace lexorin
