#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "store/string_tables.h"

// The form string scanner: which strings a form text holds and under which keys
// (FindFormStrings, without any table), and the scanner that stores them in a language's forms
// table (FormStringScanner).
namespace lexorin::forms {

// One string of a form text, as it becomes a row of the forms table.
struct FormString {
    std::string original;   // as extracted, trailing blanks included
    std::string object;     // ObjectPath
    std::string property;   // PropertyKey
    bool ignore = false;    // the line holds one of the unwanted strings, characters the code
                            // page cannot hold, or no text for people (non_text)
    bool non_text = false;  // its property is one of the non-text properties
    std::string note;       // why a string is ignored for its characters
    int spaces_at_end = 0;  // blanks at the end of `original`
    std::size_t line = 0;   // zero-based number of the line that holds it
};

// What makes the rows of a form's strings ignored: a line that holds one of the `unwanted`
// substrings (any letter case), or a property whose values are no text for people (identifiers,
// versions, field names, masks), named in `non_text_properties` (IsNonTextProperty).
struct FormStringFilters {
    std::vector<std::string> unwanted;
    std::vector<std::string> non_text_properties;
};

// Whether the property of `property_key` (PropertyKey: the property name and the string's
// number, "Link.TIPropertyName.0") is one of `names`: its name ends with the entry's dotted parts,
// compared without regard to case. So "TIPropertyName" takes "Link.TIPropertyName",
// "OKButton.Name" takes "OKButton.Name" but not "Font.Name"; "Items.Strings.3" is taken by
// "Strings" or "Items.Strings" only. Blank entries take nothing.
bool IsNonTextProperty(const std::string& property_key, const std::vector<std::string>& names);

// Walks the lines of a form text, marking strings ignored by `filters`. When `status` is set it
// gets "Processing <form_path> line <i>" on every tenth line and may repaint once per line. Raises
// an Error naming form_path when an "end" line closes nothing. Wide strings are converted to
// `code_page` (Windows-1252 when none is given).
std::vector<FormString> FindFormStrings(const std::vector<std::string>& lines,
                                        const FormStringFilters& filters,
                                        const std::string& form_path, Reporter* status,
                                        const CodePage* code_page = nullptr);
// The same over a whole form text, split into lines as read_text_lines does.
std::vector<FormString> FindFormTextStrings(std::string_view text, const FormStringFilters& filters,
                                            const std::string& form_path, Reporter* status,
                                            const CodePage* code_page = nullptr);

// Stores the strings of form texts in one language's forms table, each form under its row in
// the project's form files. The tables and the reporter belong to the caller.
class FormStringScanner {
  public:
    // `code_page`: the program's 8-bit code page, to which wide strings are converted.
    // `filters`: the project's unwanted strings and non-text properties, which give ignored rows.
    FormStringScanner(store::FormRows& strings, store::FormFiles& files, const CodePage& code_page,
                      FormStringFilters filters, Reporter& reporter);

    // Scans the text form of one form file (text_path) into the forms table, with the form
    // file's row in the form files found by form_path or appended. Strings met again are updated
    // when their text changed (ignoring case and surrounding blanks), new ones appended. A row of
    // a non-text property met again is made ignored when it has no translation yet (neither
    // marked translated nor holding a translation); a translated one is left to the user. The
    // whole text is walked before any row is written, so a text that breaks off leaves no rows
    // behind. Raises an Error when the text cannot be read or walked. Returns the number of
    // strings found; the reporter's status gets "<n> Strings found".
    int Scan(const std::string& text_path, const std::string& form_path);
    // The same with the text form in memory.
    int ScanText(std::string_view text, const std::string& form_path);
    // ScanText in its two steps: the strings of the text, found without touching a table (raises
    // an Error when the text cannot be walked), then their rows written. A failed write can be
    // taken back and the same strings stored again.
    std::vector<FormString> Find(std::string_view text, const std::string& form_path) const;
    int Store(const std::vector<FormString>& found, const std::string& form_path);

    const FormStringFilters& filters() const { return filters_; }

  private:
    store::FormRows& strings_;
    store::FormFiles& files_;
    CodePage code_page_;
    FormStringFilters filters_;
    Reporter& reporter_;
};

}  // namespace lexorin::forms
