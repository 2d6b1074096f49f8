#include "forms/translation_text.h"

#include "codec/form_value_text.h"

namespace lexorin::forms {

std::string TranslationBetweenQuotes(std::string_view translation, const CodePage& code_page,
                                     std::string_view indent) {
    std::u16string units;
    codec::Utf8ToUtf16(code_page.to_utf8(translation), units);
    std::string text;
    std::size_t piece_start = 0;
    bool quoted = true;
    for (char16_t unit : units) {
        // A cut falls between two characters, never inside a "#" code; a quoted run is closed
        // before the " +", and the next piece opens its own.
        if (text.size() - piece_start >= kTranslationPieceBytes) {
            if (quoted) text += '\'';
            text += " +\r\n";
            text += indent;
            piece_start = text.size();
            quoted = false;
        }
        const bool plain = unit >= 32 && unit <= 126 && unit != '\'';
        if (plain != quoted) {
            text += '\'';
            quoted = plain;
        }
        if (plain)
            text += static_cast<char>(unit);
        else
            text += '#' + std::to_string(static_cast<unsigned>(unit));
    }
    if (!quoted) text += '\'';
    return text;
}

std::string ContinuationIndent(std::string_view line) {
    const std::size_t blanks = line.find_first_not_of(' ');
    return std::string(blanks == std::string_view::npos ? line.size() : blanks, ' ') + "  ";
}

}  // namespace lexorin::forms
