#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "code/code_scan_options.h"

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
bool HasStartChar(std::string_view candidate, std::string_view start_chars);

// Does not reject: the literal is stored with its Ignore flag set.
bool ContainsUnwantedWordPart(std::string_view candidate, const std::vector<std::string>& parts);

// The tests that look at the piece alone, made once per piece: a long line with many literals
// must not be searched again for every one of them.
struct PieceTests {
    PieceTests(const CodeScanOptions& options, std::string_view piece);
    bool rejects_every_literal = false;  // stdcall, NOTRANS or a line opening with const
    bool holds_skipped_piece = false;    // an entry of skipped_pieces occurs in it
};

enum class Verdict { Rejected, Accepted, AcceptedIgnored };
// All of the tests above, in order.
Verdict EvaluateCandidate(const CodeScanOptions& options, std::string_view candidate,
                          const PieceTests& piece);

// Blanks (code 32 only) at the end of a candidate; the table keeps texts without them.
int SpacesAtEnd(std::string_view candidate);

// The source lines around line `index`, each followed by a CR: context_lines / 2 on each side,
// as far as the unit reaches. A line longer than kContextLineLimit is cut to that many bytes,
// the cut marked with "...": the literal's own line around `column`, the others at their
// start. So a table grows with the number of literals, not with the length of their lines.
inline constexpr size_t kContextLineLimit = 400;
std::string ContextText(const std::vector<std::string>& lines, size_t index, int context_lines,
                        size_t column = 0);
std::string ContextText(std::span<const std::string_view> lines, size_t index, int context_lines,
                        size_t column = 0);

}  // namespace lexorin::code
