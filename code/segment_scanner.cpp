#include <optional>
#include <string>

#include "code/pascal_tokens.h"
#include "code/restored_literals.h"
#include "code/segment_rules.h"
#include "code/unit_scanner.h"

namespace lexorin::code {

std::string ResourceReferenceText(std::int64_t index) {
    return "''+s_" + std::to_string(index) + "+''";
}

bool UnitScanner::ScanSegment(UnitScanState& unit, std::string_view piece,
                              StringStore& strings) const {
    if (IsCommentLine(piece)) return false;
    if (progress_) {
        progress_->still_working();
        if (unit.line_index % 10 == 1) {
            unit.status_text.assign("Processing ").append(unit.path).append(" line ");
            unit.status_text += std::to_string(unit.line_index);
            progress_->status(unit.status_text);
        }
    }

    // Candidates are taken from the piece as it will be written: it differs from the line as
    // read only on the first uses line, by an inserted unit name that holds no apostrophe. Each
    // accepted literal is replaced where it stands, so a quoted text that happens to span two
    // other literals is never touched. Every token moves the context on, so that the unit's
    // syntax is followed across lines.
    std::string& rewritten = unit.rewritten_piece;
    rewritten.clear();
    bool replaced = false;
    size_t copied = 0;
    // The tests of the whole piece, made at its first literal: most pieces have none.
    std::optional<PieceTests> piece_tests;
    PascalToken token;
    for (size_t pos = 0; NextToken(piece, pos, token); unit.context.Feed(token, piece)) {
        if (token.kind != PascalToken::Kind::Literal || !token.terminated) continue;
        const std::string_view candidate =
            piece.substr(token.begin + 1, token.end - token.begin - 2);
        if (!piece_tests) piece_tests.emplace(options_, piece);
        const Verdict verdict = EvaluateCandidate(options_, candidate, *piece_tests);
        if (verdict == Verdict::Rejected) continue;
        // A program or library has no interface part: its statement part is code.
        if (options_.ignore_interface && !unit.implementation_seen && !unit.program_file) continue;
        LiteralContext where = unit.context.LiteralHere();
        if (where == LiteralContext::Expression && restored_->Contains(unit.path, candidate))
            where = LiteralContext::Restored;
        if (where != LiteralContext::Expression) {
            ++unit.left_alone[static_cast<size_t>(where)];
            continue;
        }

        FoundString found;
        found.unit_path = unit.path;
        found.original = std::string(candidate);
        found.ignore = verdict == Verdict::AcceptedIgnored;
        found.context = ContextText(unit.lines, unit.line_index, options_.context_lines,
                                    unit.piece_offset + token.begin);
        // The rewriter writes a marker line before every changed line.
        found.new_line = static_cast<int>(unit.output.size()) + 2;
        found.original_line = static_cast<int>(unit.line_index) + 1;
        found.spaces_at_end = SpacesAtEnd(candidate);
        std::int64_t index = strings.Add(found);

        rewritten.append(piece.substr(copied, token.begin - copied));
        rewritten += ResourceReferenceText(index);
        copied = token.end;
        replaced = true;
        ++unit.strings_found;
    }
    if (replaced) rewritten.append(piece.substr(copied));
    return replaced;
}

}  // namespace lexorin::code
