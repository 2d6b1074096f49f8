#pragma once

#include <string>
#include <string_view>

// The texts of a row as a translator reads and types them. A code row keeps its original and
// translation as Pascal literal bodies (Don''t, Line'#13#10'two), which the resource-string files
// take as they stand; the editor and the result views show the text itself and store what is
// typed as a body. A form row holds its text as it is, both ways.
namespace lexorin::editor {

// The text a stored original or translation stands for.
std::string ShownText(std::string_view stored, bool code_row);

// What is stored for `typed`, the text of an edit box (whose lines end with LF alone, or as
// they were shown). For a code row its body, each line break written as the first one of the
// row's original (`stored_original`), and CR LF when the original has none, as Pascal programs
// for Windows break lines.
std::string StoredText(std::string_view typed, bool code_row, std::string_view stored_original);

}  // namespace lexorin::editor
