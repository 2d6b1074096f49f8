#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Texts of the value kinds that later Delphi and Free Pascal versions add to form streams, and
// the UTF-16 and UTF-8 forms of their strings.
namespace lexorin::codec {

// Floats of 4 and 8 bytes, kept as their bits. The text is the shortest decimal that reads back
// to the same bits, "." as separator and "E" for the exponent ("1.5", "1E+20"); infinities and
// NaNs give "INF", "-INF" and "NAN", as for the 10-byte float.
std::string SingleToText(std::uint32_t bits);
std::string DoubleToText(std::uint64_t bits);
// Decimal text as written above (an exponent allowed), rounded to nearest; nothing for text
// that is not a finite number of that form or lies beyond the type's range.
std::optional<std::uint32_t> TextToSingle(std::string_view text);
std::optional<std::uint64_t> TextToDouble(std::string_view text);

// A currency value is an integer count of ten-thousandths: 123456 is "12.3456", 120000 "12".
std::string CurrencyToText(std::int64_t value);
// Exact for up to four decimals, rounded half away from zero beyond them; nothing outside the
// 64-bit range or for text that is not a decimal number.
std::optional<std::int64_t> TextToCurrency(std::string_view text);

// UTF-8 to UTF-16; false for bytes that are not well-formed UTF-8 (overlong forms, surrogates,
// values beyond U+10FFFF).
bool Utf8ToUtf16(std::string_view utf8, std::u16string& out);
// UTF-16 to UTF-8; false for a surrogate half without its partner.
bool Utf16ToUtf8(std::u16string_view units, std::string& out);
// Whether every surrogate half has its partner.
bool IsWellFormedUtf16(std::u16string_view units);

}  // namespace lexorin::codec
