#pragma once

#include <istream>
#include <string>
#include <string_view>

#include "codec/byte_streams.h"
#include "codec/form_stream_codes.h"

namespace lexorin::codec {

// Binary form stream -> text form. The text layout is what the form scanner and the translated
// form writer rely on: one property per line, two blanks of indentation per level, the words
// "object"/"inherited", "item" and "end" at line starts, strings cut into quoted pieces of at
// most 64 bytes, lines ending in CR LF. Failures raise EReadError or EInvalidImage; the sink may
// then hold a part of the text, so callers that must not show it write to a temporary target.

// The signature "TPF0" and one object from the input's current position. With `codes` set, the
// flags and value codes met are recorded there too.
void FormBinaryToText(std::istream& in, ByteSink& out, FormStreamCodes* codes = nullptr);
// The resource header, then as FormBinaryToText.
void FormResourceToText(std::istream& in, ByteSink& out, FormStreamCodes* codes = nullptr);

// In-memory forms of the above.
std::string FormBinaryToText(std::string_view binary);
std::string FormResourceToText(std::string_view resource);

// Upper-case hexadecimal, two digits per byte, high nibble first.
std::string BytesToHex(std::string_view bytes);

}  // namespace lexorin::codec
