#pragma once

#include <string>
#include <string_view>

// The program's text is 8-bit; files exchanged with other tools (PO files) are UTF-8. A code page
// says which character each byte stands for. UTF-8 itself counts as one: its text is kept as it
// is, several bytes to a character.
namespace lexorin {

inline constexpr const char* kDefaultCodePage = "Windows-1252";

class CodePage {
  public:
    // Windows-1252 (also "cp1252", "1252") and UTF-8 (also "utf8") are built in; any other
    // name is handed to iconv, for example "CP1250", "CP1251" or "ISO-8859-2". Raises Error
    // "Unknown code page <name>.".
    explicit CodePage(std::string name = kDefaultCodePage);

    const std::string& name() const { return name_; }
    // Whether the text is UTF-8 already: both conversions then only check it.
    bool is_utf8() const { return utf8_; }

    // 8-bit text to UTF-8. Windows-1252 maps every byte (the five bytes it leaves undefined
    // become the control characters of the same number, as Windows itself does), so only other
    // code pages can raise Error "The byte 0x81 has no character in the code page CP1251.";
    // UTF-8 text comes back as it is, and text that is not UTF-8 raises the Error of
    // decode_utf8.
    std::string to_utf8(std::string_view text) const;
    // UTF-8 to 8-bit text. Raises Error for text that is not UTF-8 and for a character the code
    // page lacks: "The character U+0142 cannot be written in the code page Windows-1252.".
    std::string from_utf8(std::string_view utf8) const;

  private:
    std::string name_;
    bool windows_1252_ = false;
    bool utf8_ = false;
};

// The code page LEXORIN_CODE_PAGE names, or Windows-1252 when it is unset or empty. Raises
// lexorin::Error for a name that is no code page.
CodePage code_page_from_environment();

// Decodes one UTF-8 character at `pos`, moving `pos` past it; raises Error for a malformed or
// overlong sequence, a surrogate or a value beyond U+10FFFF.
char32_t decode_utf8(std::string_view text, size_t& pos);
void append_utf8(std::string& out, char32_t code);
// "U+20AC"
std::string code_point_name(char32_t code);

}  // namespace lexorin
