#include "forms/form_translation_writer.h"

#include <algorithm>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/text_routines.h"
#include "code/translator.h"
#include "forms/form_line_walk.h"
#include "forms/form_scanner.h"
#include "forms/form_wide_line.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::forms {

std::string ReplaceFormString(const std::string& line, const FormTranslation& row) {
    if (row.translation.empty() || trim(row.original).empty()) return line;
    std::size_t quote = line.find('\'');
    if (quote == std::string::npos) return line;
    const std::string blanks(static_cast<std::size_t>(std::max(row.spaces_at_end, 0)), ' ');
    return line.substr(0, quote) +
           code::ReplaceAllNoCase(std::string_view(line).substr(quote),
                                  code::EscapeApostrophes(row.original) + blanks,
                                  code::EscapeApostrophes(row.translation) + blanks);
}

namespace {

// A wide string is replaced as a whole when the row was made from it (the same text, apart
// from case and the blanks the store drops), written back in the wide layout.
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
        if (row && found->wide)
            changed = ReplaceWideLine(line, found->text, *row, page);
        else if (row)
            changed = ReplaceFormString(line, *row);
        if (changed != line) ++result.replaced;
        result.lines.push_back(std::move(changed));
        walk.NextString();
    }
    return result;
}

}  // namespace lexorin::forms

namespace lexorin::code {

int TTranslator::TranslateForm(const std::string& text_path, const std::string& form_path) {
    if (!FormsTable) throw Error("Writing a translated form needs the forms table");
    if (!FormsTable->is_open()) FormsTable->open();
    const std::vector<std::string> lines = read_text_lines(read_file(text_path));

    // The rows of this very form file when it was scanned; forms with the same name in other
    // folders have rows under the same keys, and the first of those would serve them all.
    std::optional<std::int64_t> unit;
    if (UnitsTable) unit = forms::FindFormUnit(*UnitsTable, form_path);
    FormsTable->set_index_name(unit ? store::order::UniqueProperty : store::order::Translation);
    auto lookup = [&](const std::string& object,
                      const std::string& property) -> std::optional<forms::FormTranslation> {
        bool found = unit ? FormsTable->find_key(
                                {store::Value(*unit), store::Value(object), store::Value(property)})
                          : FormsTable->find_key({store::Value(object), store::Value(property)});
        if (!found) return std::nullopt;
        return forms::FormTranslation{
            FormsTable->text(store::field::OriginalString),
            FormsTable->text(store::field::TranslateString),
            static_cast<int>(FormsTable->integer(store::field::SpacesAtEnd))};
    };
    forms::TranslatedFormText text =
        forms::TranslateFormLines(lines, lookup, form_path, StatusBar, &FormsCodePage);
    // An untouched text keeps its bytes, line breaks included, as a form stored as text must.
    if (text.replaced > 0) write_file_atomically(text_path, join_text_lines(text.lines));
    if (StatusBar) StatusBar->status(std::to_string(text.replaced) + " Strings found");
    return text.replaced;
}

}  // namespace lexorin::code
