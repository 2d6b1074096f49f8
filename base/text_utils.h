#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text routines for the program's 8-bit text. Upper-casing maps only the letters a to z, trimming
// removes characters with codes up to 32, text files end every line with CR LF.
namespace lexorin {

inline char upper_char(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string upper_case(std::string_view text);
bool equal_no_case(std::string_view a, std::string_view b);
std::string trim(std::string_view text);
// trim without the copy: the part of `text` between its leading and trailing characters <= 32.
// Inline, as the scanners ask it of every line.
inline std::string_view trim_view(std::string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}
std::string trim_right_blanks(std::string_view text);  // drops trailing ' ' only
inline bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}
bool ends_with(std::string_view text, std::string_view suffix);
// starts_with compared as equal_no_case does, without upper-casing a copy of the text.
bool starts_with_no_case(std::string_view text, std::string_view prefix);

// Splits at CR, LF or CR LF, as text files are read; a final line break gives no extra line.
std::vector<std::string> read_text_lines(std::string_view text);
// The same lines as views into `text`, for readers that copy none of them.
std::vector<std::string_view> read_text_line_views(std::string_view text);
// Joins with CR LF after every line, the last one included, as text files are written.
std::string join_text_lines(const std::vector<std::string>& lines);
std::string join_text_line_views(const std::vector<std::string_view>& lines);

// The list encoding of memo fields: entries joined by CR LF, none after the last.
std::string join_crlf(const std::vector<std::string>& items);

// Cuts a text at each CR and drops the one character after it (the LF of a CR LF pair); a last
// piece without CR is the last line; an empty text gives no lines.
std::vector<std::string> SplitLines(const std::string& text);

// The local time now in a strftime format, e.g. "%x" for the user's short date.
std::string local_time_text(const char* format);

// Whole-file helpers. read_file raises an Error naming the file when it cannot be read.
std::string read_file(const std::string& path);

}  // namespace lexorin
