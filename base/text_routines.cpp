#include "base/text_routines.h"

#include "base/text_utils.h"

namespace lexorin {

std::string ReplaceAllNoCase(std::string_view source, std::string_view find,
                             std::string_view replacement) {
    if (find.empty()) return std::string(source);
    const std::string upper_source = upper_case(source);
    const std::string upper_find = upper_case(find);
    std::string result;
    size_t from = 0;
    for (size_t hit = upper_source.find(upper_find); hit != std::string::npos;
         hit = upper_source.find(upper_find, from)) {
        result.append(source.substr(from, hit - from));
        result.append(replacement);
        from = hit + find.size();
    }
    result.append(source.substr(from));
    return result;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    return !part.empty() && upper_case(text).find(upper_case(part)) != std::string::npos;
}

std::string UnescapeApostrophes(std::string_view text) {
    return ReplaceAllNoCase(text, "'#39'", "'");
}

std::string EscapeApostrophes(std::string_view text) {
    return ReplaceAllNoCase(text, "'", "'#39'");
}

}  // namespace lexorin
