#pragma once

#include <cstdint>
#include <string>
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

struct RestoredRow {
    std::int64_t index = 0;
    std::string unit;  // full path
    int line = 0;      // one-based, in the unit as written back
    std::string text;  // that line
};

struct RestoreReport {
    std::vector<RestoredRow> rows;
    // Units that refer to no string any more and have their uses line and form directive back.
    std::vector<std::string> whole_units;
    // Units left as they were, with the reason.
    std::vector<std::pair<std::string, std::string>> failed;
    // Chosen rows that no line of their unit refers to (rows given back before are not listed).
    std::vector<std::int64_t> without_reference;
};

// Gives back the chosen literals of the project's units. The language tables are reached by
// name through `daten`'s session and program directory; `languages` names every language (the
// selected one, else the first, is read). A unit that cannot be read or written is reported
// and left as it was, with its rows. A selection that names no scanned unit or row raises an
// Error before anything changes.
RestoreReport RestoreCode(store::TDaten& daten, const std::string& project,
                          const LanguageList& languages, const RestoreSelection& selection,
                          Reporter& reporter);

}  // namespace lexorin::code
