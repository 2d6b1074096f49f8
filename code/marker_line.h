#pragma once

#include <string_view>

// The rewrite of a unit writes a marker line before every line it changes, holding the line as
// it was behind this prefix. The scan, the restore and the compiler check know the rewritten
// lines by it, so it is written in one place.
namespace lexorin::code {

inline constexpr std::string_view kMarkerPrefix = "//TL:";

inline bool IsMarkerLine(std::string_view line) {
    return line.substr(0, kMarkerPrefix.size()) == kMarkerPrefix;
}

}  // namespace lexorin::code
