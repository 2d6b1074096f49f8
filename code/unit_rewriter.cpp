#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_routines.h"
#include "base/text_utils.h"
#include "code/form_directive.h"
#include "code/marker_line.h"
#include "code/unit_scanner.h"

namespace lexorin::code {

namespace {

bool IsIdentifierChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Whether the trimmed line begins with the (upper-case) keyword as a whole word, in any letter
// case, so that an identifier such as UsesCount is not taken for the uses clause.
bool StartsWithKeyword(std::string_view trimmed, std::string_view keyword) {
    return starts_with_no_case(trimmed, keyword) &&
           (trimmed.size() == keyword.size() || !IsIdentifierChar(trimmed[keyword.size()]));
}

// Whether a uses line already names the glue unit, in any letter case.
bool NamesGlueUnit(std::string_view line) {
    constexpr std::string_view kGlueUnit = "LX_LANG";
    for (size_t at = FindNoCase(line, kGlueUnit); at != std::string_view::npos;
         at = FindNoCase(line, kGlueUnit, at + 1)) {
        bool starts = at == 0 || !IsIdentifierChar(line[at - 1]);
        bool ends =
            at + kGlueUnit.size() == line.size() || !IsIdentifierChar(line[at + kGlueUnit.size()]);
        if (starts && ends) return true;
    }
    return false;
}

// Whether a unit refers to a resource string: it had literals replaced now or by an earlier
// scan, whose marker lines stay above the changed lines.
bool RefersToStrings(const UnitScanState& unit) {
    const auto& lines = unit.output.lines();
    return unit.strings_found > 0 || std::any_of(lines.begin(), lines.end(), IsMarkerLine);
}

void EraseAll(std::string& text, std::string_view token) {
    for (size_t at = text.find(token); at != std::string::npos; at = text.find(token))
        text.erase(at, token.size());
}

// The marker line records the line as it was. It stands before the changed line, so when that
// line began inside a comment the marker lies in the same comment and must not close it.
std::string MarkerLine(std::string_view before, CommentState state_at_start) {
    std::string text = trim(before);
    if (ends_with(text, "}")) text.pop_back();
    if (state_at_start == CommentState::Brace) EraseAll(text, "}");
    if (state_at_start == CommentState::Paren) EraseAll(text, "*)");
    return std::string(kMarkerPrefix) + text;
}

}  // namespace

// A unit without any uses clause still needs the glue unit once it refers to resource strings:
// the clause goes right after the implementation keyword (or after a program heading's
// semicolon) on the same line, so that no line number moves.
static void AddUsesClause(UnitScanState& unit) {
    if (unit.uses_seen || !unit.uses_anchor || !RefersToStrings(unit)) return;
    std::string line(unit.output[*unit.uses_anchor]);
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos) return;
    if (StartsWithKeyword(std::string_view(line).substr(at), "IMPLEMENTATION")) {
        at += 14;
    } else {
        at = line.find(';');
        if (at == std::string::npos) return;
        ++at;
    }
    line.insert(at, kAddedUsesClause);
    unit.output.Replace(*unit.uses_anchor, std::move(line));
}

std::string UsesLineWithGlueUnit(std::string_view line) {
    size_t word = 0;
    while (word < line.size() && static_cast<unsigned char>(line[word]) <= 32) ++word;
    std::string_view rest = line.substr(std::min(line.size(), word + 4));
    if (!rest.empty() && static_cast<unsigned char>(rest.front()) <= 32) rest.remove_prefix(1);
    return "uses lx_lang, " + std::string(rest);
}

namespace {

constexpr std::string_view kIncludeSwitches = "{$i lx_lang.inc}";
constexpr std::string_view kUnlessTranslated = "{$ifndef TranslatedForm}";
constexpr std::string_view kElse = "{$else}";
constexpr std::string_view kEndIf = "{$endif}";
// What the switch block of earlier versions linked.
constexpr std::string_view kOlderFormLine = "{$R *.DFM}";
constexpr std::string_view kOlderTranslatedLine = "{$R *.TRA}";

}  // namespace

std::vector<std::string> FormSwitchBlock(const std::string& directive_line) {
    const std::optional<FormDirective> directive = ParseFormDirective(directive_line);
    const std::string translated =
        TranslatedFormDirective(directive.value_or(FormDirective{"*.dfm"}));
    return {std::string(kIncludeSwitches),
            std::string(kUnlessTranslated),
            directive_line,
            std::string(kElse),
            translated,
            std::string(kEndIf)};
}

bool IsFormSwitchBlock(const std::array<std::string_view, kFormSwitchBlockLines>& lines) {
    if (lines[0] != kIncludeSwitches || lines[1] != kUnlessTranslated || lines[3] != kElse ||
        lines[5] != kEndIf)
        return false;
    if (lines[2] == kOlderFormLine && lines[4] == kOlderTranslatedLine) return true;
    const std::optional<FormDirective> directive = ParseFormDirective(lines[2]);
    return directive && lines[4] == TranslatedFormDirective(*directive);
}

namespace {

// The form directive an older switch block stands for: the one the journal kept, else the one
// that names the form file beside the unit.
std::string OriginalFormDirective(const std::string& unit_path,
                                  const std::optional<JournalEntry>& kept) {
    if (kept && !kept->form_line.empty()) return kept->form_line;
    // No line was kept: the form file beside the unit tells how it is spelt on disk.
    namespace fs = std::filesystem;
    const fs::path unit(unit_path);
    const std::string stem = unit.stem().string();
    std::error_code error;
    for (fs::directory_iterator
             it(unit.parent_path().empty() ? fs::path(".") : unit.parent_path(), error),
         end;
         !error && it != end; it.increment(error)) {
        const fs::path name = it->path().filename();
        if (!equal_no_case(name.stem().string(), stem) ||
            !equal_no_case(name.extension().string(), ".dfm"))
            continue;
        if (name.stem().string() == stem) return "{$R *" + name.extension().string() + "}";
        return "{$R " + name.string() + "}";
    }
    return std::string(kOlderFormLine);
}

// The older switch block linked {$R *.DFM} and {$R *.TRA}, names that do not exist where file
// names have a case and that Free Pascal cannot link: it gets the directive the unit had and the
// translated form's resource file.
bool MendOlderFormSwitchBlocks(UnitScanState& unit, const std::optional<JournalEntry>& kept) {
    bool mended = false;
    RewrittenLines& out = unit.output;
    for (size_t k = 0; k + kFormSwitchBlockLines <= out.size(); ++k) {
        if (out[k + 2] != kOlderFormLine || out[k + 4] != kOlderTranslatedLine ||
            !IsFormSwitchBlock(
                {out[k], out[k + 1], out[k + 2], out[k + 3], out[k + 4], out[k + 5]}))
            continue;
        const std::string directive = OriginalFormDirective(unit.path, kept);
        std::vector<std::string> block = FormSwitchBlock(directive);
        for (size_t i = 0; i < block.size(); ++i) out.Replace(k + i, std::move(block[i]));
        k += kFormSwitchBlockLines - 1;
        mended = true;
    }
    return mended;
}

}  // namespace

std::string ReadUnitText(const std::string& path) {
    std::string text = read_file(path);
    if (text.find('\0') != std::string::npos)
        throw Error("Cannot scan " + path +
                    ": the file holds NUL bytes, so it is not a Pascal unit");
    return text;
}

UnitScanner::UnitScanner(CodeScanOptions options, const RestoredLiterals& restored,
                         Reporter* progress)
    : options_(std::move(options)), restored_(&restored), progress_(progress) {}

bool RewrittenLines::SameAs(std::span<const std::string_view> given) const {
    return std::equal(lines_.begin(), lines_.end(), given.begin(), given.end());
}

std::vector<std::string> RewrittenLines::Texts() const {
    return {lines_.begin(), lines_.end()};
}

UnitRewrite UnitScanner::RewriteUnit(const std::string& path, std::vector<std::string> lines,
                                     StringStore& strings,
                                     const std::optional<JournalEntry>& kept) const {
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    RewrittenUnit rewrite = RewriteLines(path, views, strings, kept);
    return {rewrite.lines.Texts(), rewrite.strings_found, std::move(rewrite.original_uses_line),
            std::move(rewrite.original_form_line), rewrite.left_alone};
}

RewrittenUnit UnitScanner::RewriteLines(const std::string& path,
                                        std::span<const std::string_view> lines,
                                        StringStore& strings,
                                        const std::optional<JournalEntry>& kept) const {
    UnitScanState unit;
    unit.path = path;
    unit.lines = lines;
    unit.output.Reserve(lines.size() + lines.size() / 4);
    for (unit.line_index = 0; unit.line_index < lines.size(); ++unit.line_index)
        RewriteLine(unit, strings);
    // The glue unit only where something refers to it: a unit without strings keeps its uses.
    if (unit.uses_output && !RefersToStrings(unit)) {
        unit.output.Replace(*unit.uses_output, *unit.original_uses_line);
        unit.original_uses_line.reset();
    }
    AddUsesClause(unit);
    const bool mended = MendOlderFormSwitchBlocks(unit, kept);
    return {std::move(unit.output),
            unit.strings_found,
            std::move(unit.original_uses_line),
            std::move(unit.original_form_line),
            unit.left_alone,
            mended};
}

// The tests of a line are made on views of it: most lines are left as they are, and a copy of
// each would cost more than the whole scan of it.
void UnitScanner::RewriteLine(UnitScanState& unit, StringStore& strings) const {
    const std::string_view line = unit.lines[unit.line_index];

    if (line.find("$ifndef TranslatedForm}") != std::string_view::npos) unit.converted = true;
    const std::string_view trimmed = trim_view(line);
    // The directive stays as the user wrote it, inside the block.
    const bool form_directive = !unit.converted && ParseFormDirective(line).has_value();
    if (form_directive) {
        for (std::string& block_line : FormSwitchBlock(std::string(line)))
            unit.output.Add(std::move(block_line));
        if (!unit.original_form_line) unit.original_form_line = std::string(line);
    }

    // The keywords count only on code lines: a comment that begins with the word uses or
    // implementation is neither the uses clause nor the implementation part.
    const bool code_line = unit.comment == CommentState::None && !starts_with(trimmed, "//");
    // The line as it will be written: the first uses line gets the glue unit.
    std::string_view before = line;
    std::string uses_line;
    if (!unit.uses_seen && code_line && StartsWithKeyword(trimmed, "USES")) {
        unit.uses_seen = true;
        if (!NamesGlueUnit(line)) {
            uses_line = UsesLineWithGlueUnit(line);
            before = uses_line;
            unit.original_uses_line = std::string(line);
            unit.uses_output = unit.output.size();  // unless a marker line comes first
        }
    }
    bool anchor = false;
    if (!unit.implementation_seen && code_line && StartsWithKeyword(trimmed, "IMPLEMENTATION")) {
        unit.implementation_seen = true;
        anchor = true;
    }
    if (!unit.uses_anchor && !unit.implementation_seen && code_line &&
        (StartsWithKeyword(trimmed, "PROGRAM") || StartsWithKeyword(trimmed, "LIBRARY"))) {
        anchor = true;
        unit.program_file = true;
    }

    const CommentState state_at_start = unit.comment;
    const std::string_view rewritten =
        RewriteComments(unit, before, strings) ? std::string_view(unit.rewritten_line) : before;
    if (rewritten != before) {
        unit.output.Add(MarkerLine(before, state_at_start));
        if (unit.uses_output && *unit.uses_output == unit.output.size() - 1) ++*unit.uses_output;
    }
    if (!form_directive) {
        if (rewritten == line)
            unit.output.Keep(line);
        else
            unit.output.Add(std::string(rewritten));
        if (anchor) {
            unit.uses_anchor = unit.output.size() - 1;
            // A clause added by an earlier scan.
            if (NamesGlueUnit(line)) unit.uses_seen = true;
        }
    }
}

bool UnitScanner::RewriteComments(UnitScanState& unit, std::string_view line,
                                  StringStore& strings) const {
    SplitLineInto(line, unit.comment, unit.parts);
    std::string& out = unit.rewritten_line;
    bool changed = false;
    size_t copied = 0;  // the bytes of the line before this are in `out`
    for (const LinePart& part : unit.parts) {
        if (part.kind == LinePart::Kind::Comment) continue;
        unit.piece_offset = part.begin;
        if (!ScanSegment(unit, line.substr(part.begin, part.end - part.begin), strings)) continue;
        if (!changed) out.clear();
        changed = true;
        out.append(line.substr(copied, part.begin - copied));
        out += unit.rewritten_piece;
        copied = part.end;
    }
    if (changed) out.append(line.substr(copied));
    return changed;
}

}  // namespace lexorin::code
