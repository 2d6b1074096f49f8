#include "code/unit_batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/batch_failed.h"
#include "code/unit_prefetch.h"
#include "store/table_store.h"
#include "store/transcopy.h"

namespace lexorin::code {

namespace {

// Checked before the scan, so that a unit that could not be replaced leaves no rows behind.
void RequireReplaceable(const std::string& path, const std::string& target) {
    switch (const FileProblem problem = writable_file_problem(target)) {
        case FileProblem::None:
            return;
        case FileProblem::Missing:
            throw Error("Cannot open file " + path);
        case FileProblem::NotRegular:
            // Reading a pipe or a device could block the scan or never end.
            throw Error("Cannot scan " + path + ": " + describe(problem));
        default:
            throw Error("Cannot rewrite " + path + ": " + describe(problem));
    }
}

}  // namespace

UnitBatch::UnitBatch(UnitBatchTables tables, size_t size, Reporter* reporter)
    : tables_(tables), size_(size), reporter_(reporter), unit_rows_(tables.units) {}

UnitBatch::~UnitBatch() = default;

int UnitBatch::ScanUnit(const UnitScanner& scanner, const std::string& path) {
    return ScanUnit(scanner, path, nullptr);
}

int UnitBatch::ScanUnit(const UnitScanner& scanner, const std::string& path,
                        PreparedUnit* prepared) {
    if (prepared && prepared->path != path) prepared = nullptr;
    const std::string target = prepared ? prepared->target : ResolvedTarget(path);
    RequireReplaceable(path, target);
    // The prepared unit's bytes were read as ReadUnitText reads them.
    const bool read_ahead = prepared && prepared->usable;
    const std::string read = read_ahead ? std::string() : ReadUnitText(path);
    const std::string& original = read_ahead ? prepared->text : read;

    if (!held_) {
        try {
            BeginBatch();
        } catch (const std::exception& e) {
            AbandonBatch({}, path, e.what());
        }
    }
    TableStringStore strings(tables_.units, tables_.pascal, &unit_rows_);
    int strings_found = 0;
    try {
        std::optional<JournalEntry> kept;
        if (tables_.restore_journal) kept = tables_.restore_journal->Find(path);
        std::vector<std::string_view> own_lines;
        std::optional<RewrittenUnit> own_rewrite;
        const RewrittenUnit* result = nullptr;
        std::span<const std::string_view> lines;
        if (TakesPrepared(prepared, kept) && StorePrepared(*prepared, strings)) {
            if (reporter_)
                for (const std::string& text : prepared->status_texts) reporter_->status(text);
            result = &prepared->rewrite;
            lines = prepared->lines;
        } else {
            own_lines = read_text_line_views(original);
            own_rewrite = scanner.RewriteLines(path, own_lines, strings, kept);
            result = &*own_rewrite;
            lines = own_lines;
        }
        if (!strings.added().pascal.empty()) next_index_ = strings.added().pascal.back() + 1;
        strings_found = result->strings_found;
        // A unit whose lines all stay as they were keeps its bytes, line ends included.
        const bool changed = !result->lines.SameAs(lines);
        const std::string text =
            changed ? join_text_line_views(result->lines.lines()) : std::string();
        const bool journaled = changed && JournalOriginals(path, *result, kept.has_value());
        if (changed && text != original) {
            // The new text waits beside the unit until the rows it refers to are committed.
            auto writer = std::make_unique<AtomicFileWriter>(target);
            writer->write(text);
            writer->finish(false);
            pending_.push_back({path, std::move(writer), journaled, strings.added()});
        }
        AddCounts(left_alone_, result->left_alone);
    } catch (const std::exception& e) {
        // Rows, journal entries and new texts are written together: whatever failed (a full
        // disk, most likely) would fail the rest of the batch too.
        AbandonBatch(std::exchange(pending_, {}), path, e.what());
    }
    if (size_ <= 1 || pending_.size() >= size_) CommitUnits();
    if (reporter_) reporter_->status(std::to_string(strings_found) + " Strings found");
    return strings_found;
}

bool UnitBatch::TakesPrepared(const PreparedUnit* prepared,
                              const std::optional<JournalEntry>& kept) const {
    // Numbered from where the table stands, and no older switch block to mend with a kept
    // directive (the thread has no journal to ask).
    return prepared && prepared->usable && next_index_ == prepared->first_index &&
           !(kept && !kept->form_line.empty() && prepared->rewrite.mended_older_blocks);
}

bool UnitBatch::StorePrepared(const PreparedUnit& prepared, TableStringStore& strings) {
    for (const auto& [index, found] : prepared.rows) {
        if (strings.Add(found) == index) continue;
        // The table numbered otherwise than foreseen: its rows go, and the unit is scanned
        // here, numbered by the table.
        strings.TakeBack(PascalTables());
        return false;
    }
    return true;
}

void UnitBatch::ForgetOriginals(const std::string& path, bool journaled) noexcept {
    // The unit stays as it was, so its new entry tells of no rewrite; an entry that cannot go
    // is harmless, as giving back only touches lines the rewrite made.
    try {
        if (journaled && tables_.restore_journal) tables_.restore_journal->Remove(path);
    } catch (const std::exception&) {
    }
}

bool UnitBatch::JournalOriginals(const std::string& path, const RewrittenUnit& rewrite,
                                 bool had_entry) {
    if (!tables_.restore_journal || (!rewrite.original_uses_line && !rewrite.original_form_line))
        return false;
    tables_.restore_journal->Record(path, rewrite.original_uses_line, rewrite.original_form_line);
    return !had_entry;
}

std::vector<store::Table*> UnitBatch::PascalTables() {
    std::vector<store::Table*> tables;
    if (tables_.other_languages) tables = store::TablesOf(*tables_.other_languages);
    tables.push_back(&tables_.pascal.table());
    return tables;
}

std::vector<store::Table*> UnitBatch::BatchTables() {
    std::vector<store::Table*> tables;
    if (tables_.other_languages) tables = store::TablesOf(*tables_.other_languages);
    tables.push_back(&tables_.units.table());
    if (tables_.restore_journal) tables.push_back(&tables_.restore_journal->table());
    tables.push_back(&tables_.pascal.table());
    return tables;
}

void UnitBatch::BeginBatch() {
    held_ = std::make_unique<store::HeldTables>(BatchTables());
    if (!tables_.batch_journal) return;
    std::vector<store::TableMark> marks;
    for (const auto& mark : held_->marks()) marks.push_back({mark.table_name, mark.last_number});
    tables_.batch_journal->Begin(std::move(marks));
}

void UnitBatch::AbandonBatch(std::vector<PendingUnit> batch, const std::string& failed_unit,
                             const std::string& reason) {
    std::vector<std::string> units;
    for (const auto& unit : batch) units.push_back(unit.path);
    if (!failed_unit.empty()) units.push_back(failed_unit);
    batch.clear();  // the new texts go
    bool taken_back = true;
    unit_rows_.Forget();  // the unit files' rows of the batch go
    if (held_) {
        held_->Rollback();
        taken_back = held_->restored();
        held_.reset();
    }
    // Kept when a table could not be taken back: the next command finishes the job.
    if (tables_.batch_journal) tables_.batch_journal->Settle(taken_back);
    throw BatchFailed(reason, std::move(units), taken_back);
}

void UnitBatch::CommitUnits() {
    if (!held_) return;
    std::vector<PendingUnit> batch = std::exchange(pending_, {});
    std::vector<std::string> temps;
    std::vector<std::pair<std::string, std::string>> renames;
    for (const auto& unit : batch) {
        temps.push_back(unit.writer->temp_path());
        renames.emplace_back(unit.writer->temp_path(), unit.writer->target());
    }
    store::ScanBatchJournal* journal = tables_.batch_journal;
    try {
        // Every language gets the batch's rows before any unit refers to them; the new texts
        // and the rows reach the disk before the units change.
        if (tables_.other_languages && !tables_.other_languages->empty()) {
            const store::Table& pascal = tables_.pascal.table();
            store::Table scanned(pascal.session(), pascal.directory(), pascal.table_name());
            scanned.open();
            const std::int64_t after = held_->mark_of(pascal);
            for (store::Table* other : store::TablesOf(*tables_.other_languages))
                store::CopyMissingRows(scanned, *other, after, store::TableKind::Pascal, reporter_);
        }
        if (!temps.empty()) sync_file_systems(temps);
        held_->Commit();
        // Once the journal says so, the batch is completed whatever happens to this run; until
        // then a failure takes the committed rows back.
        if (journal && journal->open() && !batch.empty()) journal->Commit(renames);
    } catch (const std::exception& e) {
        AbandonBatch(std::move(batch), "", e.what());
    }
    held_.reset();
    ReplaceUnits(batch);
    if (journal && journal->open()) journal->End();
}

void UnitBatch::ReplaceHoldingOld(AtomicFileWriter& writer) {
    // The old file stays open across the rename, so that freeing its blocks waits for the
    // close, which another thread makes (see DeferredClose).
    const int old_file = ::open(writer.target().c_str(), O_PATH | O_CLOEXEC);
    try {
        writer.replace();
    } catch (...) {
        if (old_file >= 0) ::close(old_file);
        throw;
    }
    if (old_file >= 0) old_files_.Add(old_file);
}

void UnitBatch::ReplaceUnits(std::vector<PendingUnit>& batch) {
    const std::vector<store::Table*> pascal_tables = PascalTables();
    for (auto& unit : batch) {
        try {
            if (!file_exists(unit.writer->target()))
                throw Error("Cannot rewrite " + unit.path +
                            ": the file was removed during the scan");
            ReplaceHoldingOld(*unit.writer);
        } catch (const std::exception& e) {
            failed_units_.emplace_back(unit.path, e.what());
            unit.rows.TakeBack(tables_.units, pascal_tables);
            if (unit.rows.unit) unit_rows_.Removed(*unit.rows.unit);
            ForgetOriginals(unit.path, unit.journaled);
        }
    }
}

}  // namespace lexorin::code
