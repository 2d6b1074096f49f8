#pragma once

#include <string>
#include <vector>

namespace lexorin::code {

// What the code scan takes and leaves, after the project record's code options (Cminlength,
// Ceditchars, Cstartignore, Cunwantedstrings, Cunwantedwordparts, Ccontextlines,
// Cignoreinterface, in this order). segment_rules.h applies them.
struct CodeScanOptions {
    int min_length = 2;          // the shortest literal taken, measured after trimming
    std::string required_chars;  // a literal is taken only when it holds one of these
    // A literal starting with one of these is left; tested only while skipped_pieces has an
    // entry.
    std::string rejected_starts;
    std::vector<std::string> skipped_pieces;      // no literal of a piece holding one is taken
    std::vector<std::string> ignored_word_parts;  // a literal holding one is stored as ignored
    int context_lines = 5;         // the source lines around a literal kept as its context
    bool ignore_interface = true;  // literals before the implementation part are left
};

}  // namespace lexorin::code
