#include "forms/form_scanner.h"

#include <algorithm>
#include <optional>
#include <string_view>
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

bool HoldsUnwanted(std::string_view line, const std::vector<std::string>& unwanted) {
    for (const auto& entry : unwanted)
        if (ContainsNoCase(line, entry)) return true;
    return false;
}

// The parts of a dotted name, "Link.TIPropertyName" as {"Link", "TIPropertyName"}.
std::vector<std::string_view> DottedParts(std::string_view name) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t dot; (dot = name.find('.', start)) != std::string_view::npos; start = dot + 1)
        parts.push_back(name.substr(start, dot - start));
    parts.push_back(name.substr(start));
    return parts;
}

}  // namespace

bool IsNonTextProperty(const std::string& property_key, const std::vector<std::string>& names) {
    // The key ends in "." and the string's number, which is no part of the name.
    const std::size_t counter = property_key.rfind('.');
    if (counter == std::string::npos) return false;
    const std::vector<std::string_view> property =
        DottedParts(std::string_view(property_key).substr(0, counter));
    for (const auto& entry : names) {
        const std::string name = trim(entry);
        if (name.empty()) continue;
        const std::vector<std::string_view> parts = DottedParts(name);
        if (parts.size() > property.size()) continue;
        if (std::equal(parts.begin(), parts.end(), property.end() - parts.size(),
                       [](std::string_view a, std::string_view b) { return equal_no_case(a, b); }))
            return true;
    }
    return false;
}

namespace {

// The walk of FindFormStrings over lines held as strings or as views into the text.
template <typename Line>
std::vector<FormString> FindStrings(const std::vector<Line>& lines,
                                    const FormStringFilters& filters, const std::string& form_path,
                                    Reporter* status, const CodePage* code_page) {
    const CodePage default_code_page;
    const CodePage& page = code_page ? *code_page : default_code_page;
    std::vector<FormString> found;
    FormLineWalk walk;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        WalkLine(walk, line, i, form_path, "Cannot scan", status);
        std::optional<LineString> text = FindLineString(line, page);
        if (!text) continue;
        FormString row;
        row.object = walk.ObjectPath();
        row.property = walk.PropertyKey();
        row.non_text = IsNonTextProperty(row.property, filters.non_text_properties);
        row.ignore = HoldsUnwanted(line, filters.unwanted) || text->unholdable || row.non_text;
        row.note = std::move(text->note);
        row.spaces_at_end = CountSpacesAtEnd(text->text);
        row.original = std::move(text->text);
        row.line = i;
        found.push_back(std::move(row));
        walk.NextString();
    }
    return found;
}

}  // namespace

std::vector<FormString> FindFormStrings(const std::vector<std::string>& lines,
                                        const FormStringFilters& filters,
                                        const std::string& form_path, Reporter* status,
                                        const CodePage* code_page) {
    return FindStrings(lines, filters, form_path, status, code_page);
}

std::vector<FormString> FindFormTextStrings(std::string_view text, const FormStringFilters& filters,
                                            const std::string& form_path, Reporter* status,
                                            const CodePage* code_page) {
    return FindStrings(read_text_line_views(text), filters, form_path, status, code_page);
}

FormStringScanner::FormStringScanner(store::FormRows& strings, store::FormFiles& files,
                                     const CodePage& code_page, FormStringFilters filters,
                                     Reporter& reporter)
    : strings_(strings),
      files_(files),
      code_page_(code_page),
      filters_(std::move(filters)),
      reporter_(reporter) {}

int FormStringScanner::Scan(const std::string& text_path, const std::string& form_path) {
    return ScanText(read_file(text_path), form_path);
}

int FormStringScanner::ScanText(std::string_view text, const std::string& form_path) {
    return Store(Find(text, form_path), form_path);
}

std::vector<FormString> FormStringScanner::Find(std::string_view text,
                                                const std::string& form_path) const {
    return FindFormTextStrings(text, filters_, form_path, &reporter_, &code_page_);
}

int FormStringScanner::Store(const std::vector<FormString>& found, const std::string& form_path) {
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
                const bool text_changed = upper_case(trim(string.original)) !=
                                          upper_case(trim(rows.text(store::field::OriginalString)));
                // A row of a non-text property made before it was listed is taken out of
                // translation, unless the user has translated it already.
                const bool to_ignore = string.non_text && !rows.logical(store::field::Ignore) &&
                                       (text_changed || !rows.logical(store::field::Translated)) &&
                                       trim(rows.text(store::field::TranslateString)).empty();
                if (!text_changed && !to_ignore) continue;
                rows.edit();
                if (text_changed) {
                    rows.set_text(store::field::OriginalString, string.original);
                    rows.set_logical(store::field::Changed, true);
                    rows.set_logical(store::field::Translated, false);
                    rows.set_integer(store::field::SpacesAtEnd, string.spaces_at_end);
                }
                if (to_ignore) rows.set_logical(store::field::Ignore, true);
                rows.post();
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
