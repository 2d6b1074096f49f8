#include "base/code_page.h"

#include <cstdlib>

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <type_traits>

#include "base/errors.h"
#include "base/text_utils.h"

namespace lexorin {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the rest of the page equals Latin-1 (U+00A0 to U+00FF).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t windows_1252_char(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char32_t(byte);
}

int windows_1252_byte(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == code) return static_cast<int>(0x80 + i);
    return -1;
}

bool is_windows_1252_name(const std::string& name) {
    std::string upper = upper_case(name);
    return upper == "WINDOWS-1252" || upper == "CP1252" || upper == "1252" ||
           upper == "WINDOWS1252";
}

bool is_utf8_name(const std::string& name) {
    std::string upper = upper_case(name);
    return upper == "UTF-8" || upper == "UTF8";
}

// Raises the Error of decode_utf8 at the first byte that does not belong to a UTF-8 character.
void check_utf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) decode_utf8(text, pos);
}

struct IconvClose {
    void operator()(void* cd) const { ::iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvClose>;

IconvHandle open_iconv(const std::string& to, const std::string& from, const std::string& page) {
    iconv_t cd = ::iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) throw Error("Unknown code page " + page + ".");
    return IconvHandle(cd);
}

std::string hex_byte(unsigned char byte) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", byte);
    return buffer;
}

// Converts the whole text; returns the offset of the input that could not be converted, or
// npos when all of it was.
size_t run_iconv(iconv_t cd, std::string_view in, std::string& out) {
    char* in_ptr = const_cast<char*>(in.data());
    size_t in_left = in.size();
    std::array<char, 4096> buffer{};
    while (in_left > 0) {
        char* out_ptr = buffer.data();
        size_t out_left = buffer.size();
        size_t rc = ::iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        out.append(buffer.data(), buffer.size() - out_left);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG)
            return static_cast<size_t>(in_ptr - in.data());
    }
    char* out_ptr = buffer.data();
    size_t out_left = buffer.size();
    ::iconv(cd, nullptr, nullptr, &out_ptr, &out_left);  // the shift sequence back to the start
    out.append(buffer.data(), buffer.size() - out_left);
    return std::string_view::npos;
}

}  // namespace

char32_t decode_utf8(std::string_view text, size_t& pos) {
    auto bad = [&]() -> Error {
        return Error("The text is not valid UTF-8 (byte " +
                     hex_byte(static_cast<unsigned char>(text[pos])) + " at offset " +
                     std::to_string(pos) + ").");
    };
    auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    size_t length;
    char32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        throw bad();
    }
    if (pos + length > text.size()) throw bad();
    for (size_t i = 1; i < length; ++i) {
        auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) throw bad();
        code = (code << 6) | (next & 0x3F);
    }
    bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) throw bad();
    pos += length;
    return code;
}

void append_utf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string code_point_name(char32_t code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(code));
    return buffer;
}

CodePage::CodePage(std::string name) : name_(std::move(name)) {
    windows_1252_ = is_windows_1252_name(name_);
    utf8_ = is_utf8_name(name_);
    if (!windows_1252_ && !utf8_) {
        if (trim(name_).empty()) throw Error("Unknown code page " + name_ + ".");
        open_iconv("UTF-8", name_, name_);
        open_iconv(name_, "UTF-8", name_);
    }
}

std::string CodePage::to_utf8(std::string_view text) const {
    if (utf8_) {
        check_utf8(text);
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    if (windows_1252_) {
        for (char c : text) append_utf8(out, windows_1252_char(static_cast<unsigned char>(c)));
        return out;
    }
    IconvHandle cd = open_iconv("UTF-8", name_, name_);
    size_t failed = run_iconv(cd.get(), text, out);
    if (failed != std::string_view::npos)
        throw Error("The byte " + hex_byte(static_cast<unsigned char>(text[failed])) +
                    " has no character in the code page " + name_ + ".");
    return out;
}

std::string CodePage::from_utf8(std::string_view utf8) const {
    if (utf8_) {
        check_utf8(utf8);
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    // Checked first, so that a failure of the conversion below means a missing character.
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t code = decode_utf8(utf8, pos);
        if (windows_1252_) {
            int byte = windows_1252_byte(code);
            if (byte < 0)
                throw Error("The character " + code_point_name(code) +
                            " cannot be written in the code page " + name_ + ".");
            out += static_cast<char>(byte);
        }
    }
    if (windows_1252_) return out;
    IconvHandle cd = open_iconv(name_, "UTF-8", name_);
    size_t failed = run_iconv(cd.get(), utf8, out);
    if (failed != std::string_view::npos) {
        size_t pos = failed;
        char32_t code = decode_utf8(utf8, pos);
        throw Error("The character " + code_point_name(code) +
                    " cannot be written in the code page " + name_ + ".");
    }
    return out;
}

CodePage code_page_from_environment() {
    const char* name = std::getenv("LEXORIN_CODE_PAGE");
    return CodePage(name && *name ? name : kDefaultCodePage);
}

}  // namespace lexorin
