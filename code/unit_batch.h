#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/file_utils.h"
#include "base/reporter.h"
#include "code/deferred_close.h"
#include "code/pascal_context.h"
#include "code/restore_journal.h"
#include "code/table_string_store.h"
#include "code/unit_prefetch.h"
#include "code/unit_scanner.h"
#include "store/held_tables.h"
#include "store/language_copies.h"
#include "store/scan_batch_journal.h"
#include "store/string_tables.h"

// A code scan's units, rewritten and put in place in batches. Each unit's rows go to the
// scanned language's table and the unit to the project's unit files at once; its new text waits
// beside it. When the batch is full, its rows reach every other language and are committed
// everywhere, and then its units replace the originals, all together: one disk sync per batch
// instead of several per unit, and a failure takes the whole batch back (code/batch_failed.h).
namespace lexorin::code {

// What a batch writes besides the units. Not owned: each must outlive the batch.
struct UnitBatchTables {
    store::PascalRows& pascal;  // the scanned language's rows
    store::FileList& units;     // the project's unit files (store::UnitFiles)
    // The pascal tables of the project's other languages (store::OtherLanguageTables), open:
    // each batch's rows reach them in the batch's unit of work, before its units change; none
    // = a project of one language.
    std::vector<store::LanguageTable>* other_languages = nullptr;
    // Keeps the lines the uses insertion and the form switch block replace, so that a unit can
    // be given back; none = not kept.
    RestoreJournal* restore_journal = nullptr;
    // Writes each batch's progress down, so that a batch a crash interrupted is completed or
    // taken back by the next command; none = not written.
    store::ScanBatchJournal* batch_journal = nullptr;
};

class UnitBatch {
  public:
    // `size`: how many rewritten units wait before their batch is committed; 1 puts every unit
    // in place at once. With more, call CommitUnits after the last ScanUnit. `reporter`, when
    // given, gets "N Strings found" after each unit and may repaint while rows are copied.
    explicit UnitBatch(UnitBatchTables tables, size_t size = 1, Reporter* reporter = nullptr);
    // Waiting units are dropped: their originals stay, and the batch's rows are rolled back.
    ~UnitBatch();
    UnitBatch(const UnitBatch&) = delete;
    UnitBatch& operator=(const UnitBatch&) = delete;

    // Scans the unit at `path` with `scanner` into the batch's tables and rewrites it, the safe
    // way: the file is replaced only once the new text is complete and the rows it refers to
    // are committed in every language. A unit that cannot be read or replaced, or that holds
    // NUL bytes, raises an Error and stays as it was; the batch goes on. A failure while
    // writing (rows, the restore journal, the new text: a full disk) takes the whole batch back
    // and raises BatchFailed. Returns the number of strings found.
    int ScanUnit(const UnitScanner& scanner, const std::string& path);
    // The same with the unit as UnitPrefetch read and rewrote it, when given: it is taken when
    // its strings are numbered as the table numbers them, and the unit scanned here otherwise.
    int ScanUnit(const UnitScanner& scanner, const std::string& path, PreparedUnit* prepared);
    // The number the next string will get in the scanned language's table, once a unit of this
    // batch's scan has stored one.
    std::optional<std::int64_t> next_index() const { return next_index_; }

    // Copies the batch's new rows to the other languages, commits every table of the batch and
    // puts every waiting rewritten unit in place. When the tables cannot be committed, the
    // batch is taken back and BatchFailed raised.
    void CommitUnits();

    // Units whose rewritten text could not be put in place, with the reason; they stay as they
    // were, and their rows were taken back.
    const std::vector<std::pair<std::string, std::string>>& failed_units() const {
        return failed_units_;
    }
    // Literals left alone because of their context, summed over the units scanned.
    const ContextCounts& left_alone() const { return left_alone_; }

  private:
    struct PendingUnit {
        std::string path;
        std::unique_ptr<AtomicFileWriter> writer;
        bool journaled = false;  // its journal entry was made by this scan
        AddedRows rows;          // the rows its scan appended
    };

    // Holds the batch's tables and writes down where they stood, before the batch's first row.
    void BeginBatch();
    // The tables of a batch, the scanned language's pascal table last.
    std::vector<store::Table*> BatchTables();
    // The pascal tables of every language, the scanned one last.
    std::vector<store::Table*> PascalTables();
    bool TakesPrepared(const PreparedUnit* prepared, const std::optional<JournalEntry>& kept) const;
    // Stores the prepared unit's strings; false (and nothing stored) when the table numbers
    // them otherwise than foreseen.
    bool StorePrepared(const PreparedUnit& prepared, TableStringStore& strings);
    // Records the lines the rewrite replaced; true when the unit's entry is new.
    bool JournalOriginals(const std::string& path, const RewrittenUnit& rewrite, bool had_entry);
    // Removes the journal entry this scan made for a unit that stays as it was.
    void ForgetOriginals(const std::string& path, bool journaled) noexcept;
    // Takes the running batch back (its units, `failed_unit` too, stay as they were) and
    // raises BatchFailed with `reason`.
    [[noreturn]] void AbandonBatch(std::vector<PendingUnit> batch, const std::string& failed_unit,
                                   const std::string& reason);
    // Puts the committed batch's units in place; a unit that cannot be takes its rows back.
    void ReplaceUnits(std::vector<PendingUnit>& batch);
    void ReplaceHoldingOld(AtomicFileWriter& writer);

    UnitBatchTables tables_;
    size_t size_;
    Reporter* reporter_;
    std::vector<PendingUnit> pending_;
    // The unit of work of the running batch: every table it writes, held until CommitUnits.
    std::unique_ptr<store::HeldTables> held_;
    std::vector<std::pair<std::string, std::string>> failed_units_;
    ContextCounts left_alone_{};
    std::optional<std::int64_t> next_index_;
    UnitRowIndex unit_rows_;   // the unit files' rows by path
    DeferredClose old_files_;  // the units replaced, let go of on a thread of their own
};

}  // namespace lexorin::code
