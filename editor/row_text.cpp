#include "editor/row_text.h"

#include "base/literal_text.h"

namespace lexorin::editor {

namespace {

// The first line break of `text`: CR LF, CR or LF; CR LF when it has none.
std::string_view line_break_of(std::string_view text) {
    const size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return "\r\n";
    if (text[at] == '\n') return "\n";
    return at + 1 < text.size() && text[at + 1] == '\n' ? "\r\n" : "\r";
}

}  // namespace

std::string ShownText(std::string_view stored, bool code_row) {
    return code_row ? LiteralText(stored) : std::string(stored);
}

std::string StoredText(std::string_view typed, bool code_row, std::string_view stored_original) {
    if (!code_row) return std::string(typed);
    const std::string_view line_break = line_break_of(LiteralText(stored_original));
    std::string text;
    text.reserve(typed.size());
    for (size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') ++i;
        if (typed[i] == '\r' || typed[i] == '\n')
            text += line_break;
        else
            text += typed[i];
    }
    return LiteralBody(text);
}

}  // namespace lexorin::editor
