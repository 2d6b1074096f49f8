#include "forms/form_scanner.h"

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/text_routines.h"
#include "code/translator.h"
#include "forms/form_line_walk.h"
#include "forms/form_wide_line.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::forms {

namespace {

bool HoldsUnwanted(const std::string& line, const std::vector<std::string>& unwanted) {
    for (const auto& entry : unwanted)
        if (code::ContainsNoCase(line, entry)) return true;
    return false;
}

}  // namespace

std::vector<FormString> FindFormStrings(const std::vector<std::string>& lines,
                                        const std::vector<std::string>& unwanted,
                                        const std::string& form_path, Reporter* status,
                                        const CodePage* code_page) {
    const CodePage default_code_page;
    const CodePage& page = code_page ? *code_page : default_code_page;
    std::vector<FormString> found;
    FormLineWalk walk;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        WalkLine(walk, line, i, form_path, "Cannot scan", status);
        std::optional<LineString> text = FindLineString(line, page);
        if (!text) continue;
        FormString row;
        row.ignore = HoldsUnwanted(line, unwanted) || text->unholdable;
        row.note = std::move(text->note);
        row.object = walk.ObjectPath();
        row.property = walk.PropertyKey();
        row.spaces_at_end = CountSpacesAtEnd(text->text);
        row.original = std::move(text->text);
        row.line = i;
        found.push_back(std::move(row));
        walk.NextString();
    }
    return found;
}

std::optional<std::int64_t> FindFormUnit(store::Table& units, const std::string& form_path) {
    if (!units.is_open()) units.open();
    if (units.index_name() != store::order::Name) units.set_index_name(store::order::Name);
    // Forms of the same name in different folders share the first key; the full path, compared
    // exactly, tells them apart.
    if (units.find_key({store::Value(file_name_of(form_path))}))
        for (; !units.eof(); units.next())
            if (units.text(store::field::Directory) == form_path)
                return units.integer(store::field::Index);
    return std::nullopt;
}

}  // namespace lexorin::forms

namespace lexorin::code {

int TTranslator::ScanForm(const std::string& text_path, const std::string& form_path) {
    if (!UnitsTable || !FormsTable)
        throw Error("The form scan needs the forms table and the units table of the project");
    const std::vector<forms::FormString> found =
        forms::FindFormStrings(read_text_lines(read_file(text_path)), UnwantedStrings, form_path,
                               StatusBar, &FormsCodePage);

    if (!UnitsTable->is_open()) UnitsTable->open();
    UnitsTable->set_index_name(store::order::Name);
    if (!FormsTable->is_open()) FormsTable->open();
    std::optional<std::int64_t> unit;
    if (!found.empty()) unit = forms::FindFormUnit(*UnitsTable, form_path);
    if (!found.empty() && !unit) {
        UnitsTable->append_record(
            {store::Value(0), store::Value(file_name_of(form_path)), store::Value(form_path)});
        unit = UnitsTable->integer(store::field::Index);
    }
    if (!found.empty()) FormsTable->set_index_name(store::order::UniqueProperty);
    for (const auto& row : found) {
        if (StatusBar) StatusBar->process_events();
        if (FormsTable->find_key(
                {store::Value(*unit), store::Value(row.object), store::Value(row.property)})) {
            // A change of case or of surrounding blanks is no new text to translate.
            if (upper_case(trim(row.original)) !=
                upper_case(trim(FormsTable->text(store::field::OriginalString)))) {
                FormsTable->edit();
                FormsTable->set_text(store::field::OriginalString, row.original);
                FormsTable->set_logical(store::field::Changed, true);
                FormsTable->set_logical(store::field::Translated, false);
                FormsTable->set_integer(store::field::SpacesAtEnd, row.spaces_at_end);
                FormsTable->post();
            }
        } else {
            FormsTable->append_record(
                {store::Value(0), store::Value(row.original), store::Value(""), store::Value(*unit),
                 store::Value(false), store::Value(row.ignore), store::Value(row.object),
                 store::Value(row.property), store::Value(false), store::Value(row.spaces_at_end)});
            // Why a wide string was left out, where the table has room for it.
            if (!row.note.empty() && FormsTable->has_field(store::field::Context)) {
                FormsTable->edit();
                FormsTable->set_text(store::field::Context, row.note);
                FormsTable->post();
            }
        }
    }
    const int count = static_cast<int>(found.size());
    if (StatusBar) StatusBar->status(std::to_string(count) + " Strings found");
    return count;
}

}  // namespace lexorin::code
