#include "codec/extended80.h"

#include <algorithm>

#include "codec/big_natural.h"

namespace lexorin::codec {

namespace {

constexpr int kBias = 16383;
constexpr int kMaxExponent = 0x7FFF;
// The scale of a denormal: its value is significand * 2^-16445 (exponent field 0 counts as 1).
constexpr int kDenormalShift = kBias - 1 + 63;

struct Parts {
    bool negative = false;
    int exponent = 0;  // the biased exponent field
    std::uint64_t significand = 0;
};

Parts split(const Extended80& value) {
    Parts parts;
    for (int i = 7; i >= 0; --i) parts.significand = (parts.significand << 8) | value[i];
    unsigned top = value[8] | (static_cast<unsigned>(value[9]) << 8);
    parts.negative = (top & 0x8000) != 0;
    parts.exponent = static_cast<int>(top & 0x7FFF);
    return parts;
}

Extended80 join(const Parts& parts) {
    Extended80 value{};
    std::uint64_t sig = parts.significand;
    for (int i = 0; i < 8; ++i) {
        value[i] = static_cast<std::uint8_t>(sig);
        sig >>= 8;
    }
    unsigned top = static_cast<unsigned>(parts.exponent) | (parts.negative ? 0x8000u : 0u);
    value[8] = static_cast<std::uint8_t>(top);
    value[9] = static_cast<std::uint8_t>(top >> 8);
    return value;
}

Extended80 infinity(bool negative) {
    return join({negative, kMaxExponent, 1ull << 63});
}

// An exact decimal: value = digits * 10^exponent, digits without leading or trailing zeros
// ("" for zero).
struct Decimal {
    std::string digits;
    int exponent = 0;
};

void strip_trailing_zeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        ++d.exponent;
    }
}

// The leading decimal digits of m * 2^e2: at least 22 of them (more than any rounding needs),
// with `inexact` telling whether nonzero digits were cut off behind them.
struct LeadingDigits {
    Decimal value;
    bool inexact = false;
};

LeadingDigits leading_digits(std::uint64_t significand, int exponent_field) {
    LeadingDigits result;
    if (significand == 0) return result;
    int e2 = std::max(exponent_field, 1) - kBias - 63;
    int top_bit = 63;
    while (!(significand >> top_bit)) --top_bit;
    int binary_magnitude = top_bit + e2;  // the value lies in [2^b, 2^(b+1))
    // floor(b * log10(2)), within one of the decimal exponent of the leading digit.
    long long scaled = static_cast<long long>(binary_magnitude) * 30103;
    int decimal_magnitude =
        static_cast<int>(scaled >= 0 ? scaled / 100000 : -((-scaled + 99999) / 100000));
    int j = 25 - decimal_magnitude;  // value * 10^j has 25 to 27 integer digits
    BigNatural n(significand);
    if (j >= 0) {
        n.multiply(BigNatural::power_of(10, static_cast<unsigned>(j)));
        if (e2 >= 0) {
            n.shift_left(static_cast<unsigned>(e2));
        } else {
            result.inexact = n.has_bits_below(static_cast<unsigned>(-e2));
            n.shift_right(static_cast<unsigned>(-e2));
        }
    } else {
        // A large number (above 10^25, so e2 > 0): divide by the power of ten instead; the
        // division leaves its remainder in the dividend.
        n.shift_left(static_cast<unsigned>(e2));
        BigNatural quotient =
            n.divide_small_quotient(BigNatural::power_of(10, static_cast<unsigned>(-j)), 100);
        result.inexact = !n.is_zero();
        n = quotient;
    }
    result.value.digits = n.to_decimal();
    result.value.exponent = -j;
    strip_trailing_zeros(result.value);
    return result;
}

// Rounds to at most `precision` significant digits, ties to even; `inexact` tells that nonzero
// digits follow the given ones.
Decimal round_decimal(Decimal d, std::size_t precision, bool inexact) {
    if (d.digits.size() <= precision) return d;
    std::string tail = d.digits.substr(precision);
    d.exponent += static_cast<int>(d.digits.size() - precision);
    d.digits.resize(precision);
    // The digits carry no trailing zeros, so a tail of exactly "5" with nothing behind is a tie.
    bool up = tail[0] > '5' ||
              (tail[0] == '5' && (tail.size() > 1 || inexact || (d.digits.back() - '0') % 2 == 1));
    if (up) {
        std::size_t i = d.digits.size();
        while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
        if (i == 0) {
            d.digits.insert(d.digits.begin(), '1');
            d.digits.pop_back();
            ++d.exponent;
        } else {
            ++d.digits[i - 1];
        }
    }
    strip_trailing_zeros(d);
    return d;
}

std::string format_decimal(bool negative, const Decimal& d) {
    std::string text = negative ? "-" : "";
    if (d.digits.empty()) return text + "0.0";
    int n = static_cast<int>(d.digits.size());
    int x = n - 1 + d.exponent;  // decimal exponent of the leading digit
    if (x >= -5 && x < 15) {
        if (d.exponent >= 0) {
            text += d.digits + std::string(static_cast<std::size_t>(d.exponent), '0') + ".0";
        } else if (x >= 0) {
            text += d.digits.substr(0, x + 1) + "." + d.digits.substr(x + 1);
        } else {
            text += "0." + std::string(static_cast<std::size_t>(-x - 1), '0') + d.digits;
        }
    } else {
        text += d.digits.substr(0, 1);
        if (n > 1) text += "." + d.digits.substr(1);
        text += "E" + std::to_string(x);
    }
    return text;
}

// The parsed text: sign and exact decimal.
struct ParsedText {
    bool negative = false;
    Decimal value;
};

std::optional<ParsedText> parse_decimal(std::string_view text) {
    ParsedText parsed;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) parsed.negative = text[i++] == '-';
    bool any_digit = false;
    long exponent = 0;
    auto take_digit = [&](char c) {
        any_digit = true;
        if (c != '0' || !parsed.value.digits.empty()) parsed.value.digits += c;
    };
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') take_digit(text[i++]);
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            take_digit(text[i++]);
            --exponent;
        }
    }
    if (!any_digit) return std::nullopt;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool minus = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) minus = text[i++] == '-';
        if (i == text.size()) return std::nullopt;
        long written = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            // Saturates: anything this far out is zero or infinity anyway.
            written = std::min(written * 10 + (text[i++] - '0'), 1000000L);
        }
        exponent += minus ? -written : written;
    }
    if (i != text.size()) return std::nullopt;
    if (parsed.value.digits.empty()) {
        parsed.value.exponent = 0;
        return parsed;
    }
    exponent = std::clamp(exponent, -1000000L, 1000000L);
    parsed.value.exponent = static_cast<int>(exponent);
    strip_trailing_zeros(parsed.value);
    return parsed;
}

BigNatural from_digits(const std::string& digits) {
    BigNatural n;
    std::size_t i = 0;
    while (i < digits.size()) {
        std::size_t len = std::min<std::size_t>(9, digits.size() - i);
        std::uint32_t chunk = 0, scale = 1;
        for (std::size_t k = 0; k < len; ++k) {
            chunk = chunk * 10 + static_cast<std::uint32_t>(digits[i + k] - '0');
            scale *= 10;
        }
        n.multiply_small(scale);
        n.add_small(chunk);
        i += len;
    }
    return n;
}

// Rounds a 65-bit quotient (64 significand bits and one rounding bit) to 64 bits, ties to even;
// gives false when the rounding carried out of the 64 bits.
bool round_significand(const BigNatural& quotient, bool sticky, std::uint64_t& significand) {
    BigNatural high = quotient;
    high.shift_right(1);
    significand = high.low64();
    bool round_bit = quotient.bit(0);
    if (round_bit && (sticky || (significand & 1))) {
        ++significand;
        if (significand == 0) return false;
    }
    return true;
}

Extended80 to_extended(const ParsedText& parsed) {
    const Decimal& d = parsed.value;
    if (d.digits.empty()) return join({parsed.negative, 0, 0});
    int magnitude = static_cast<int>(d.digits.size()) + d.exponent;  // value < 10^magnitude
    if (magnitude > 4934) return infinity(parsed.negative);
    if (magnitude < -4951) return join({parsed.negative, 0, 0});

    BigNatural numerator = from_digits(d.digits), denominator(1);
    if (d.exponent >= 0)
        numerator.multiply(BigNatural::power_of(10, static_cast<unsigned>(d.exponent)));
    else
        denominator = BigNatural::power_of(10, static_cast<unsigned>(-d.exponent));

    // Scale so that the quotient has 65 or 66 bits (N/D lies between 2^(k-1) and 2^(k+1)); 65 are
    // kept: 64 for the significand and one for rounding, the rest joins the sticky remainder.
    int k = static_cast<int>(numerator.bit_length()) - static_cast<int>(denominator.bit_length());
    int s = 65 - k;
    BigNatural num = numerator, den = denominator;
    if (s >= 0)
        num.shift_left(static_cast<unsigned>(s));
    else
        den.shift_left(static_cast<unsigned>(-s));
    BigNatural quotient = num.divide_small_quotient(den, 67);
    bool sticky = !num.is_zero();
    if (quotient.bit_length() == 66) {
        sticky = sticky || quotient.bit(0);
        quotient.shift_right(1);
        --s;
    }
    // value = significand * 2^(1-s) with the significand's top bit at 63.
    int exponent = 64 - s + kBias;
    if (exponent >= 1) {
        std::uint64_t significand = 0;
        if (!round_significand(quotient, sticky, significand)) {
            significand = 1ull << 63;
            ++exponent;
        }
        if (exponent >= kMaxExponent) return infinity(parsed.negative);
        return join({parsed.negative, exponent, significand});
    }
    // Denormal: significand = value * 2^16445, rounded; one extra bit for the rounding.
    num = numerator;
    num.shift_left(kDenormalShift + 1);
    quotient = num.divide_small_quotient(denominator, 67);
    std::uint64_t significand = 0;
    if (!round_significand(quotient, !num.is_zero(), significand)) significand = 1ull << 63;
    return join({parsed.negative, (significand >> 63) ? 1 : 0, significand});
}

}  // namespace

std::optional<Extended80> TextToExtended(std::string_view text) {
    auto parsed = parse_decimal(text);
    if (!parsed) return std::nullopt;
    return to_extended(*parsed);
}

std::string ExtendedToText(const Extended80& value) {
    Parts parts = split(value);
    if (parts.exponent == kMaxExponent) {
        if ((parts.significand << 1) == 0) return parts.negative ? "-INF" : "INF";
        return "NAN";
    }
    LeadingDigits exact = leading_digits(parts.significand, parts.exponent);
    std::string text;
    for (std::size_t precision = 15; precision <= 21; ++precision) {
        text = format_decimal(parts.negative, round_decimal(exact.value, precision, exact.inexact));
        auto back = TextToExtended(text);
        if (back && *back == value) break;
    }
    return text;
}

Extended80 ExtendedFromInteger(std::int64_t value) {
    Parts parts;
    parts.negative = value < 0;
    std::uint64_t magnitude =
        parts.negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    if (magnitude == 0) return join({false, 0, 0});
    int shift = 0;
    while (!(magnitude & (1ull << 63))) {
        magnitude <<= 1;
        ++shift;
    }
    parts.significand = magnitude;
    parts.exponent = kBias + 63 - shift;
    return join(parts);
}

}  // namespace lexorin::codec
