#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// The placeholders of the run-time library's Format function:
//   "%" [index ":"] ["-"] [width] ["." precision] type
// with index, width and precision decimal or "*" (taken from the arguments), type one of
// d u x (integer), e f g n m (floating point), s (text), p (pointer), in either case; "%%" is a
// percent sign. A placeholder without index takes the argument after the previous one. Format
// raises an exception at run time for a malformed placeholder or an argument of the wrong kind.
namespace lexorin::project {

struct FormatSignature {
    bool valid = true;                      // every "%" starts a well-formed placeholder
    std::string bad_placeholder;            // the first malformed one, when not valid
    bool has_percent = false;               // the text holds a "%" at all
    bool dynamic_index = false;             // an index "*": the argument is chosen at run time
    std::vector<std::string> placeholders;  // as written, "%%" left out
    // The kind of each argument used: 'i' integer, 'f' floating point, 's' text, 'p' pointer.
    std::map<int, char> arguments;
};

FormatSignature ParseFormat(std::string_view text);

}  // namespace lexorin::project
