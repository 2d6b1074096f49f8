#pragma once

#include "base/code_page.h"

namespace lexorin::store {
class Table;
}

namespace lexorin::project {

// The code page of the project on the current row, in which its tables keep their text: the one
// its field Ccodepage names, or `program_code_page` when the field is empty (or the table has
// none). Raises Error "The project <name> names the code page <page>, which is unknown." for a
// name that is no code page.
CodePage ProjectCodePage(const store::Table& projects, const CodePage& program_code_page);

// Raises Error "Unknown code page <name>." unless `name` is empty (the program's code page) or
// names a code page.
void CheckCodePageName(const std::string& name);

}  // namespace lexorin::project
