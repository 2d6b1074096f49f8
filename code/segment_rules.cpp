#include "code/segment_rules.h"

#include <algorithm>

#include "app/text_utils.h"
#include "code/text_routines.h"

namespace lexorin::code {

bool IsCommentLine(std::string_view scan_text) {
    return starts_with(trim(scan_text), "//");
}

bool IsTooShort(std::string_view candidate, int min_length) {
    return static_cast<long long>(trim(candidate).size()) < min_length;
}

bool MentionsStdcall(std::string_view piece) {
    return ContainsNoCase(piece, "STDCALL");
}

bool CarriesNotransMarker(std::string_view piece) {
    return upper_case(piece).find("NOTRANS", 1) != std::string::npos;
}

bool OpensConstSection(std::string_view piece) {
    return starts_with(upper_case(trim(piece)), "CONST ");
}

bool RejectedByUnwantedStrings(std::string_view candidate, std::string_view piece,
                               const std::vector<std::string>& unwanted,
                               std::string_view unwanted_start) {
    if (candidate.empty()) return false;
    bool bad_start = unwanted_start.find(candidate.front()) != std::string_view::npos;
    return std::any_of(unwanted.begin(), unwanted.end(), [&](const std::string& entry) {
        return bad_start || ContainsNoCase(piece, entry);
    });
}

bool HasStartChar(std::string_view candidate, std::string_view start_chars) {
    return candidate.find_first_of(start_chars) != std::string_view::npos;
}

bool ContainsUnwantedWordPart(std::string_view candidate, const std::vector<std::string>& parts) {
    return std::any_of(parts.begin(), parts.end(),
                       [&](const std::string& part) { return ContainsNoCase(candidate, part); });
}

Verdict EvaluateCandidate(const PascalOptions& options, std::string_view candidate,
                          std::string_view piece) {
    if (IsTooShort(candidate, options.Pas_MinLength) || MentionsStdcall(piece) ||
        CarriesNotransMarker(piece) || OpensConstSection(piece) ||
        RejectedByUnwantedStrings(candidate, piece, options.Pas_UnwantedStrings,
                                  options.Pas_UnwantedStart) ||
        !HasStartChar(candidate, options.Pas_StartChars))
        return Verdict::Rejected;
    return ContainsUnwantedWordPart(candidate, options.Pas_UnwantedWordPart)
               ? Verdict::AcceptedIgnored
               : Verdict::Accepted;
}

int SpacesAtEnd(std::string_view candidate) {
    size_t end = candidate.find_last_not_of(' ');
    return static_cast<int>(end == std::string_view::npos ? candidate.size()
                                                          : candidate.size() - end - 1);
}

std::string ContextText(const std::vector<std::string>& lines, size_t index, int context_lines) {
    // Rounded toward zero, so a negative count gives the line alone.
    long long half = std::max(0, context_lines / 2);
    long long first = std::max(0LL, static_cast<long long>(index) - half);
    long long last =
        std::min(static_cast<long long>(lines.size()) - 1, static_cast<long long>(index) + half);
    std::string context;
    for (long long i = first; i <= last; ++i) {
        context += lines[static_cast<size_t>(i)];
        context += '\r';
    }
    return context;
}

}  // namespace lexorin::code
