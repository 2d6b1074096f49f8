#include "forms/form_scanner.h"

#include <optional>
#include <utility>

#include "base/file_utils.h"
#include "base/text_routines.h"
#include "base/text_utils.h"
#include "forms/form_line_walk.h"
#include "forms/form_wide_line.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::forms {

namespace {

bool HoldsUnwanted(const std::string& line, const std::vector<std::string>& unwanted) {
    for (const auto& entry : unwanted)
        if (ContainsNoCase(line, entry)) return true;
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

FormStringScanner::FormStringScanner(store::FormRows& strings, store::FormFiles& files,
                                     const CodePage& code_page, std::vector<std::string> unwanted,
                                     Reporter& reporter)
    : strings_(strings),
      files_(files),
      code_page_(code_page),
      unwanted_(std::move(unwanted)),
      reporter_(reporter) {}

int FormStringScanner::Scan(const std::string& text_path, const std::string& form_path) {
    const std::vector<FormString> found = FindFormStrings(
        read_text_lines(read_file(text_path)), unwanted_, form_path, &reporter_, &code_page_);
    if (!found.empty()) {
        // Forms of the same name in different folders are told apart by their full path.
        std::optional<std::int64_t> form = files_.find(form_path);
        if (!form) form = files_.append({0, file_name_of(form_path), form_path});
        store::Table& rows = strings_.table();
        rows.set_index_name(store::order::UniqueProperty);
        for (const auto& string : found) {
            reporter_.still_working();
            if (rows.find_key({store::Value(*form), store::Value(string.object),
                               store::Value(string.property)})) {
                // A change of case or of surrounding blanks is no new text to translate.
                if (upper_case(trim(string.original)) !=
                    upper_case(trim(rows.text(store::field::OriginalString)))) {
                    rows.edit();
                    rows.set_text(store::field::OriginalString, string.original);
                    rows.set_logical(store::field::Changed, true);
                    rows.set_logical(store::field::Translated, false);
                    rows.set_integer(store::field::SpacesAtEnd, string.spaces_at_end);
                    rows.post();
                }
                continue;
            }
            store::FormRow row;
            row.original = string.original;
            row.form = *form;
            row.ignore = string.ignore;
            row.object = string.object;
            row.property = string.property;
            row.spaces_at_end = string.spaces_at_end;
            row.context = string.note;  // why a wide string was left out
            strings_.append(row);
        }
    }
    const int count = static_cast<int>(found.size());
    reporter_.status(std::to_string(count) + " Strings found");
    return count;
}

}  // namespace lexorin::forms
