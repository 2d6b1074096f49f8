#include "base/literal_text.h"

#include <optional>

namespace lexorin {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a character code #N or #$N at `pos` (on the "#"); the byte, or none when it is no code
// of an 8-bit character.
std::optional<unsigned char> ReadCode(std::string_view text, size_t& pos) {
    size_t at = pos + 1;
    unsigned value = 0;
    size_t digits = 0;
    if (at < text.size() && text[at] == '$') {
        ++at;
        for (; at < text.size() && HexDigit(text[at]) >= 0; ++at, ++digits) {
            value = value * 16 + static_cast<unsigned>(HexDigit(text[at]));
            if (value > 255) return std::nullopt;
        }
    } else {
        for (; at < text.size() && IsDigit(text[at]); ++at, ++digits) {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            if (value > 255) return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    pos = at;
    return static_cast<unsigned char>(value);
}

// Decodes "'" + body + "'"; none when it is no single string constant.
std::optional<std::string> Decode(std::string_view body) {
    const std::string literal = "'" + std::string(body) + "'";
    std::string text;
    text.reserve(body.size());
    size_t pos = 0;
    while (pos < literal.size()) {
        if (literal[pos] == '#') {
            const auto code = ReadCode(literal, pos);
            if (!code) return std::nullopt;
            text += static_cast<char>(*code);
            continue;
        }
        if (literal[pos] != '\'') return std::nullopt;
        ++pos;  // the opening apostrophe
        for (;;) {
            if (pos >= literal.size()) return std::nullopt;  // never closed
            const char c = literal[pos];
            if (c == '\r' || c == '\n') return std::nullopt;  // a literal ends with its line
            if (c != '\'') {
                text += c;
                ++pos;
                continue;
            }
            if (pos + 1 < literal.size() && literal[pos + 1] == '\'') {
                text += '\'';
                pos += 2;
                continue;
            }
            ++pos;  // the closing apostrophe
            break;
        }
    }
    return text;
}

}  // namespace

bool IsLiteralBody(std::string_view body) {
    return Decode(body).has_value();
}

std::string LiteralText(std::string_view body) {
    std::optional<std::string> text = Decode(body);
    return text ? std::move(*text) : std::string(body);
}

std::string LiteralBody(std::string_view text) {
    std::string body;
    body.reserve(text.size() + text.size() / 8);
    bool quoted = true;  // inside the quoted part the caller's apostrophes open
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32) {
            if (quoted) body += '\'';
            quoted = false;
            body += '#' + std::to_string(byte);
            continue;
        }
        if (!quoted) body += '\'';
        quoted = true;
        body += c;
        if (c == '\'') body += '\'';
    }
    if (!quoted) body += '\'';
    return body;
}

std::string WritableLiteralBody(std::string_view stored) {
    return IsLiteralBody(stored) ? std::string(stored) : LiteralBody(stored);
}

}  // namespace lexorin
