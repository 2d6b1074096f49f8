#include "base/text_routines.h"

#include "base/text_utils.h"

namespace lexorin {

size_t FindNoCase(std::string_view text, std::string_view part, size_t from) {
    if (from > text.size() || part.size() > text.size() - from) return std::string_view::npos;
    if (part.empty()) return from;
    // Candidates by the first character in either case, then the rest compared in place.
    const char first = upper_char(part.front());
    const std::string_view rest = part.substr(1);
    const size_t last = text.size() - part.size();
    for (size_t at = from; at <= last; ++at) {
        if (upper_char(text[at]) != first) continue;
        size_t i = 0;
        while (i < rest.size() && upper_char(text[at + 1 + i]) == upper_char(rest[i])) ++i;
        if (i == rest.size()) return at;
    }
    return std::string_view::npos;
}

std::string ReplaceAllNoCase(std::string_view source, std::string_view find,
                             std::string_view replacement) {
    if (find.empty()) return std::string(source);
    std::string result;
    size_t from = 0;
    for (size_t hit = FindNoCase(source, find); hit != std::string::npos;
         hit = FindNoCase(source, find, from)) {
        result.append(source.substr(from, hit - from));
        result.append(replacement);
        from = hit + find.size();
    }
    result.append(source.substr(from));
    return result;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    return !part.empty() && FindNoCase(text, part) != std::string_view::npos;
}

std::string UnescapeApostrophes(std::string_view text) {
    return ReplaceAllNoCase(text, "'#39'", "'");
}

std::string EscapeApostrophes(std::string_view text) {
    return ReplaceAllNoCase(text, "'", "'#39'");
}

}  // namespace lexorin
