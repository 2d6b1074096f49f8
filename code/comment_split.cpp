#include "code/comment_split.h"

namespace lexorin::code {

namespace {

constexpr size_t npos = std::string_view::npos;

bool starts_at(std::string_view text, size_t i, std::string_view token) {
    return text.substr(i, token.size()) == token;
}

// The first "{" or "(*" from `from` on that lies outside literals and before any // comment.
size_t find_comment_opener(std::string_view line, size_t from) {
    bool in_literal = false;
    for (size_t i = from; i < line.size(); ++i) {
        char c = line[i];
        if (in_literal) {
            if (c == '\'') in_literal = false;
        } else if (c == '\'') {
            in_literal = true;
        } else if (c == '{' || starts_at(line, i, "(*")) {
            return i;
        } else if (starts_at(line, i, "//")) {
            return npos;
        }
    }
    return npos;
}

}  // namespace

std::vector<LinePart> SplitLine(std::string_view line, CommentState& state) {
    std::vector<LinePart> parts;
    if (line.empty()) {
        if (state == CommentState::None) parts.push_back({LinePart::Kind::Code, 0, 0});
        return parts;
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
    return parts;
}

}  // namespace lexorin::code
