#pragma once

// The entries of a PO file as a test reads them back: texts unescaped, whatever their lines.

#include <string>
#include <vector>

namespace lexorin::corpus {

struct PoEntry {
    std::string context;  // msgctxt
    std::string msgid;
    std::string msgstr;
    std::string comments;  // the translator's comment lines ("# ..."), each ending in "\n"
    bool fuzzy = false;    // "#, fuzzy"
};

// The entries of `po` in their order, the header and obsolete entries ("#~") left out. Throws
// for a string that is not closed.
std::vector<PoEntry> ReadPoEntries(const std::string& po);

// Whether the entry's translator comments hold the line `mark` (as "# mark").
bool HasCommentLine(const PoEntry& entry, const std::string& mark);

}  // namespace lexorin::corpus
