#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexorin::codec {

// The 10-byte extended-precision float of form streams, kept as its raw bytes so that no value is
// ever squeezed through a narrower host type. Layout (little-endian): bytes 0-7 the 64-bit
// significand with an explicit integer bit (bit 63), bytes 8-9 the sign (bit 15) and the
// exponent biased by 16383 (bits 0-14). Exponent 0 holds zero and the denormals, 0x7FFF the
// infinities and NaNs.
using Extended80 = std::array<std::uint8_t, 10>;

// The decimal text of a value: the shortest correctly rounded form with 15 to 21 significant
// digits that reads back to the same ten bytes (21 digits always suffice for a canonical
// encoding). Fixed notation for magnitudes 1E-5 up to below 1E15, else "d.dddE-x"; the text
// always holds a "." or an "E" so that it reads back as a float, never as an integer. Infinities
// and NaNs give "INF", "-INF" and "NAN".
std::string ExtendedToText(const Extended80& value);

// Reads decimal text ([+|-] digits [. digits] [E [+|-] digits], at least one mantissa digit),
// rounding to nearest with ties to even; magnitudes beyond the range give infinity, those below
// half the smallest denormal give zero. Gives nothing when the text is not of that form.
std::optional<Extended80> TextToExtended(std::string_view text);

// The exact value of an integer.
Extended80 ExtendedFromInteger(std::int64_t value);

}  // namespace lexorin::codec
