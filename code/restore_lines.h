#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "code/restore_journal.h"

// Giving a rewritten unit back, on its lines alone: each reference ''+s_N+'' of a chosen row
// becomes its literal again, marker lines go with the last reference of their line, and a unit
// that refers to no string any more gets its uses line and form directive back.
namespace lexorin::code {

// A row whose literal goes back into the code.
struct LiteralToRestore {
    std::int64_t index = 0;  // the N of s_N
    std::string literal;     // with its apostrophes: "'" + OriginalString + blanks + "'"
    int new_line = 0;        // where the scan put the reference (one-based); 0 = unknown
};

struct RestoredUnit {
    std::vector<std::string> lines;  // the unit as it is to be written
    bool changed = false;
    // No line refers to a string any more; the structural lines were given back.
    bool whole = false;
    // The rows given back and the one-based line (in `lines`) that holds each literal now.
    std::map<std::int64_t, int> restored;
    // Rows of the request that no line refers to.
    std::vector<std::int64_t> missing;
    // For every reference still in the unit, the one-based line that holds it.
    std::map<std::int64_t, int> references;
    // One-based numbers of the lines of the unit as read that were dropped (markers, the tail
    // of the form switch block), ascending.
    std::vector<int> removed;

    // The number that a line of the unit as read has now (for a dropped line, the number of
    // the line that took its place).
    int Renumbered(int old_line) const;
};

// Every reference ''+s_N+'' in a line, in order.
std::vector<std::int64_t> ReferencesIn(std::string_view line);

// `journal` is the unit's entry (none: a unit rewritten before entries were kept, whose uses
// line and form directive are rebuilt by the inverse of the rewrite).
RestoredUnit RestoreUnitLines(const std::vector<std::string>& lines,
                              const std::vector<LiteralToRestore>& rows,
                              const std::optional<JournalEntry>& journal);

}  // namespace lexorin::code
