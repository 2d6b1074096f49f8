#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text routines for the program's 8-bit text. Upper-casing maps only the letters a to z, trimming
// removes characters with codes up to 32, text files end every line with CR LF.
namespace lexorin {

char upper_char(char c);
std::string upper_case(std::string_view text);
bool equal_no_case(std::string_view a, std::string_view b);
std::string trim(std::string_view text);
std::string trim_right_blanks(std::string_view text);  // drops trailing ' ' only
bool starts_with(std::string_view text, std::string_view prefix);
bool ends_with(std::string_view text, std::string_view suffix);

// Splits at CR, LF or CR LF, as text files are read; a final line break gives no extra line.
std::vector<std::string> read_text_lines(std::string_view text);
// Joins with CR LF after every line, the last one included, as text files are written.
std::string join_text_lines(const std::vector<std::string>& lines);

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
