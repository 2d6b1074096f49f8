#pragma once

#include <QString>
#include <string>

// The core keeps 8-bit text; the windows show and edit it through one code page (Windows-1252
// unless LEXORIN_CODE_PAGE names another), converting back byte for byte.
namespace lexorin::gui {

QString to_q(const std::string& text);
// Raises lexorin::Error naming the character when the code page cannot hold it; the caller
// refuses the input with that message instead of storing a '?'.
std::string from_q(const QString& text);
// A message text of the core for a box: a CR (or CR LF) starts a new line.
QString message_text(const std::string& text);
// The name of the code page in use.
std::string code_page_name();

}  // namespace lexorin::gui
