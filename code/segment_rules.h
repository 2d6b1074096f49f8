#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "code/pascal_options.h"

// The tests that decide whether a quoted candidate of a code piece is user-visible text. The
// piece is the text the line tests look at (for the first uses line, with lx_lang inserted).
namespace lexorin::code {

// A piece whose first non-blank characters are // is a comment and is not scanned at all.
bool IsCommentLine(std::string_view scan_text);

// The rejection tests, in the order they are made.
bool IsTooShort(std::string_view candidate, int min_length);  // measured after trimming
bool MentionsStdcall(std::string_view piece);                 // external routine declarations
bool CarriesNotransMarker(std::string_view piece);            // NOTRANS after the first character
bool OpensConstSection(std::string_view piece);               // begins with "CONST "
// Made once per entry of `unwanted`, so the start-character test is not made at all while the
// list is empty.
bool RejectedByUnwantedStrings(std::string_view candidate, std::string_view piece,
                               const std::vector<std::string>& unwanted,
                               std::string_view unwanted_start);
bool HasStartChar(std::string_view candidate, std::string_view start_chars);

// Does not reject: the literal is stored with its Ignore flag set.
bool ContainsUnwantedWordPart(std::string_view candidate, const std::vector<std::string>& parts);

enum class Verdict { Rejected, Accepted, AcceptedIgnored };
// All of the tests above, in order.
Verdict EvaluateCandidate(const PascalOptions& options, std::string_view candidate,
                          std::string_view piece);

// Blanks (code 32 only) at the end of a candidate; the table keeps texts without them.
int SpacesAtEnd(std::string_view candidate);

// The source lines around line `index`, each followed by a CR: context_lines / 2 on each side,
// as far as the unit reaches.
std::string ContextText(const std::vector<std::string>& lines, size_t index, int context_lines);

}  // namespace lexorin::code
