#include "forms/form_translation_writer.h"

#include <algorithm>
#include <optional>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_routines.h"
#include "base/text_utils.h"
#include "codec/form_value_text.h"
#include "forms/form_line_walk.h"
#include "forms/form_translation_index.h"
#include "forms/form_wide_line.h"
#include "forms/translation_text.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::forms {

namespace {

// The text a string in the form text's notation stands for: quoted runs (a doubled quote is one)
// and "#" codes below 128 ('It''s', 'Line1'#13#10'Line2'). Nothing for anything else, a code of
// 128 or above included, as such a code names a character and no byte of the code page.
std::optional<std::string> TextOfNotation(std::string_view quoted) {
    const std::optional<QuotedString> read = ReadQuotedString(quoted, 0);
    if (!read || read->end != quoted.size() || read->highest_code >= 128) return std::nullopt;
    // Every unit is a byte of a run or a code below 128.
    std::string text;
    for (char16_t unit : read->units) text += static_cast<char>(unit);
    return text;
}

// A row whose original the scanner took in the form text's own notation (a Lazarus form writes
// It's as 'It''s', and every form a line break as 'Line1'#13#10'Line2'): the whole string is
// found as it stands, and the translation, which the translator wrote in the notation the row
// showed, is read the same way; a translation that is no such notation is taken as plain text.
std::string ReplaceNotationString(const std::string& line, std::size_t quote,
                                  const FormTranslation& row, const std::string& blanks,
                                  const CodePage& code_page) {
    const std::string needle = "'" + row.original + blanks + "'";
    if (!TextOfNotation(needle)) return line;
    const std::string typed = row.translation + blanks;
    const std::string text = TextOfNotation("'" + typed + "'").value_or(typed);
    return line.substr(0, quote) +
           ReplaceAllNoCase(
               std::string_view(line).substr(quote), needle,
               "'" + TranslationBetweenQuotes(text, code_page, ContinuationIndent(line)) + "'");
}

}  // namespace

std::string ReplaceFormString(const std::string& line, const FormTranslation& row,
                              const CodePage& code_page) {
    if (row.translation.empty() || trim(row.original).empty()) return line;
    std::size_t quote = line.find('\'');
    if (quote == std::string::npos) return line;
    const std::string blanks(static_cast<std::size_t>(std::max(row.spaces_at_end, 0)), ' ');
    std::string replaced =
        line.substr(0, quote) +
        ReplaceAllNoCase(std::string_view(line).substr(quote),
                         EscapeApostrophes(row.original) + blanks,
                         TranslationBetweenQuotes(row.translation + blanks, code_page,
                                                  ContinuationIndent(line)));
    if (replaced != line || row.original.find('\'') == std::string::npos) return replaced;
    return ReplaceNotationString(line, quote, row, blanks, code_page);
}

namespace {

// A wide string is replaced as a whole when the row was made from it (the same text, apart
// from case and the blanks the store drops).
std::string ReplaceWideLine(const std::string& line, const std::string& scanned,
                            const FormTranslation& row, const CodePage& code_page) {
    if (row.translation.empty() || trim(row.original).empty()) return line;
    if (upper_case(trim(row.original)) != upper_case(trim(scanned))) return line;
    std::optional<WideLineString> wide = FindWideString(line);
    if (!wide) return line;
    const std::string blanks(static_cast<std::size_t>(std::max(row.spaces_at_end, 0)), ' ');
    return ReplaceWideString(line, *wide, row.translation + blanks, code_page);
}

}  // namespace

TranslatedFormText TranslateFormLines(const std::vector<std::string>& lines,
                                      const TranslationLookup& lookup, const std::string& form_path,
                                      Reporter* status, const CodePage* code_page) {
    const CodePage default_code_page;
    const CodePage& page = code_page ? *code_page : default_code_page;
    TranslatedFormText result;
    result.lines.reserve(lines.size());
    FormLineWalk walk;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        WalkLine(walk, line, i, form_path, "Cannot translate", status);
        // Exactly the lines the scanner records count, so the keys stay in step with its rows.
        std::optional<LineString> found = FindLineString(line, page);
        if (!found) {
            result.lines.push_back(line);
            continue;
        }
        std::optional<FormTranslation> row = lookup(walk.ObjectPath(), walk.PropertyKey());
        std::string changed = line;
        try {
            if (row && found->wide)
                changed = ReplaceWideLine(line, found->text, *row, page);
            else if (row)
                changed = ReplaceFormString(line, *row, page);
        } catch (const Error& e) {
            throw Error("The translation of " + walk.ObjectPath() + " " + walk.PropertyKey() +
                        " cannot go into the form: " + e.what());
        }
        if (changed == line) {
            result.lines.push_back(line);
        } else {
            // A long translation brings lines of its own.
            ++result.replaced;
            for (std::string& part : read_text_lines(changed)) {
                result.translated_lines.push_back(result.lines.size());
                result.lines.push_back(std::move(part));
            }
        }
        walk.NextString();
    }
    return result;
}

TranslatedFormWriter::TranslatedFormWriter(store::FormRows& strings, store::FormFiles& files,
                                           const CodePage& code_page, Reporter& reporter)
    : strings_(strings), files_(files), code_page_(code_page), reporter_(reporter) {}

TranslatedFormText TranslatedFormWriter::TranslateText(std::string_view text,
                                                       const std::string& form_path) {
    // The rows of this very form file when it was scanned; forms with the same name in other
    // folders have rows under the same keys, and the first of those would serve them all.
    const std::optional<std::int64_t> form = files_.find(form_path);
    if (rows_read_) {
        const FormTranslationIndex& index = *rows_read_;
        auto lookup = [&](const std::string& object, const std::string& property) {
            return index.Find(form, object, property);
        };
        return TranslateWith(lookup, text, form_path);
    }
    store::Table& rows = strings_.table();
    rows.set_index_name(form ? store::order::UniqueProperty : store::order::Translation);
    auto lookup = [&](const std::string& object,
                      const std::string& property) -> std::optional<FormTranslation> {
        const bool found =
            form
                ? rows.find_key({store::Value(*form), store::Value(object), store::Value(property)})
                : rows.find_key({store::Value(object), store::Value(property)});
        if (!found) return std::nullopt;
        return FormTranslation{rows.text(store::field::OriginalString),
                               rows.text(store::field::TranslateString),
                               static_cast<int>(rows.integer(store::field::SpacesAtEnd))};
    };
    return TranslateWith(lookup, text, form_path);
}

TranslatedFormText TranslatedFormWriter::TranslateWith(const TranslationLookup& lookup,
                                                       std::string_view text,
                                                       const std::string& form_path) {
    TranslatedFormText translated =
        TranslateFormLines(read_text_lines(text), lookup, form_path, &reporter_, &code_page_);
    reporter_.status(std::to_string(translated.replaced) + " Strings found");
    return translated;
}

void TranslatedFormWriter::ReadRowsAtOnce() {
    rows_read_ = std::make_shared<const FormTranslationIndex>(strings_);
}

int TranslatedFormWriter::TranslateFile(const std::string& text_path,
                                        const std::string& form_path) {
    TranslatedFormText text = TranslateText(read_file(text_path), form_path);
    // An untouched text keeps its bytes, line breaks included, as a form stored as text must.
    if (text.replaced > 0) write_file_atomically(text_path, join_text_lines(text.lines));
    return text.replaced;
}

}  // namespace lexorin::forms
