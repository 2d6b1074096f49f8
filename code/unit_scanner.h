#pragma once

#include <array>
#include <cstdint>
#include <optional>
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

// The state of one unit while RewriteUnit works through it; ScanSegment reads and updates it.
struct UnitScanState {
    std::string path;                 // the unit's full path
    std::vector<std::string> lines;   // the unit as read
    size_t line_index = 0;            // zero-based
    std::string scan_text;            // the piece in which literals are looked for
    std::string test_text;            // the same piece as it will be written out
    std::string rewritten;            // the piece with its literals replaced
    size_t piece_offset = 0;          // where the piece starts in its line
    std::vector<std::string> output;  // the rewritten unit so far
    bool converted = false;           // the unit already carries the form switch block
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

  private:
    // Scans the piece in unit.scan_text / unit.test_text and leaves it rewritten in
    // unit.rewritten.
    void ScanSegment(UnitScanState& unit, StringStore& strings) const;
    void RewriteLine(UnitScanState& unit, StringStore& strings) const;
    std::string RewriteComments(UnitScanState& unit, StringStore& strings) const;

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
