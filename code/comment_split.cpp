#include "code/comment_split.h"

namespace lexorin::code {

namespace {

constexpr size_t npos = std::string_view::npos;

// The character after i, or NUL at the end of the line.
char next_char(std::string_view text, size_t i) {
    return i + 1 < text.size() ? text[i + 1] : '\0';
}

// The first "{" or "(*" from `from` on that lies outside literals and before any // comment.
// Every character of a unit passes here, so the tests are on characters, not substrings.
size_t find_comment_opener(std::string_view line, size_t from) {
    bool in_literal = false;
    for (size_t i = from; i < line.size(); ++i) {
        const char c = line[i];
        // Most characters are none of those that matter here.
        if (c != '\'' && c != '{' && c != '(' && c != '/') continue;
        if (in_literal) {
            if (c == '\'') in_literal = false;
        } else if (c == '\'') {
            in_literal = true;
        } else if (c == '{' || (c == '(' && next_char(line, i) == '*')) {
            return i;
        } else if (c == '/' && next_char(line, i) == '/') {
            return npos;
        }
    }
    return npos;
}

}  // namespace

std::vector<LinePart> SplitLine(std::string_view line, CommentState& state) {
    std::vector<LinePart> parts;
    SplitLineInto(line, state, parts);
    return parts;
}

void SplitLineInto(std::string_view line, CommentState& state, std::vector<LinePart>& parts) {
    parts.clear();
    if (line.empty()) {
        if (state == CommentState::None) parts.push_back({LinePart::Kind::Code, 0, 0});
        return;
    }
    size_t pos = 0;
    // Where the closer of the open comment may start: past the opener of a comment opened on
    // this line, so that "(*)" does not close itself.
    size_t search_from = 0;
    while (pos < line.size()) {
        if (state == CommentState::None) {
            size_t opener = find_comment_opener(line, pos);
            parts.push_back({LinePart::Kind::Code, pos, opener == npos ? line.size() : opener});
            if (opener == npos) break;
            bool brace = line[opener] == '{';
            state = brace ? CommentState::Brace : CommentState::Paren;
            search_from = opener + (brace ? 1 : 2);
            pos = opener;
            continue;
        }
        std::string_view closer = state == CommentState::Brace ? "}" : "*)";
        size_t close = line.find(closer, search_from);
        size_t end = close == npos ? line.size() : close + closer.size();
        parts.push_back({LinePart::Kind::Comment, pos, end});
        if (close != npos) state = CommentState::None;
        pos = end;
    }
}

}  // namespace lexorin::code
