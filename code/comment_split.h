#pragma once

#include <string_view>
#include <vector>

// Just enough Pascal lexing to keep the scanner out of comments: literals ('...', a doubled
// apostrophe standing for one), brace comments, parenthesis-star comments (both may span
// lines) and // comments to the end of the line. The tokens of the code parts are read by
// NextToken (pascal_tokens.h).
namespace lexorin::code {

// A comment still open at the end of a line.
enum class CommentState { None, Brace, Paren };

struct LinePart {
    enum class Kind { Code, Comment };
    Kind kind;
    size_t begin;
    size_t end;  // one past the last character
};

// Cuts a line into code and comment parts, in order, covering the whole line. A comment opener
// counts only outside literals and before a // comment; a // comment stays inside its code part
// (so that the line tests see it). state is the comment open at the start of the line and
// becomes the one open at its end. An empty line outside comments is one empty code part.
std::vector<LinePart> SplitLine(std::string_view line, CommentState& state);
// The same into `parts` (emptied first), so that a scan of many lines reuses one vector.
void SplitLineInto(std::string_view line, CommentState& state, std::vector<LinePart>& parts);

}  // namespace lexorin::code
