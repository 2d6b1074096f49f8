#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "codec/extended80.h"

namespace lexorin::codec {

// Tokenizer of the text form. Reads through a 4096-byte buffer that is refilled whenever the next
// byte is not in it, and copies each token out as it reads it, so that a token or a line may be
// of any length: a form may hold a string of many kilobytes on one line. Memory stays at the
// buffer and the current token. Every failure is an EParserError whose text is
// "<message> in Zeile <line>".
class FormParser {
  public:
    enum class Kind {
        Symbol,   // letter or "_", then letters, digits, "_"
        String,   // quoted runs and "#" codes, already decoded; wide when a code exceeds 255
        Integer,  // [-]digits or $hex
        Float,    // an integer directly followed by any of "+-.0123456789Ee", then maybe a
                  // type letter "s", "c" or "d"
        Char,     // any other single byte
        End,
    };

    explicit FormParser(std::istream& in);
    FormParser(const FormParser&) = delete;
    FormParser& operator=(const FormParser&) = delete;

    void NextToken();
    Kind Token() const { return kind_; }
    bool TokenIs(char c) const { return kind_ == Kind::Char && text_.size() == 1 && text_[0] == c; }
    // Symbols compare ignoring case.
    bool TokenSymbolIs(std::string_view word) const;
    // The symbol, the decoded string, or the number as written.
    const std::string& TokenString() const { return text_; }
    std::int32_t TokenInt() const;
    // Integers up to 64 bits ("$" with more than eight digits gives the 64 bits themselves).
    std::int64_t TokenInt64() const;
    Extended80 TokenFloat() const;
    // The letter after a float ('s' single, 'c' currency, 'd' date, lower case), or 0.
    char FloatType() const { return float_type_; }
    // A string token with a "#" code above 255 is wide: its UTF-16 units, quoted bytes taken
    // as the characters U+0000-U+00FF (which is what "#" codes up to 255 stand for), while
    // TokenString() holds its UTF-8 form. Surrogate halves are checked by the caller, since a
    // pair may be split across pieces joined by "+".
    bool TokenWide() const { return wide_; }
    const std::u16string& TokenWideString() const { return units_; }
    int SourceLine() const { return line_; }

    // Fail unless the token is that character ("''%s'' erwartet"), a symbol ("Bezeichner
    // erwartet") or the given keyword ("%s erwartet").
    void CheckToken(char c) const;
    void CheckSymbol() const;
    void CheckTokenSymbol(std::string_view word) const;

    // With the current token "{": reads hex digit pairs, blanks and line breaks allowed between
    // pairs, up to the "}", which becomes the current token. Fails with "Ungültiger Binärwert".
    void HexToBinary(std::string& out);

    [[noreturn]] void Error(std::string_view message) const { Error(message, line_); }
    [[noreturn]] void Error(std::string_view message, int line) const;

  private:
    // Whether the next `count` bytes (at most the buffer's size) are in the buffer, after reading
    // more when they are not; false when the input ends before them.
    bool Ahead(std::size_t count) { return end_ - pos_ >= count || Fill(count); }
    bool More() { return pos_ < end_ || Fill(1); }
    bool Fill(std::size_t count);
    bool SkipBlanks();  // false at the end of the input
    // The next byte; only after More() or Ahead() said it is there.
    unsigned char Peek() const { return static_cast<unsigned char>(buffer_[pos_]); }
    void ReadString();
    void ReadNumber();

    std::istream& in_;
    std::array<char, 4096> buffer_{};
    std::size_t pos_ = 0;  // the next byte to take
    std::size_t end_ = 0;  // end of the bytes read
    bool input_done_ = false;
    int line_ = 1;
    Kind kind_ = Kind::End;
    std::string text_;
    char float_type_ = 0;
    bool wide_ = false;
    std::u16string units_;
};

// Converts pairs of hex digits ("0"-"9", "A"-"F", "a"-"f") from the text until a character that
// is none of them (in either place of a pair) or `max_count` bytes; gives the count of bytes.
std::size_t HexToBytes(std::string_view text, char* out, std::size_t max_count);

}  // namespace lexorin::codec
