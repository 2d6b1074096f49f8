#pragma once

#include <istream>
#include <string>
#include <string_view>

#include "forms/byte_streams.h"

namespace lexorin::forms {

// Text form -> binary form stream: the signature "TPF0" and one object. Failures raise
// EParserError ("<message> in Zeile <line>"); the sink may then hold a part of the stream.
void FormTextToBinary(std::istream& in, ByteSink& out);
// As FormTextToBinary, with the resource header in front. The stream is built in memory first
// (the header needs its size), so nothing reaches the sink when the text is bad.
void FormTextToResource(std::istream& in, ByteSink& out);

// In-memory forms of the above.
std::string FormTextToBinary(std::string_view text);
std::string FormTextToResource(std::string_view text);

}  // namespace lexorin::forms
