#pragma once

#include <cstdint>
#include <string>

// The rows of the four translation tables with named fields. Each struct lists its fields in
// the order of the table's schema (store/translation_tables.cpp), which is the order rows are
// stored in.
namespace lexorin::store {

// A literal of a unit: one row of a project's pascal table for one language.
struct PascalRow {
    std::int64_t index = 0;  // numbered by the store; the N of the unit's reference s_N
    std::string original;    // as it stood between its apostrophes
    std::string translation;
    std::int64_t unit = 0;  // the Index of the unit's row in the project's unit files
    bool translated = false;
    bool ignore = false;
    std::string context;             // source lines around the literal, each followed by a CR
    std::int64_t new_line = 0;       // one-based, in the rewritten unit
    std::int64_t original_line = 0;  // one-based, in the unit as it was read
    std::int64_t spaces_at_end = 0;
    bool changed = false;       // the code view filters on it; the scan leaves it false
    bool needs_review = false;  // a memory's fuzzy suggestion, not yet looked at
};

// A string of a form: one row of a project's forms table for one language.
struct FormRow {
    std::int64_t index = 0;
    std::string original;
    std::string translation;
    std::int64_t form = 0;  // the Index of the form file's row in the project's form files
    bool translated = false;
    bool ignore = false;
    std::string object;    // the component's path in the form, upper-cased
    std::string property;  // the property's name, with ".N" for an item of a string list
    bool changed = false;  // the original changed at the last scan
    std::int64_t spaces_at_end = 0;
    std::string context;  // why a string was left out, when it was
    bool needs_review = false;
};

// A scanned file: one row of a project's unit files or form files.
struct FileRow {
    std::int64_t index = 0;
    std::string name;  // the file name without folder
    std::string path;  // the full path
};

}  // namespace lexorin::store
