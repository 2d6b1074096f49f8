#include "code/restore_lines.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "base/text_utils.h"
#include "code/marker_line.h"
#include "code/unit_scanner.h"

namespace lexorin::code {

namespace {

constexpr std::string_view kReferenceStart = "''+s_";
constexpr std::string_view kReferenceEnd = "+''";
constexpr std::string_view kGlueUses = "uses lx_lang, ";

// The marker the rewrite writes before a changed line: the line trimmed, less a final "}".
std::string MarkerFor(std::string_view line) {
    std::string text = trim(line);
    if (ends_with(text, "}")) text.pop_back();
    return std::string(kMarkerPrefix) + text;
}

// A reference ''+s_N+'' that starts at `at`: its N and the position right after it.
struct Reference {
    std::int64_t index = 0;
    size_t end = 0;
};

std::optional<Reference> ReferenceAt(std::string_view line, size_t at) {
    const size_t digits = at + kReferenceStart.size();
    size_t end = digits;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    if (end == digits || end - digits > 18 ||
        line.substr(end, kReferenceEnd.size()) != kReferenceEnd)
        return std::nullopt;
    std::int64_t index = 0;
    for (size_t i = digits; i < end; ++i) index = index * 10 + (line[i] - '0');
    return Reference{index, end + kReferenceEnd.size()};
}

// The line with each reference to a chosen row replaced by its literal, in one pass: a line
// may hold tens of thousands of references, and replacing them one row at a time would read
// (and move) the whole line once per row.
std::string GiveBackReferences(std::string_view line,
                               const std::unordered_map<std::int64_t, std::string_view>& chosen) {
    std::string result;
    result.reserve(line.size());
    size_t copied = 0;
    for (size_t at = line.find(kReferenceStart); at != std::string_view::npos;) {
        const std::optional<Reference> reference = ReferenceAt(line, at);
        const auto literal = reference ? chosen.find(reference->index) : chosen.end();
        if (literal == chosen.end()) {
            at = line.find(kReferenceStart, at + 1);
            continue;
        }
        result.append(line.substr(copied, at - copied));
        result.append(literal->second);
        copied = reference->end;
        at = line.find(kReferenceStart, copied);
    }
    result.append(line.substr(copied));
    return result;
}

std::vector<std::int64_t> CodeReferences(std::string_view line) {
    if (IsMarkerLine(line)) return {};
    return ReferencesIn(line);
}

// Marker lines record earlier states of their line, references included: they count as
// comments.
bool HasCodeReference(std::string_view line) {
    if (IsMarkerLine(line)) return false;
    for (size_t at = line.find(kReferenceStart); at != std::string_view::npos;
         at = line.find(kReferenceStart, at + 1))
        if (ReferenceAt(line, at)) return true;
    return false;
}

struct Line {
    std::string text;
    bool removed = false;
};

// The nearest line above `i` that is still there, or -1.
int LineAbove(const std::vector<Line>& lines, int i) {
    for (int j = i - 1; j >= 0; --j)
        if (!lines[static_cast<size_t>(j)].removed) return j;
    return -1;
}

// The marker lines that record a line's earlier states stand right above it (one per scan that
// changed it). All of them go when the line holds no reference any more; while it still holds
// some, only those that record the line exactly as it now reads.
void DropMarkers(std::vector<Line>& lines, int i) {
    const bool no_reference = !HasCodeReference(lines[static_cast<size_t>(i)].text);
    const std::string same = MarkerFor(lines[static_cast<size_t>(i)].text);
    for (int j = LineAbove(lines, i); j >= 0; j = LineAbove(lines, j)) {
        Line& above = lines[static_cast<size_t>(j)];
        if (!IsMarkerLine(above.text)) break;
        if (!no_reference && above.text != same) break;
        above.removed = true;
    }
}

// The first uses line as the rewrite left it gets its original back: the kept one when the
// line still reads as the rewrite made it from that, else the line without the glue unit.
bool RestoreUsesLine(std::vector<Line>& lines, const std::optional<JournalEntry>& journal) {
    if (journal && journal->uses_line.empty()) return false;  // the scan inserted nothing
    for (Line& line : lines) {
        if (line.removed || !starts_with(line.text, kGlueUses)) continue;
        if (journal && UsesLineWithGlueUnit(journal->uses_line) == line.text)
            line.text = journal->uses_line;
        else
            line.text = "uses " + line.text.substr(kGlueUses.size());
        return true;
    }
    return false;
}

// A unit without a uses clause got one on its implementation line (or program heading); the
// clause goes again once nothing refers to a resource string.
bool RemoveAddedUsesClause(std::vector<Line>& lines) {
    for (Line& line : lines) {
        if (line.removed || IsMarkerLine(line.text)) continue;
        const std::string upper = upper_case(trim(line.text));
        if (!starts_with(upper, "IMPLEMENTATION") && !starts_with(upper, "PROGRAM") &&
            !starts_with(upper, "LIBRARY"))
            continue;
        const size_t at = line.text.find(kAddedUsesClause);
        if (at == std::string::npos) continue;
        line.text.erase(at, kAddedUsesClause.size());
        return true;
    }
    return false;
}

bool RestoreFormDirective(std::vector<Line>& lines, const std::optional<JournalEntry>& journal) {
    if (journal && journal->form_line.empty()) return false;  // the unit had the block before
    std::vector<size_t> kept;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].removed) kept.push_back(i);
    for (size_t k = 0; k + kFormSwitchBlockLines <= kept.size(); ++k) {
        std::array<std::string_view, kFormSwitchBlockLines> block;
        for (size_t b = 0; b < kFormSwitchBlockLines; ++b) block[b] = lines[kept[k + b]].text;
        if (!IsFormSwitchBlock(block)) continue;
        // The block holds the directive as it was read, unless an older version wrote it.
        const std::string directive = journal ? journal->form_line : std::string(block[2]);
        lines[kept[k]].text = directive;
        for (size_t b = 1; b < kFormSwitchBlockLines; ++b) lines[kept[k + b]].removed = true;
        return true;
    }
    return false;
}

}  // namespace

std::vector<std::int64_t> ReferencesIn(std::string_view line) {
    std::vector<std::int64_t> found;
    for (size_t at = line.find(kReferenceStart); at != std::string_view::npos;
         at = line.find(kReferenceStart, at + 1))
        if (const std::optional<Reference> reference = ReferenceAt(line, at))
            found.push_back(reference->index);
    return found;
}

int RestoredUnit::Renumbered(int old_line) const {
    auto before = std::lower_bound(removed.begin(), removed.end(), old_line);
    int now = old_line - static_cast<int>(before - removed.begin());
    return std::max(now, 1);
}

RestoredUnit RestoreUnitLines(const std::vector<std::string>& source,
                              const std::vector<LiteralToRestore>& rows,
                              const std::optional<JournalEntry>& journal) {
    std::vector<Line> lines;
    lines.reserve(source.size());
    for (const auto& text : source) lines.push_back({text});

    // Where each reference stands; a line that moved since the scan is found all the same.
    std::map<std::int64_t, std::vector<int>> where;
    for (size_t i = 0; i < lines.size(); ++i)
        for (std::int64_t index : CodeReferences(lines[i].text))
            if (where[index].empty() || where[index].back() != static_cast<int>(i))
                where[index].push_back(static_cast<int>(i));

    RestoredUnit result;
    std::unordered_map<std::int64_t, std::string_view> chosen;  // literal by row
    std::vector<int> changed;
    std::map<std::int64_t, int> restored_at;  // zero-based line of each given-back literal
    for (const LiteralToRestore& row : rows) {
        auto found = where.find(row.index);
        if (found == where.end()) {
            result.missing.push_back(row.index);
            continue;
        }
        const std::vector<int>& at = found->second;
        // The line the scan recorded comes first, if it still holds the reference.
        int first = at.front();
        if (std::find(at.begin(), at.end(), row.new_line - 1) != at.end()) first = row.new_line - 1;
        changed.insert(changed.end(), at.begin(), at.end());
        chosen.emplace(row.index, row.literal);
        restored_at[row.index] = first;
        where.erase(found);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    for (int i : changed) {
        std::string& text = lines[static_cast<size_t>(i)].text;
        text = GiveBackReferences(text, chosen);
    }
    for (int i : changed) DropMarkers(lines, i);

    bool any_reference = false;
    for (const Line& line : lines)
        if (!line.removed && HasCodeReference(line.text)) {
            any_reference = true;
            break;
        }
    bool structure = false;
    if (!any_reference) {
        structure |= RestoreUsesLine(lines, journal) || RemoveAddedUsesClause(lines);
        structure |= RestoreFormDirective(lines, journal);
        result.whole = true;
    }
    result.changed = !changed.empty() || structure;

    // Number the lines as they will be written.
    std::vector<int> now(lines.size(), 0);
    int number = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].removed) {
            result.removed.push_back(static_cast<int>(i) + 1);
            continue;
        }
        now[i] = ++number;
        result.lines.push_back(std::move(lines[i].text));
    }
    for (const auto& [index, i] : restored_at) result.restored[index] = now[static_cast<size_t>(i)];
    for (const auto& [index, at] : where)
        result.references[index] = now[static_cast<size_t>(at.front())];
    return result;
}

}  // namespace lexorin::code
