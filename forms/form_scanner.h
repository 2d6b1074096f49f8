#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"

namespace lexorin::store {
class Table;
}

// The form scanner's walk without any table: which strings a form text holds and under which
// keys. TTranslator::ScanForm stores what it finds.
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

// The row of a form file in a units table (its order "Name" selected by this call): the first
// row with the file's name whose Directory equals form_path, searched onward to the table's end.
std::optional<std::int64_t> FindFormUnit(store::Table& units, const std::string& form_path);

}  // namespace lexorin::forms
