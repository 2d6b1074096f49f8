#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "base/file_utils.h"
#include "base/reporter.h"
#include "code/pascal_context.h"
#include "code/pascal_lexer.h"
#include "code/pascal_options.h"
#include "code/string_store.h"
#include "code/table_string_store.h"

namespace lexorin::store {
class HeldTables;
class Table;
}  // namespace lexorin::store

namespace lexorin::code {

class RestoreJournal;
class ScanBatchJournal;

// The state of one unit while ScanUnit works through it; ScanSegment reads and updates it.
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

// The scanner component: the scan options, the tables it fills and where progress goes. The
// tables and the reporter belong to the caller.
class RestoredLiterals;

class TTranslator : public PascalOptions {
  public:
    store::Table* UnitsTable = nullptr;   // code scan: the project's file list of units
    store::Table* FormsTable = nullptr;   // used by the form operations
    store::Table* PascalTable = nullptr;  // the pascal table of the selected language
    Reporter* StatusBar = nullptr;        // progress texts; none = no progress texts
    // The program's 8-bit code page, through which the wide strings of forms are read and
    // written.
    CodePage FormsCodePage;
    std::vector<std::string> UnwantedStrings;  // used by the form operations
    // Literals the user gave back to the code; a scan leaves them alone. Not owned; may be none.
    const RestoredLiterals* Restored = nullptr;
    // Literals left alone because of their context, summed over the units scanned.
    ContextCounts LeftAlone{};

    // How many rewritten units wait before the rows they refer to are committed and they
    // replace the originals, all together: one disk sync per batch instead of several per unit.
    // 1 replaces every unit at once. With more, call CommitUnits after the last ScanUnit.
    size_t UnitBatch = 1;
    // The pascal tables of the project's other languages: each batch's new rows go to them, in
    // the batch's unit of work, before its units change. Not owned.
    std::vector<store::Table*> OtherPascalTables;
    // Where the lines replaced by the uses insertion and the form switch block are kept, so
    // that the unit can be given back; none = not kept. Not owned.
    RestoreJournal* Journal = nullptr;
    // Where a batch's progress is written down, so that a batch a crash interrupted is
    // completed or taken back by the next command; none = not written. Not owned.
    ScanBatchJournal* BatchJournal = nullptr;
    // Units whose rewritten text could not be put in place, with the reason; they stay as they
    // were.
    std::vector<std::pair<std::string, std::string>> FailedUnits;

    // Scans the unit at path into PascalTable and UnitsTable and rewrites it in place, the safe
    // way: the file is replaced only once the new text is complete and the rows it refers to
    // are committed in every language. A unit that cannot be read or replaced, or that holds
    // NUL bytes, raises an Error and stays as it was; the batch goes on. A failure while
    // writing (rows, the restore journal, the new text: a full disk) takes the whole batch back
    // and raises BatchFailed (code/batch_failed.h). Returns the number of strings found.
    int ScanUnit(const std::string& path);

    // The rewriting without any file or table access: the unit's lines in, its new lines out,
    // the accepted literals handed to `strings`.
    UnitRewrite RewriteUnit(const std::string& path, std::vector<std::string> lines,
                            StringStore& strings) const;

    // Scans the piece in unit.scan_text / unit.test_text and leaves it rewritten in
    // unit.rewritten.
    void ScanSegment(UnitScanState& unit, StringStore& strings) const;

    // Copies the batch's new rows to OtherPascalTables, commits every table of the batch and
    // puts every waiting rewritten unit in place. When the tables cannot be committed, the
    // batch is taken back and BatchFailed raised.
    void CommitUnits();

    TTranslator();
    TTranslator(TTranslator&&);
    TTranslator& operator=(TTranslator&&);
    ~TTranslator();

    // Scans the text form of one form file (text_path) into FormsTable, with the form file's
    // row in UnitsTable found by form_path or appended. Strings met again are updated when their
    // text changed (ignoring case and surrounding blanks), new ones appended. The whole text is
    // walked before any row is written, so a text that breaks off leaves no rows behind. Raises
    // an Error when the text cannot be read or walked. Returns the number of strings found.
    // Defined in forms/form_scanner.cpp.
    int ScanForm(const std::string& text_path, const std::string& form_path);

    // Rewrites the text form in text_path with the translations of FormsTable: every string
    // whose row has a translation is replaced by it. The rows are those of form_path's row in
    // UnitsTable when there is one, else the first with the same object path and property key.
    // The file is replaced only when a string changed, the safe way. Returns the number of
    // strings replaced. Defined in forms/form_translation_writer.cpp.
    int TranslateForm(const std::string& text_path, const std::string& form_path);

  private:
    struct PendingUnit {
        std::string path;
        std::unique_ptr<AtomicFileWriter> writer;
        bool journaled = false;  // its journal entry was made by this scan
        AddedRows rows;          // the rows its scan appended
    };
    // Removes the journal entry this scan made for a unit that stays as it was.
    void ForgetOriginals(const std::string& path, bool journaled) noexcept;
    // Records the lines the rewrite replaced; true when the unit's entry is new.
    bool JournalOriginals(const std::string& path, const UnitRewrite& rewrite);
    std::vector<PendingUnit> pending_;
    // The unit of work of the running batch: every table it writes, held until CommitUnits.
    std::unique_ptr<store::HeldTables> batch_;
    // Holds the batch's tables and writes down where they stood, before the batch's first row.
    void BeginBatch();
    // The tables of a batch, the scanned language's pascal table last.
    std::vector<store::Table*> BatchTables() const;
    // Takes the running batch back (its units, `failed_unit` too, stay as they were) and
    // raises BatchFailed with `reason`.
    [[noreturn]] void AbandonBatch(std::vector<PendingUnit> batch, const std::string& failed_unit,
                                   const std::string& reason);
    // Puts the committed batch's units in place; a unit that cannot be takes its rows back.
    void ReplaceUnits(std::vector<PendingUnit>& batch);

    void RewriteLine(UnitScanState& unit, StringStore& strings) const;
    // The older switch block linked {$R *.DFM} and {$R *.TRA}, names that do not exist where
    // file names have a case and that Free Pascal cannot link: it gets the directive the unit had
    // and the translated form's resource file.
    void MendOlderFormSwitchBlocks(UnitScanState& unit) const;
    std::string OriginalFormDirective(const std::string& unit_path) const;
    std::string RewriteComments(UnitScanState& unit, StringStore& strings) const;
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
