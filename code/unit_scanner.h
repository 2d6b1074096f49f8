#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/reporter.h"
#include "code/code_scan_options.h"
#include "code/comment_split.h"
#include "code/pascal_context.h"
#include "code/restore_journal.h"
#include "code/restored_literals.h"
#include "code/string_store.h"

// The rewriting of one unit, on its lines alone: every literal the scan takes is handed to a
// StringStore and replaced by a reference to the resource string it becomes, each changed line
// after a marker line holding it as it was; the glue unit joins the uses clause and a form
// resource directive becomes the switch block between the form and the translated form. No file
// or table is touched here: UnitBatch (unit_batch.h) reads the units, keeps their rows and puts
// the new texts in place.
namespace lexorin::code {

// A unit's lines after the rewrite, as views: a line kept as it was points into the lines the
// rewrite was given, a new or changed one into the texts kept here (a deque never moves its
// elements, so the views stay valid as it grows, and when it is moved). Most lines stay as they
// were, and so cost no copy. Valid as long as the given lines are.
class RewrittenLines {
  public:
    RewrittenLines() = default;
    RewrittenLines(RewrittenLines&&) = default;
    RewrittenLines& operator=(RewrittenLines&&) = default;
    RewrittenLines(const RewrittenLines&) = delete;
    RewrittenLines& operator=(const RewrittenLines&) = delete;

    void Keep(std::string_view given_line) { lines_.push_back(given_line); }
    void Add(std::string text) { lines_.push_back(made_.emplace_back(std::move(text))); }
    void Replace(size_t i, std::string text) { lines_[i] = made_.emplace_back(std::move(text)); }
    void Reserve(size_t lines) { lines_.reserve(lines); }

    size_t size() const { return lines_.size(); }
    std::string_view operator[](size_t i) const { return lines_[i]; }
    const std::vector<std::string_view>& lines() const { return lines_; }
    // Whether the rewrite left every line as given.
    bool SameAs(std::span<const std::string_view> given) const;
    // Copies of the lines.
    std::vector<std::string> Texts() const;

  private:
    std::vector<std::string_view> lines_;
    std::deque<std::string> made_;
};

// The state of one unit while RewriteUnit works through it; ScanSegment reads and updates it.
struct UnitScanState {
    std::string path;                         // the unit's full path
    std::span<const std::string_view> lines;  // the unit as read
    size_t line_index = 0;                    // zero-based
    size_t piece_offset = 0;                  // where the piece at hand starts in its line
    RewrittenLines output;                    // the rewritten unit so far
    bool converted = false;                   // the unit already carries the form switch block
    bool uses_seen = false;
    bool implementation_seen = false;
    // A program or library: its statement part is code, and it has no interface part.
    bool program_file = false;
    std::optional<size_t> uses_output;  // the output line of the first uses line, when changed
    // The output line that holds the implementation keyword, or a program's heading: where a
    // uses clause goes when the unit has none.
    std::optional<size_t> uses_anchor;
    CommentState comment = CommentState::None;
    PascalContext context;       // where in the unit's syntax the scan stands
    ContextCounts left_alone{};  // literals kept because of their context, by context
    int strings_found = 0;
    std::optional<std::string> original_uses_line;  // see UnitRewrite
    std::optional<std::string> original_form_line;
    // Buffers used again from line to line, so that a line that stays as it is costs no
    // allocation: the parts of the line, the rewritten line and piece, the status text.
    std::vector<LinePart> parts;
    std::string rewritten_line;
    std::string rewritten_piece;
    std::string status_text;
};

// A unit rewritten in memory: its new lines and the number of literals replaced.
struct UnitRewrite {
    std::vector<std::string> lines;
    int strings_found = 0;
    // The lines the two structural insertions replaced, exactly as read, so that the unit can
    // be given back byte for byte: the first uses line (when lx_lang was inserted into it) and
    // the form resource directive (when the switch block took its place).
    std::optional<std::string> original_uses_line;
    std::optional<std::string> original_form_line;
    ContextCounts left_alone{};  // literals the rules accepted but their context keeps
};

// The same as UnitRewrite, its lines as views (see RewrittenLines): what the scan writes out.
struct RewrittenUnit {
    RewrittenLines lines;
    int strings_found = 0;
    std::optional<std::string> original_uses_line;
    std::optional<std::string> original_form_line;
    ContextCounts left_alone{};
    bool mended_older_blocks = false;  // an older form switch block was mended
};

// Turns a unit's lines into its new lines and the strings found, by the scan options it was
// made with. It keeps nothing between units, so one scanner serves a whole scan.
class UnitScanner {
  public:
    // `restored`: the literals the user gave back to the code, which stay as they are; it must
    // outlive the scanner. `progress`, when given, gets a status text every ten lines and may
    // repaint between pieces.
    explicit UnitScanner(CodeScanOptions options,
                         const RestoredLiterals& restored = RestoredLiterals::None(),
                         Reporter* progress = nullptr);

    // The unit's lines in, its new lines out, the accepted literals handed to `strings`.
    // `kept`: the unit's restore journal entry, when it has one; an older switch block is
    // mended with the form directive it keeps.
    UnitRewrite RewriteUnit(const std::string& path, std::vector<std::string> lines,
                            StringStore& strings,
                            const std::optional<JournalEntry>& kept = std::nullopt) const;
    // The same without copying lines: the result refers to `lines`, which must outlive it.
    RewrittenUnit RewriteLines(const std::string& path, std::span<const std::string_view> lines,
                               StringStore& strings,
                               const std::optional<JournalEntry>& kept = std::nullopt) const;

  private:
    // Scans a code piece of the line at hand (which starts at unit.piece_offset). Returns true
    // when it replaced a literal, the piece rewritten in unit.rewritten_piece.
    bool ScanSegment(UnitScanState& unit, std::string_view piece, StringStore& strings) const;
    void RewriteLine(UnitScanState& unit, StringStore& strings) const;
    // Scans the code parts of `line` and keeps its comments as they are. Returns true when a
    // part changed, the line rewritten in unit.rewritten_line.
    bool RewriteComments(UnitScanState& unit, std::string_view line, StringStore& strings) const;

    CodeScanOptions options_;
    const RestoredLiterals* restored_;
    Reporter* progress_;
};

// Reads a unit's bytes (split them with read_text_lines). Raises an Error naming the file when
// it cannot be read or holds NUL bytes (a binary file, not a Pascal unit).
std::string ReadUnitText(const std::string& path);

// The replacement of an accepted literal: an empty literal, plus the resource string, plus an
// empty literal, which is a valid expression wherever the literal stood.
std::string ResourceReferenceText(std::int64_t index);

// The first uses line as the rewrite leaves it: "uses lx_lang, " followed by what stood after
// the word uses and the blank after it.
std::string UsesLineWithGlueUnit(std::string_view line);

// What the rewrite adds to the implementation line (or a program's heading) of a unit that
// refers to resource strings but has no uses clause of its own.
inline constexpr std::string_view kAddedUsesClause = " uses lx_lang;";

// The six lines that replace a unit's form resource directive (`directive_line` as it was read):
// the include of the switches, the directive itself while TranslatedForm is off, and the
// directive that links the translated form when it is on.
std::vector<std::string> FormSwitchBlock(const std::string& directive_line);

// Whether six lines are a form switch block: one this version writes, or the older one with
// {$R *.DFM} and {$R *.TRA}.
inline constexpr size_t kFormSwitchBlockLines = 6;
bool IsFormSwitchBlock(const std::array<std::string_view, kFormSwitchBlockLines>& lines);

}  // namespace lexorin::code
