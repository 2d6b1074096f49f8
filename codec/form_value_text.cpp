#include "codec/form_value_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

#include "base/code_page.h"

namespace lexorin::codec {

namespace {

template <typename Float>
std::string FloatToText(Float value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

template <typename Float>
std::optional<Float> TextToFloat(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    // from_chars takes neither a "+" nor hex here; a digit must start the mantissa.
    std::size_t digit = text.front() == '-' ? 1 : 0;
    if (digit >= text.size() || !(text[digit] >= '0' && text[digit] <= '9')) return std::nullopt;
    Float value{};
    auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::string SingleToText(std::uint32_t bits) {
    return FloatToText(std::bit_cast<float>(bits));
}

std::string DoubleToText(std::uint64_t bits) {
    return FloatToText(std::bit_cast<double>(bits));
}

std::optional<std::uint32_t> TextToSingle(std::string_view text) {
    auto value = TextToFloat<float>(text);
    if (!value) return std::nullopt;
    return std::bit_cast<std::uint32_t>(*value);
}

std::optional<std::uint64_t> TextToDouble(std::string_view text) {
    auto value = TextToFloat<double>(text);
    if (!value) return std::nullopt;
    return std::bit_cast<std::uint64_t>(*value);
}

std::string CurrencyToText(std::int64_t value) {
    bool negative = value < 0;
    // The magnitude of the smallest value does not fit the signed type.
    std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
    std::uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        std::string digits = std::to_string(10000 + fraction).substr(1);
        while (digits.back() == '0') digits.pop_back();
        text += "." + digits;
    }
    return text;
}

std::optional<std::int64_t> TextToCurrency(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.find_first_of("Ee") != std::string_view::npos) {
        // An exponent: through a double, which holds every currency value to the last digit
        // below 2^53 ten-thousandths.
        auto value = TextToFloat<double>(text);
        if (!value) return std::nullopt;
        double scaled = std::round(*value * 10000.0);
        if (scaled >= 9223372036854775808.0) return std::nullopt;
        auto units = static_cast<std::int64_t>(scaled);
        return negative ? -units : units;
    }
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    unsigned __int128 units = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') return std::nullopt;
        units = units * 10 + static_cast<unsigned>(c - '0');
        if (units > (static_cast<unsigned __int128>(1) << 64)) return std::nullopt;
    }
    units *= 10000;
    unsigned __int128 scale = 1000;
    bool round_up = false;
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        char c = fraction[i];
        if (c < '0' || c > '9') return std::nullopt;
        if (i < 4) {
            units += static_cast<unsigned>(c - '0') * scale;
            scale /= 10;
        } else if (i == 4) {
            round_up = c >= '5';
        }
    }
    if (round_up) ++units;
    unsigned __int128 limit = negative ? (static_cast<unsigned __int128>(1) << 63)
                                       : (static_cast<unsigned __int128>(1) << 63) - 1;
    if (units > limit) return std::nullopt;
    auto bits = static_cast<std::uint64_t>(units);
    return static_cast<std::int64_t>(negative ? ~bits + 1 : bits);
}

bool Utf8ToUtf16(std::string_view utf8, std::u16string& out) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t code;
        int extra;
        char32_t minimum;
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F, extra = 1, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F, extra = 2, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07, extra = 3, minimum = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= utf8.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || IsHighSurrogate(code) || IsLowSurrogate(code))
            return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += extra + 1;
    }
    return true;
}

bool Utf16ToUtf8(std::u16string_view units, std::string& out) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (IsHighSurrogate(code)) {
            if (i + 1 >= units.size() || !IsLowSurrogate(units[i + 1])) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (IsLowSurrogate(code)) {
            return false;
        }
        append_utf8(out, code);
    }
    return true;
}

bool IsWellFormedUtf16(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (IsHighSurrogate(units[i])) {
            if (i + 1 >= units.size() || !IsLowSurrogate(units[i + 1])) return false;
            ++i;
        } else if (IsLowSurrogate(units[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace lexorin::codec
