#pragma once

// Turning on a switch of the lx_lang.inc that write-code puts into a project, as its comment
// tells the user: by removing the dot of the switch's {.$define ...} line.

#include <string>

namespace lexorin::corpus {

// Turns on `symbol` (e.g. "TranslatedStrings") in `project`/lx_lang.inc; throws when the file
// holds no {.$define symbol} line (in any letter case) to turn on.
void TurnOnGlueSwitch(const std::string& project, const std::string& symbol);

}  // namespace lexorin::corpus
