#pragma once

#include <string>
#include <vector>

namespace lexorin::code {

// The options of the code scan; the scan dialog fills them from the project record.
struct PascalOptions {
    int Pas_MinLength = 2;          // shortest accepted literal, measured after trimming
    std::string Pas_StartChars;     // a literal needs at least one of these characters
    std::string Pas_UnwantedStart;  // a literal starting with one of these is rejected (see rules)
    std::vector<std::string> Pas_UnwantedStrings;   // a piece holding one of these is skipped
    std::vector<std::string> Pas_UnwantedWordPart;  // a literal holding one is stored as ignored
    int Pas_ContextLines = 5;         // source lines around a literal kept as its context
    bool Pas_IgnoreInterface = true;  // literals before the implementation part are skipped
};

}  // namespace lexorin::code
