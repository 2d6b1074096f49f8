#pragma once

#include <string>

namespace lexorin {

// Makes a program directory usable: the four template tables and the two glue files that are
// missing from it are copied from `seed_directory` (the directory of the built executables), the
// templates created empty when the seed has none. Files already there are left alone.
void prepare_program_directory(const std::string& directory, const std::string& seed_directory);

}  // namespace lexorin
