#include "code/segment_rules.h"

#include <algorithm>

#include "base/text_routines.h"
#include "base/text_utils.h"

namespace lexorin::code {

bool IsCommentLine(std::string_view scan_text) {
    return starts_with(trim_view(scan_text), "//");
}

bool IsTooShort(std::string_view candidate, int min_length) {
    return static_cast<long long>(trim_view(candidate).size()) < min_length;
}

bool MentionsStdcall(std::string_view piece) {
    return ContainsNoCase(piece, "STDCALL");
}

bool CarriesNotransMarker(std::string_view piece) {
    return FindNoCase(piece, "NOTRANS", 1) != std::string_view::npos;
}

bool OpensConstSection(std::string_view piece) {
    return starts_with_no_case(trim_view(piece), "CONST ");
}

bool HasStartChar(std::string_view candidate, std::string_view start_chars) {
    return candidate.find_first_of(start_chars) != std::string_view::npos;
}

bool ContainsUnwantedWordPart(std::string_view candidate, const std::vector<std::string>& parts) {
    return std::any_of(parts.begin(), parts.end(),
                       [&](const std::string& part) { return ContainsNoCase(candidate, part); });
}

PieceTests::PieceTests(const CodeScanOptions& options, std::string_view piece)
    : rejects_every_literal(MentionsStdcall(piece) || CarriesNotransMarker(piece) ||
                            OpensConstSection(piece)),
      holds_skipped_piece(
          std::any_of(options.skipped_pieces.begin(), options.skipped_pieces.end(),
                      [&](const std::string& entry) { return ContainsNoCase(piece, entry); })) {}

Verdict EvaluateCandidate(const CodeScanOptions& options, std::string_view candidate,
                          const PieceTests& piece) {
    // The start-character test is made only while the skipped pieces have an entry.
    const bool unwanted =
        !candidate.empty() && !options.skipped_pieces.empty() &&
        (options.rejected_starts.find(candidate.front()) != std::string_view::npos ||
         piece.holds_skipped_piece);
    if (IsTooShort(candidate, options.min_length) || piece.rejects_every_literal || unwanted ||
        !HasStartChar(candidate, options.required_chars))
        return Verdict::Rejected;
    return ContainsUnwantedWordPart(candidate, options.ignored_word_parts)
               ? Verdict::AcceptedIgnored
               : Verdict::Accepted;
}

int SpacesAtEnd(std::string_view candidate) {
    size_t end = candidate.find_last_not_of(' ');
    return static_cast<int>(end == std::string_view::npos ? candidate.size()
                                                          : candidate.size() - end - 1);
}

namespace {

// A line cut to the limit: around `column` (kept near the middle) or at its start.
std::string_view CutLine(std::string_view line, size_t column, bool around, bool& cut_before,
                         bool& cut_after) {
    cut_before = cut_after = false;
    if (line.size() <= kContextLineLimit) return line;
    size_t start = 0;
    if (around && column > kContextLineLimit / 2)
        start = std::min(column - kContextLineLimit / 2, line.size() - kContextLineLimit);
    cut_before = start > 0;
    cut_after = start + kContextLineLimit < line.size();
    return line.substr(start, kContextLineLimit);
}

}  // namespace

std::string ContextText(const std::vector<std::string>& lines, size_t index, int context_lines,
                        size_t column) {
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    return ContextText(std::span<const std::string_view>(views), index, context_lines, column);
}

std::string ContextText(std::span<const std::string_view> lines, size_t index, int context_lines,
                        size_t column) {
    // Rounded toward zero, so a negative count gives the line alone.
    long long half = std::max(0, context_lines / 2);
    long long first = std::max(0LL, static_cast<long long>(index) - half);
    long long last =
        std::min(static_cast<long long>(lines.size()) - 1, static_cast<long long>(index) + half);
    std::string context;
    for (long long i = first; i <= last; ++i) {
        bool cut_before = false, cut_after = false;
        const std::string_view line =
            CutLine(lines[static_cast<size_t>(i)], column, static_cast<size_t>(i) == index,
                    cut_before, cut_after);
        if (cut_before) context += "...";
        context += line;
        if (cut_after) context += "...";
        context += '\r';
    }
    return context;
}

}  // namespace lexorin::code
