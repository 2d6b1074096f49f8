#pragma once

#include <string>

namespace lexorin {

// The program directory holds the translation tables, their templates, the glue files and the
// backup archives. It is the directory of the running executable unless LEXORIN_HOME names
// another. Returned with a trailing "/".
std::string executable_directory();
std::string program_directory();
// A home given on a command line wins over LEXORIN_HOME.
std::string program_directory(const std::string& home_override);

}  // namespace lexorin
