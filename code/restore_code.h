#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/reporter.h"
#include "code/restore_journal.h"
#include "project/language_list.h"
#include "store/string_tables.h"

// Giving literals back to the code: the way back from a code scan, for some rows, some units or
// the whole project. Restored rows stay in every language's pascal table with Ignore set and
// NewLine 0, so that a later scan leaves their literals alone.
namespace lexorin::code {

// The tables of a project's code strings, open: what giving literals back reads and writes.
struct ProjectCodeTables {
    // Opens the tables of `project` in `folder` for every language of `languages`. Raises an
    // Error when the list is empty ("You have to add a language first.") or a table is missing.
    ProjectCodeTables(const store::TableFolder& folder, const std::string& project,
                      const LanguageList& languages);

    // The language worked on: the selected one, else the first.
    store::PascalRows& selected() { return *pascal.at(selected_index); }

    RestoreJournal journal;
    std::vector<std::unique_ptr<store::PascalRows>> pascal;  // every language's, in list order
    size_t selected_index = 0;
    store::UnitFiles units;
};

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

// Gives back the chosen literals of the project's units: the literals are read from the
// selected language's table, the rows marked in every language's, the units found in the unit
// files and the restore journal. A unit that cannot be read or written is reported and left as
// it was, with its rows. A selection that names no scanned unit or row raises an Error before
// anything changes.
RestoreReport RestoreCode(ProjectCodeTables& tables, const RestoreSelection& selection,
                          Reporter& reporter);

}  // namespace lexorin::code
