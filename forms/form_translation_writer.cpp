#include "forms/form_translation_writer.h"

#include <algorithm>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/text_routines.h"
#include "code/translator.h"
#include "forms/form_line_walk.h"
#include "forms/form_scanner.h"
#include "forms/form_value_text.h"
#include "forms/form_wide_line.h"
#include "forms/translation_text.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::forms {

std::string ReplaceFormString(const std::string& line, const FormTranslation& row,
                              const CodePage& code_page) {
    if (row.translation.empty() || trim(row.original).empty()) return line;
    std::size_t quote = line.find('\'');
    if (quote == std::string::npos) return line;
    const std::string blanks(static_cast<std::size_t>(std::max(row.spaces_at_end, 0)), ' ');
    return line.substr(0, quote) +
           code::ReplaceAllNoCase(std::string_view(line).substr(quote),
                                  code::EscapeApostrophes(row.original) + blanks,
                                  TranslationBetweenQuotes(row.translation + blanks, code_page,
                                                           ContinuationIndent(line)));
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

TranslatedFormText TranslateFormText(code::TTranslator& translator, std::string_view text,
                                     const std::string& form_path) {
    store::Table* forms_table = translator.FormsTable;
    if (!forms_table) throw Error("Writing a translated form needs the forms table");
    if (!forms_table->is_open()) forms_table->open();
    // The rows of this very form file when it was scanned; forms with the same name in other
    // folders have rows under the same keys, and the first of those would serve them all.
    std::optional<std::int64_t> unit;
    if (translator.UnitsTable) unit = FindFormUnit(*translator.UnitsTable, form_path);
    forms_table->set_index_name(unit ? store::order::UniqueProperty : store::order::Translation);
    auto lookup = [&](const std::string& object,
                      const std::string& property) -> std::optional<FormTranslation> {
        bool found = unit ? forms_table->find_key(
                                {store::Value(*unit), store::Value(object), store::Value(property)})
                          : forms_table->find_key({store::Value(object), store::Value(property)});
        if (!found) return std::nullopt;
        return FormTranslation{forms_table->text(store::field::OriginalString),
                               forms_table->text(store::field::TranslateString),
                               static_cast<int>(forms_table->integer(store::field::SpacesAtEnd))};
    };
    TranslatedFormText translated = TranslateFormLines(
        read_text_lines(text), lookup, form_path, translator.StatusBar, &translator.FormsCodePage);
    if (translator.StatusBar)
        translator.StatusBar->status(std::to_string(translated.replaced) + " Strings found");
    return translated;
}

}  // namespace lexorin::forms

namespace lexorin::code {

int TTranslator::TranslateForm(const std::string& text_path, const std::string& form_path) {
    forms::TranslatedFormText text =
        forms::TranslateFormText(*this, read_file(text_path), form_path);
    // An untouched text keeps its bytes, line breaks included, as a form stored as text must.
    if (text.replaced > 0) write_file_atomically(text_path, join_text_lines(text.lines));
    return text.replaced;
}

}  // namespace lexorin::code
