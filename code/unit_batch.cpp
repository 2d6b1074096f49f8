#include "code/unit_batch.h"

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
#include "store/table_store.h"
#include "store/transcopy.h"

namespace lexorin::code {

namespace {

// A unit reached through a symbolic link is rewritten where it lies, so the link stays a link.
std::string ResolvedTarget(const std::string& path) {
    struct FreeDeleter {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, FreeDeleter> real(::realpath(path.c_str(), nullptr));
    return real ? std::string(real.get()) : path;
}

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
    : tables_(tables), size_(size), reporter_(reporter) {}

UnitBatch::~UnitBatch() = default;

int UnitBatch::ScanUnit(const UnitScanner& scanner, const std::string& path) {
    const std::string target = ResolvedTarget(path);
    RequireReplaceable(path, target);
    const std::string original = ReadUnitText(path);

    if (!held_) {
        try {
            BeginBatch();
        } catch (const std::exception& e) {
            AbandonBatch({}, path, e.what());
        }
    }
    TableStringStore strings(tables_.units, tables_.pascal);
    int strings_found = 0;
    try {
        std::optional<JournalEntry> kept;
        if (tables_.restore_journal) kept = tables_.restore_journal->Find(path);
        std::vector<std::string> lines = read_text_lines(original);
        UnitRewrite result = scanner.RewriteUnit(path, lines, strings, kept);
        strings_found = result.strings_found;
        // A unit whose lines all stay as they were keeps its bytes, line ends included.
        const bool changed = result.lines != lines;
        const std::string text = changed ? join_text_lines(result.lines) : original;
        const bool journaled = changed && JournalOriginals(path, result, kept.has_value());
        if (text != original) {
            // The new text waits beside the unit until the rows it refers to are committed.
            auto writer = std::make_unique<AtomicFileWriter>(target);
            writer->write(text);
            writer->finish(false);
            pending_.push_back({path, std::move(writer), journaled, strings.added()});
        }
        AddCounts(left_alone_, result.left_alone);
    } catch (const std::exception& e) {
        // Rows, journal entries and new texts are written together: whatever failed (a full
        // disk, most likely) would fail the rest of the batch too.
        AbandonBatch(std::exchange(pending_, {}), path, e.what());
    }
    if (size_ <= 1 || pending_.size() >= size_) CommitUnits();
    if (reporter_) reporter_->status(std::to_string(strings_found) + " Strings found");
    return strings_found;
}

void UnitBatch::ForgetOriginals(const std::string& path, bool journaled) noexcept {
    // The unit stays as it was, so its new entry tells of no rewrite; an entry that cannot go
    // is harmless, as giving back only touches lines the rewrite made.
    try {
        if (journaled && tables_.restore_journal) tables_.restore_journal->Remove(path);
    } catch (const std::exception&) {
    }
}

bool UnitBatch::JournalOriginals(const std::string& path, const UnitRewrite& rewrite,
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

void UnitBatch::ReplaceUnits(std::vector<PendingUnit>& batch) {
    const std::vector<store::Table*> pascal_tables = PascalTables();
    for (auto& unit : batch) {
        try {
            if (!file_exists(unit.writer->target()))
                throw Error("Cannot rewrite " + unit.path +
                            ": the file was removed during the scan");
            unit.writer->replace();
        } catch (const std::exception& e) {
            failed_units_.emplace_back(unit.path, e.what());
            unit.rows.TakeBack(tables_.units, pascal_tables);
            ForgetOriginals(unit.path, unit.journaled);
        }
    }
}

}  // namespace lexorin::code
