#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "codec/byte_streams.h"
#include "codec/form_stream_codes.h"

namespace lexorin::codec {

// Text form -> binary form stream: the signature "TPF0" and one object. Failures raise
// EParserError ("<message> in Zeile <line>"); the sink may then hold a part of the stream.
// With `codes` (recorded when the text was made from a binary form), each object and value
// takes the flags and code it had there, wherever the text's value is of the same kind.
void FormTextToBinary(std::istream& in, ByteSink& out, const FormStreamCodes* codes = nullptr);
// As FormTextToBinary, with the resource header in front. The stream is built in memory first
// (the header needs its size), so nothing reaches the sink when the text is bad.
void FormTextToResource(std::istream& in, ByteSink& out, const FormStreamCodes* codes = nullptr);

// The object stream of a form text and its root object's class name (the name a resource of the
// form goes by).
struct FormObjectStream {
    std::string root_class;
    std::string bytes;
};

// The way back of a form text that the translated form writer rewrote: FormTextToBinary with the
// codes of the form the text came from and the lines (zero-based, ascending) where the writer
// put translations. The writer writes a translation as characters: its quoted bytes and "#"
// codes are UTF-16 units, not bytes of the form's own. Such a string keeps its value's kind: an
// 8-bit string takes the translation as UTF-8 bytes (code 6, or 12 beyond 255 bytes), a wide or
// UTF-8 string takes its characters. Failures as for FormTextToBinary.
FormObjectStream TranslatedTextToBinary(std::string_view text, const FormStreamCodes& codes,
                                        const std::vector<std::size_t>& translated_lines);

// In-memory forms of the above.
std::string FormTextToBinary(std::string_view text);
std::string FormTextToResource(std::string_view text);

}  // namespace lexorin::codec
