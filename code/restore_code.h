#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/reporter.h"
#include "project/language_list.h"
#include "store/translation_tables.h"

// Giving literals back to the code: the way back from a code scan, for some rows, some units or
// the whole project. Restored rows stay in every language's pascal table with Ignore set and
// NewLine 0, so that a later scan leaves their literals alone.
namespace lexorin::code {

// What to give back: units by full path or file name, and rows by Index. Both empty means every
// unit of the project's file list and every unit the restore journal knows.
struct RestoreSelection {
    std::vector<std::string> units;
    std::vector<std::int64_t> indexes;
    bool everything() const { return units.empty() && indexes.empty(); }
};

// A report lists this many changed lines of each unit and counts the others, and shows a line's
// text up to this many bytes: a generated unit may hold tens of thousands of literals on one
// line of a megabyte.
inline constexpr std::size_t kListedLinesPerUnit = 20;
inline constexpr std::size_t kExcerptLength = 160;

struct RestoredRow {
    std::int64_t index = 0;
    std::string unit;  // full path
    int line = 0;      // one-based, in the unit as written back
    std::string text;  // that line, cut as RestoredLine::text is
};

// A line that got literals back, as it reads now.
struct RestoredLine {
    int line = 0;                       // one-based, in the unit as written back
    std::vector<std::int64_t> indexes;  // the rows given back on it, ascending
    std::string text;                   // cut as LineExcerpt cuts it
};

// The changed lines of one unit, for a report: the first kListedLinesPerUnit and a count of
// the others.
struct RestoredUnitListing {
    std::string unit;  // full path
    std::vector<RestoredLine> lines;
    std::size_t unlisted_lines = 0;
    std::size_t unlisted_rows = 0;
};

struct RestoreReport {
    std::vector<RestoredRow> rows;  // every row given back
    // Each unit that got literals back, in the order worked on.
    std::vector<RestoredUnitListing> units;
    // Units that refer to no string any more and have their uses line and form directive back.
    std::vector<std::string> whole_units;
    // Units left as they were, with the reason.
    std::vector<std::pair<std::string, std::string>> failed;
    // Chosen rows that no line of their unit refers to (rows given back before are not listed).
    std::vector<std::int64_t> without_reference;
};

// A line's text as a report shows it: up to kExcerptLength bytes, then "..." if cut.
std::string LineExcerpt(std::string_view line);

// Gives back the chosen literals of the project's units. The language tables are reached by
// name through `daten`'s session and program directory; `languages` names every language (the
// selected one, else the first, is read). A unit that cannot be read or written is reported
// and left as it was, with its rows. A selection that names no scanned unit or row raises an
// Error before anything changes.
RestoreReport RestoreCode(store::TDaten& daten, const std::string& project,
                          const LanguageList& languages, const RestoreSelection& selection,
                          Reporter& reporter);

}  // namespace lexorin::code
