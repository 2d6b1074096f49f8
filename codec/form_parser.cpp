#include "codec/form_parser.h"

#include <cstring>

#include "base/text_utils.h"
#include "codec/form_errors.h"
#include "codec/form_value_text.h"

namespace lexorin::codec {

namespace {

bool is_letter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool is_digit(unsigned char c) {
    return c >= '0' && c <= '9';
}
int hex_value(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
bool is_float_char(unsigned char c) {
    return is_digit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}

}  // namespace

std::size_t HexToBytes(std::string_view text, char* out, std::size_t max_count) {
    std::size_t count = 0;
    while (count < max_count && 2 * count + 1 < text.size()) {
        int high = hex_value(static_cast<unsigned char>(text[2 * count]));
        int low = hex_value(static_cast<unsigned char>(text[2 * count + 1]));
        if (high < 0 || low < 0) break;
        out[count++] = static_cast<char>(high * 16 + low);
    }
    return count;
}

FormParser::FormParser(std::istream& in) : in_(in) {
    NextToken();
}

void FormParser::Error(std::string_view message, int line) const {
    throw EParserError(message, line);
}

// Moves the bytes not yet taken to the front and reads behind them until `count` bytes are there
// or the input ends. Tokens are copied out as they are read, so nothing before pos_ is needed.
bool FormParser::Fill(std::size_t count) {
    const std::size_t rest = end_ - pos_;
    std::memmove(buffer_.data(), buffer_.data() + pos_, rest);
    pos_ = 0;
    end_ = rest;
    while (!input_done_ && end_ < count) {
        in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
        end_ += static_cast<std::size_t>(in_.gcount());
        if (in_.bad()) Error(messages::kStreamReadError);
        if (!in_) input_done_ = true;
    }
    return end_ >= count;
}

bool FormParser::SkipBlanks() {
    for (;;) {
        if (!More()) return false;
        unsigned char c = Peek();
        if (c > 32) return true;
        if (c == '\n') ++line_;
        ++pos_;
    }
}

void FormParser::NextToken() {
    text_.clear();
    float_type_ = 0;
    if (wide_) {
        wide_ = false;
        units_.clear();
    }
    if (!SkipBlanks()) {
        kind_ = Kind::End;
        return;
    }
    // Every byte of the token is copied out before the next refill may move the buffer.
    unsigned char c = Peek();
    if (is_letter(c)) {
        while (More() && (is_letter(Peek()) || is_digit(Peek()))) text_ += buffer_[pos_++];
        kind_ = Kind::Symbol;
    } else if (c == '\'' || c == '#') {
        ReadString();
    } else if (is_digit(c) ||
               (c == '-' && Ahead(2) && is_digit(static_cast<unsigned char>(buffer_[pos_ + 1])))) {
        ReadNumber();
    } else if (c == '$' && Ahead(2) &&
               hex_value(static_cast<unsigned char>(buffer_[pos_ + 1])) >= 0) {
        text_ += buffer_[pos_++];
        while (More() && hex_value(Peek()) >= 0) text_ += buffer_[pos_++];
        kind_ = Kind::Integer;
    } else {
        text_ += buffer_[pos_++];
        kind_ = Kind::Char;
    }
}

void FormParser::ReadString() {
    // Bytes go to text_ until a code above 255 makes the token wide; from then on units_.
    auto add = [this](char16_t unit) {
        if (wide_)
            units_ += unit;
        else
            text_ += static_cast<char>(unit);
    };
    for (;;) {
        if (More() && Peek() == '\'') {
            ++pos_;
            for (;;) {
                if (!More() || Peek() == '\r' || Peek() == '\n') Error(messages::kInvalidString);
                char ch = buffer_[pos_++];
                if (ch == '\'') {
                    if (More() && Peek() == '\'') {
                        add(u'\'');
                        ++pos_;
                        continue;
                    }
                    break;
                }
                add(static_cast<unsigned char>(ch));
            }
        } else if (More() && Peek() == '#') {
            ++pos_;
            if (!More() || !is_digit(Peek())) Error(messages::kInvalidString);
            // Up to 65535, one UTF-16 unit; beyond that no character code of any form.
            unsigned code = 0;
            while (More() && is_digit(Peek())) {
                code = code * 10 + static_cast<unsigned>(buffer_[pos_++] - '0');
                if (code > 0xFFFF) Error(messages::kInvalidString);
            }
            if (code > 255 && !wide_) {
                wide_ = true;
                for (char byte : text_) units_ += static_cast<unsigned char>(byte);
            }
            add(static_cast<char16_t>(code));
        } else {
            break;
        }
    }
    kind_ = Kind::String;
    if (wide_) {
        text_.clear();
        // A lone surrogate half has no UTF-8 form; its callers refuse it anyway.
        Utf16ToUtf8(units_, text_);
    }
}

void FormParser::ReadNumber() {
    text_ += buffer_[pos_++];
    while (More() && is_digit(Peek())) text_ += buffer_[pos_++];
    kind_ = Kind::Integer;
    if (More() && is_float_char(Peek())) {
        while (More() && is_float_char(Peek())) text_ += buffer_[pos_++];
        kind_ = Kind::Float;
    }
    // "1.5s", "12.3456c", "45000.25d": a float of code 15, 16 or 17.
    if (More()) {
        char type = static_cast<char>(Peek() | 0x20);
        if (type == 's' || type == 'c' || type == 'd') {
            float_type_ = type;
            kind_ = Kind::Float;
            ++pos_;
        }
    }
}

bool FormParser::TokenSymbolIs(std::string_view word) const {
    return kind_ == Kind::Symbol && equal_no_case(text_, word);
}

std::int32_t FormParser::TokenInt() const {
    const std::string& t = text_;
    std::int64_t value = 0;
    bool ok = kind_ == Kind::Integer && !t.empty();
    if (ok && t[0] == '$') {
        // Hex denotes the 32 bits themselves: $FFFFFFFF is -1.
        for (std::size_t i = 1; ok && i < t.size(); ++i) {
            value = value * 16 + hex_value(static_cast<unsigned char>(t[i]));
            ok = value <= 0xFFFFFFFFll;
        }
        if (ok) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    } else if (ok) {
        bool negative = t[0] == '-';
        for (std::size_t i = negative ? 1 : 0; ok && i < t.size(); ++i) {
            value = value * 10 + (t[i] - '0');
            ok = value <= 2147483648ll;
        }
        if (negative) value = -value;
        ok = ok && value <= 2147483647ll;
        if (ok) return static_cast<std::int32_t>(value);
    }
    Error(FormatMessage(messages::kInvalidInteger, t));
}

std::int64_t FormParser::TokenInt64() const {
    const std::string& t = text_;
    bool ok = kind_ == Kind::Integer && !t.empty();
    if (ok && t[0] == '$') {
        // Up to eight digits as 32 bits ($FFFFFFFF is -1), more as 64 bits.
        if (t.size() <= 9) return TokenInt();
        std::uint64_t value = 0;
        ok = t.size() <= 17;
        for (std::size_t i = 1; ok && i < t.size(); ++i)
            value = value * 16 + static_cast<unsigned>(hex_value(static_cast<unsigned char>(t[i])));
        if (ok) return static_cast<std::int64_t>(value);
    } else if (ok) {
        bool negative = t[0] == '-';
        std::uint64_t value = 0;
        const std::uint64_t limit = negative ? 9223372036854775808ull : 9223372036854775807ull;
        for (std::size_t i = negative ? 1 : 0; ok && i < t.size(); ++i) {
            auto digit = static_cast<unsigned>(t[i] - '0');
            ok = value <= (limit - digit) / 10;
            value = value * 10 + digit;
        }
        if (ok)
            return negative ? static_cast<std::int64_t>(~value + 1)
                            : static_cast<std::int64_t>(value);
    }
    Error(FormatMessage(messages::kInvalidInteger, t));
}

Extended80 FormParser::TokenFloat() const {
    auto value = TextToExtended(text_);
    if (!value) Error(FormatMessage(messages::kInvalidFloat, text_));
    return *value;
}

void FormParser::CheckToken(char c) const {
    if (!TokenIs(c)) Error(FormatMessage(messages::kCharExpected, std::string(1, c)));
}

void FormParser::CheckSymbol() const {
    if (kind_ != Kind::Symbol) Error(messages::kIdentifierExpected);
}

void FormParser::CheckTokenSymbol(std::string_view word) const {
    if (!TokenSymbolIs(word)) Error(FormatMessage(messages::kSymbolExpected, word));
}

void FormParser::HexToBinary(std::string& out) {
    // The current token is "{", so pos_ stands right behind it.
    char chunk[256];
    for (;;) {
        if (!SkipBlanks()) Error(messages::kInvalidBinary);
        if (Peek() == '}') break;
        Ahead(2);  // a pair may straddle the end of the buffer
        std::size_t count =
            HexToBytes(std::string_view(buffer_.data() + pos_, end_ - pos_), chunk, sizeof chunk);
        if (count == 0) Error(messages::kInvalidBinary);
        out.append(chunk, count);
        pos_ += 2 * count;
    }
    NextToken();
}

}  // namespace lexorin::codec
