#pragma once

#include <cstdint>
#include <string>
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
    bool ignore = false;    // the line holds one of the unwanted strings, or characters the
                            // code page cannot hold
    std::string note;       // why a string is ignored for its characters
    int spaces_at_end = 0;  // blanks at the end of `original`
    std::size_t line = 0;   // zero-based number of the line that holds it
};

// Walks the lines of a form text. `unwanted` entries are looked for in each line without regard
// to case. When `status` is set it gets "Processing <form_path> line <i>" on every tenth line
// and may repaint once per line. Raises an Error naming form_path when an "end" line closes
// nothing. Wide strings are converted to `code_page` (Windows-1252 when none is given).
std::vector<FormString> FindFormStrings(const std::vector<std::string>& lines,
                                        const std::vector<std::string>& unwanted,
                                        const std::string& form_path, Reporter* status,
                                        const CodePage* code_page = nullptr);

// Stores the strings of form texts in one language's forms table, each form under its row in
// the project's form files. The tables and the reporter belong to the caller.
class FormStringScanner {
  public:
    // `code_page`: the program's 8-bit code page, to which wide strings are converted.
    // `unwanted`: the project's unwanted strings; a line holding one gives an ignored row.
    FormStringScanner(store::FormRows& strings, store::FormFiles& files, const CodePage& code_page,
                      std::vector<std::string> unwanted, Reporter& reporter);

    // Scans the text form of one form file (text_path) into the forms table, with the form
    // file's row in the form files found by form_path or appended. Strings met again are updated
    // when their text changed (ignoring case and surrounding blanks), new ones appended. The
    // whole text is walked before any row is written, so a text that breaks off leaves no rows
    // behind. Raises an Error when the text cannot be read or walked. Returns the number of
    // strings found; the reporter's status gets "<n> Strings found".
    int Scan(const std::string& text_path, const std::string& form_path);

  private:
    store::FormRows& strings_;
    store::FormFiles& files_;
    CodePage code_page_;
    std::vector<std::string> unwanted_;
    Reporter& reporter_;
};

}  // namespace lexorin::forms
