#include "forms/form_wide_line.h"

#include <cstdlib>

#include "base/errors.h"
#include "base/text_utils.h"
#include "codec/form_value_text.h"
#include "forms/form_line_walk.h"
#include "forms/translation_text.h"

namespace lexorin::forms {

std::optional<WideLineString> FindWideString(std::string_view line) {
    std::size_t start = line.find_first_of("'#");
    if (start == std::string_view::npos) return std::nullopt;
    WideLineString found;
    found.begin = start;
    bool beyond_8_bits = false;
    std::size_t i = start;
    for (;;) {
        if (i < line.size() && line[i] == '\'') {
            for (++i;; ++i) {
                if (i >= line.size()) return std::nullopt;
                if (line[i] == '\'') {
                    if (i + 1 < line.size() && line[i + 1] == '\'') {
                        found.units += u'\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                found.units += static_cast<unsigned char>(line[i]);
            }
        } else if (i < line.size() && line[i] == '#') {
            ++i;
            unsigned code = 0;
            std::size_t digits = 0;
            for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i, ++digits) {
                code = code * 10 + static_cast<unsigned>(line[i] - '0');
                if (code > 0xFFFF) return std::nullopt;
            }
            if (digits == 0) return std::nullopt;
            beyond_8_bits = beyond_8_bits || code >= 128;
            found.units += static_cast<char16_t>(code);
        } else {
            break;
        }
    }
    found.end = i;
    if (!beyond_8_bits || !codec::IsWellFormedUtf16(found.units)) return std::nullopt;
    std::string_view rest = line.substr(i);
    std::size_t last = rest.find_last_not_of(" \t\r\n");
    rest = last == std::string_view::npos ? std::string_view() : rest.substr(0, last + 1);
    std::size_t first = rest.find_first_not_of(" \t");
    rest = first == std::string_view::npos ? std::string_view() : rest.substr(first);
    if (!rest.empty() && rest != "+" && rest != ")") return std::nullopt;
    return found;
}

std::optional<LineString> FindLineString(std::string_view line, const CodePage& code_page) {
    std::optional<WideLineString> wide = FindWideString(line);
    if (!wide) {
        std::optional<std::string> text = ExtractFormString(line);
        if (!text) return std::nullopt;
        LineString plain;
        plain.text = std::move(*text);
        return plain;
    }
    LineString found;
    found.wide = true;
    std::string utf8;
    codec::Utf16ToUtf8(wide->units, utf8);
    try {
        found.text = code_page.from_utf8(utf8);
    } catch (const Error& e) {
        found.unholdable = true;
        found.text = std::string(line.substr(wide->begin, wide->end - wide->begin));
        found.note = std::string(e.what()) +
                     " The string is kept as the form writes it and left untranslated.";
    }
    if (trim(found.text).empty()) return std::nullopt;
    return found;
}

std::string ReplaceWideString(std::string_view line, const WideLineString& found,
                              std::string_view translation, const CodePage& code_page) {
    return std::string(line.substr(0, found.begin)) + "'" +
           TranslationBetweenQuotes(translation, code_page, ContinuationIndent(line)) + "'" +
           std::string(line.substr(found.end));
}

}  // namespace lexorin::forms
