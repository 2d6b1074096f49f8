#include "forms/form_wide_line.h"

#include <algorithm>
#include <cstdlib>

#include "base/errors.h"
#include "base/text_utils.h"
#include "codec/form_value_text.h"
#include "forms/form_line_walk.h"
#include "forms/translation_text.h"

namespace lexorin::forms {

std::optional<QuotedString> ReadQuotedString(std::string_view text, std::size_t start) {
    QuotedString read;
    std::size_t i = start;
    for (;;) {
        if (i < text.size() && text[i] == '\'') {
            for (++i;; ++i) {
                if (i >= text.size()) return std::nullopt;
                if (text[i] == '\'') {
                    if (i + 1 < text.size() && text[i + 1] == '\'') {
                        read.units += u'\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                read.units += static_cast<unsigned char>(text[i]);
            }
        } else if (i < text.size() && text[i] == '#') {
            ++i;
            unsigned code = 0;
            std::size_t digits = 0;
            for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
                code = code * 10 + static_cast<unsigned>(text[i] - '0');
                if (code > 0xFFFF) return std::nullopt;
            }
            if (digits == 0) return std::nullopt;
            read.highest_code = std::max(read.highest_code, code);
            read.units += static_cast<char16_t>(code);
        } else {
            break;
        }
    }
    read.end = i;
    return read;
}

std::optional<WideLineString> FindWideString(std::string_view line) {
    std::size_t start = line.find_first_of("'#");
    if (start == std::string_view::npos) return std::nullopt;
    std::optional<QuotedString> read = ReadQuotedString(line, start);
    if (!read || read->highest_code < 128 || !codec::IsWellFormedUtf16(read->units))
        return std::nullopt;
    WideLineString found{start, read->end, std::move(read->units)};
    std::string_view rest = line.substr(found.end);
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
