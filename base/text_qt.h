#pragma once

#include <QString>
#include <string>

#include "base/code_page.h"

// The core keeps 8-bit text; the windows show and edit it through one code page, converting back
// byte for byte. The program sets the program's code page at start-up (Windows-1252 until then);
// the project window then sets the code page of the project it shows.
namespace lexorin::gui {

// Makes `page` the windows' code page: at start-up, before the first window opens, and whenever
// the project window shows a project of another code page.
void set_window_code_page(CodePage page);
const CodePage& window_code_page();

QString to_q(const std::string& text);
// Raises lexorin::Error naming the character when the code page cannot hold it; the caller
// refuses the input with that message instead of storing a '?'.
std::string from_q(const QString& text);
// A message text of the core for a box: a CR (or CR LF) starts a new line.
QString message_text(const std::string& text);
// The name of the windows' code page.
std::string code_page_name();

}  // namespace lexorin::gui
