#pragma once

#include <string>
#include <string_view>

namespace lexorin::codec {

// Reads a form text file as the way back to a binary form would, keeping nothing, so that a form
// stored as text is known to be one before it is scanned or written back. Raises EParserError
// ("<message> in Zeile <line>") for a text that is no form, lexorin::Error for a file that
// cannot be read.
void CheckFormTextFile(const std::string& text_path);
// The same for a form text in memory: EParserError for a text that is no form.
void CheckFormText(std::string_view text);

}  // namespace lexorin::codec
