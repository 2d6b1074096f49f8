#pragma once

#include <istream>
#include <string>
#include <string_view>

#include "forms/byte_streams.h"
#include "forms/form_stream_codes.h"

namespace lexorin::forms {

// Text form -> binary form stream: the signature "TPF0" and one object. Failures raise
// EParserError ("<message> in Zeile <line>"); the sink may then hold a part of the stream.
// With `codes` (recorded when the text was made from a binary form), each object and value
// takes the flags and code it had there, wherever the text's value is of the same kind.
void FormTextToBinary(std::istream& in, ByteSink& out, const FormStreamCodes* codes = nullptr);
// As FormTextToBinary, with the resource header in front. The stream is built in memory first
// (the header needs its size), so nothing reaches the sink when the text is bad.
void FormTextToResource(std::istream& in, ByteSink& out, const FormStreamCodes* codes = nullptr);

// In-memory forms of the above.
std::string FormTextToBinary(std::string_view text);
std::string FormTextToResource(std::string_view text);

}  // namespace lexorin::forms
