#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/language_copies.h"
#include "store/table_store.h"

// The disk space a scan needs, checked before its first change. A scan that runs out of space
// on the way takes its last batch back and stops, so this check is no guarantee; it spares the
// user a scan that cannot end, and says how much room to make.
namespace lexorin::code {

// What a command will write, gathered by disk and checked against the free space there.
class DiskSpaceNeeds {
  public:
    // About `bytes` will be written under `folder` (which must exist) for `what` ("the
    // rewritten units"), estimated as `why` says (the margin and its reason, for the user).
    void Add(std::string folder, std::uintmax_t bytes, const std::string& what,
             const std::string& why = "");
    // Raises an Error for the first disk whose free space is short of what it needs:
    // "Not enough space on the disk of <folder>: <what> need about N KB[ and <what> about M KB]
    // (<why>[; <why>]), F KB are free. " + `nothing_changed`.
    void Require(const std::string& nothing_changed) const;

  private:
    struct Need {
        std::string folder;
        std::uintmax_t bytes = 0;
        std::string what;
        std::string why;
    };
    std::vector<Need> needs_;
};

// What the tables of every language need besides the new rows: the rows that `others` lack to
// be level with `scanned`, which a scan copies to them first, and the tables' journals.
void AddLanguageTableNeeds(DiskSpaceNeeds& needs, const std::string& program_directory,
                           store::Table& scanned, std::vector<store::LanguageTable>& others);

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
