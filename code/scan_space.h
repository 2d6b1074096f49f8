#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/disk_space.h"
#include "store/language_copies.h"
#include "store/scan_table_space.h"
#include "store/table_store.h"

// The disk space a scan needs, checked before its first change. A scan that runs out of space
// on the way takes its last batch back and stops, so this check is no guarantee; it spares the
// user a scan that cannot end, and says how much room to make.
namespace lexorin::code {

// DiskSpaceNeeds (base/disk_space.h) gathers the needs; store::AddLanguageTableNeeds
// (store/scan_table_space.h) adds those of the tables of every language.

// The literals of `unit_text` still to be taken: those outside comment lines, marker lines and
// rewritten references (an upper bound: the scan's rules leave some alone), their bytes, and
// the bytes of the lines that hold them.
struct NewLiterals {
    std::uintmax_t literals = 0;
    std::uintmax_t literal_bytes = 0;
    std::uintmax_t line_bytes = 0;
};
NewLiterals CountNewLiterals(const std::string& unit_text);

// The bytes the new rows of `unit_text` take in one language's pascal table, estimated from its
// literals still to be taken (see scan_space.cpp); 0 for a unit already rewritten. The second
// form takes the literals already counted.
std::uintmax_t EstimatedRowBytes(const std::string& unit_text, int context_lines);
std::uintmax_t EstimatedRowBytes(const std::string& unit_text, const NewLiterals& found,
                                 int context_lines);

// Before a code scan: the rows of every language in the program directory, the rows that
// `others` lack to be level with `scanned`, and the rewritten units beside the originals.
void RequireSpaceForCodeScan(const std::vector<std::string>& units,
                             const std::string& program_directory, size_t languages,
                             int context_lines, store::Table& scanned,
                             std::vector<store::LanguageTable>& others);

}  // namespace lexorin::code
