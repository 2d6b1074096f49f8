#include "code/compiler_messages.h"

#include "base/text_utils.h"

namespace lexorin::code {

namespace {

// Read by hand rather than with regular expressions: a build may print millions of lines, and
// std::regex takes microseconds for each.

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_word(char c) {
    return is_digit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool take(std::string_view& rest, std::string_view word) {
    if (rest.substr(0, word.size()) != word) return false;
    rest.remove_prefix(word.size());
    return true;
}

// One or more digits; the number's text, empty when there is none.
std::string_view take_digits(std::string_view& rest) {
    size_t n = 0;
    while (n < rest.size() && is_digit(rest[n])) ++n;
    std::string_view digits = rest.substr(0, n);
    rest.remove_prefix(n);
    return digits;
}

bool take_blanks(std::string_view& rest) {
    size_t n = 0;
    while (n < rest.size() && is_blank(rest[n])) ++n;
    rest.remove_prefix(n);
    return n > 0;
}

// "(12,5) Error:" or "(40) Fatal:" at the start of `rest`: the line number's text.
std::string_view free_pascal_place(std::string_view rest) {
    if (!take(rest, "(")) return {};
    std::string_view line = take_digits(rest);
    if (line.empty()) return {};
    if (take(rest, ",") && take_digits(rest).empty()) return {};
    if (!take(rest, ")") || !take_blanks(rest)) return {};
    return take(rest, "Error:") || take(rest, "Fatal:") ? line : std::string_view();
}

// "(12):" at the start of `rest`: the line number's text.
std::string_view delphi_place(std::string_view rest) {
    if (!take(rest, "(")) return {};
    std::string_view line = take_digits(rest);
    return !line.empty() && take(rest, "):") ? line : std::string_view();
}

// The file name is the shortest text before a "(" that starts a place.
std::optional<CompilerMessage> message_at(std::string_view text, size_t file_start,
                                          std::string_view (*place)(std::string_view),
                                          std::string_view whole) {
    for (size_t open = text.find('(', file_start + 1); open != std::string_view::npos;
         open = text.find('(', open + 1)) {
        std::string_view line = place(text.substr(open));
        if (line.empty()) continue;
        if (line.size() > 9) return std::nullopt;  // no source file has that many lines
        return CompilerMessage{std::string(text.substr(file_start, open - file_start)),
                               std::stoi(std::string(line)), std::string(whole)};
    }
    return std::nullopt;
}

// "[dcc32 Error] ", "[dcc64 Fatal Error] " or "[dcc32 Fatal] ": the length of that prefix, 0
// when the line has none.
size_t delphi_prefix(std::string_view text) {
    std::string_view rest = text;
    if (!take(rest, "[")) return 0;
    size_t n = 0;
    while (n < rest.size() && is_word(rest[n])) ++n;
    if (n == 0) return 0;
    rest.remove_prefix(n);
    if (!take(rest, " ")) return 0;
    std::string_view kind = rest;
    bool found = false;
    for (std::string_view start : {std::string_view("Fatal "), std::string_view()}) {
        rest = kind;
        if (!take(rest, start)) continue;
        if ((take(rest, "Error") || take(rest, "Fatal")) && take(rest, "]")) {
            found = true;
            break;
        }
    }
    if (!found || !take_blanks(rest)) return 0;
    return text.size() - rest.size();
}

}  // namespace

std::optional<CompilerMessage> ParseCompilerMessage(std::string_view line) {
    size_t start = 0, end = line.size();
    while (start < end && static_cast<unsigned char>(line[start]) <= 32) ++start;
    while (end > start && static_cast<unsigned char>(line[end - 1]) <= 32) --end;
    const std::string_view text = line.substr(start, end - start);
    if (text.empty()) return std::nullopt;
    if (auto message = message_at(text, 0, free_pascal_place, text)) return message;
    if (size_t prefix = delphi_prefix(text); prefix > 0 && prefix < text.size())
        return message_at(text, prefix, delphi_place, text);
    return std::nullopt;
}

std::vector<CompilerMessage> ParseCompilerMessages(const std::string& output) {
    std::vector<CompilerMessage> messages;
    for (const std::string& line : read_text_lines(output))
        if (auto message = ParseCompilerMessage(line)) messages.push_back(std::move(*message));
    return messages;
}

void CompilerMessageLog::add_line(std::string_view line) {
    std::optional<CompilerMessage> message = ParseCompilerMessage(line);
    if (!message) return;
    ++count_;
    if (places_.size() < kMaxPlaces) places_.emplace(message->file, message->line);
    if (shown_.size() < kShownMessages) shown_.push_back(std::move(*message));
}

}  // namespace lexorin::code
