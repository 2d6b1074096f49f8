#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <utility>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/batch_failed.h"
#include "code/restore_journal.h"
#include "code/scan_batch_journal.h"
#include "code/table_string_store.h"
#include "code/translator.h"
#include "store/held_tables.h"
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

std::string ReadUnitText(const std::string& path) {
    std::string text = read_file(path);
    if (text.find('\0') != std::string::npos)
        throw Error("Cannot scan " + path +
                    ": the file holds NUL bytes, so it is not a Pascal unit");
    return text;
}

int TTranslator::ScanUnit(const std::string& path) {
    if (!PascalTable || !UnitsTable)
        throw Error("The code scan needs the pascal table and the file list of the project");
    if (!PascalTable->is_open()) PascalTable->open();
    if (!UnitsTable->is_open()) UnitsTable->open();

    const std::string target = ResolvedTarget(path);
    RequireReplaceable(path, target);
    const std::string original = ReadUnitText(path);

    if (!batch_) {
        try {
            BeginBatch();
        } catch (const std::exception& e) {
            AbandonBatch({}, path, e.what());
        }
    }
    TableStringStore strings(*UnitsTable, *PascalTable);
    int strings_found = 0;
    try {
        std::vector<std::string> lines = read_text_lines(original);
        UnitRewrite result = RewriteUnit(path, lines, strings);
        strings_found = result.strings_found;
        // A unit whose lines all stay as they were keeps its bytes, line ends included.
        const bool changed = result.lines != lines;
        const std::string text = changed ? join_text_lines(result.lines) : original;
        const bool journaled = changed && JournalOriginals(path, result);
        if (text != original) {
            // The new text waits beside the unit until the rows it refers to are committed.
            auto writer = std::make_unique<AtomicFileWriter>(target);
            writer->write(text);
            writer->finish(false);
            pending_.push_back({path, std::move(writer), journaled, strings.added()});
        }
        AddCounts(LeftAlone, result.left_alone);
    } catch (const std::exception& e) {
        // Rows, journal entries and new texts are written together: whatever failed (a full
        // disk, most likely) would fail the rest of the batch too.
        AbandonBatch(std::exchange(pending_, {}), path, e.what());
    }
    if (UnitBatch <= 1 || pending_.size() >= UnitBatch) CommitUnits();
    if (StatusBar) StatusBar->status(std::to_string(strings_found) + " Strings found");
    return strings_found;
}

void TTranslator::ForgetOriginals(const std::string& path, bool journaled) noexcept {
    // The unit stays as it was, so its new entry tells of no rewrite; an entry that cannot go
    // is harmless, as giving back only touches lines the rewrite made.
    try {
        if (journaled && Journal) Journal->Remove(path);
    } catch (const std::exception&) {
    }
}

bool TTranslator::JournalOriginals(const std::string& path, const UnitRewrite& rewrite) {
    if (!Journal || (!rewrite.original_uses_line && !rewrite.original_form_line)) return false;
    const bool is_new = !Journal->Find(path);
    Journal->Record(path, rewrite.original_uses_line, rewrite.original_form_line);
    return is_new;
}

TTranslator::TTranslator() = default;
TTranslator::TTranslator(TTranslator&&) = default;
TTranslator& TTranslator::operator=(TTranslator&&) = default;
// Waiting units are dropped: their originals stay, and the batch's rows are rolled back.
TTranslator::~TTranslator() = default;

std::vector<store::Table*> TTranslator::BatchTables() const {
    std::vector<store::Table*> tables = OtherPascalTables;
    tables.push_back(UnitsTable);
    if (Journal) tables.push_back(&Journal->table());
    tables.push_back(PascalTable);
    return tables;
}

void TTranslator::BeginBatch() {
    batch_ = std::make_unique<store::HeldTables>(BatchTables());
    if (!BatchJournal) return;
    std::vector<TableMark> marks;
    for (const auto& mark : batch_->marks()) marks.push_back({mark.table_name, mark.last_number});
    BatchJournal->Begin(std::move(marks));
}

void TTranslator::AbandonBatch(std::vector<PendingUnit> batch, const std::string& failed_unit,
                               const std::string& reason) {
    std::vector<std::string> units;
    for (const auto& unit : batch) units.push_back(unit.path);
    if (!failed_unit.empty()) units.push_back(failed_unit);
    batch.clear();  // the new texts go
    bool taken_back = true;
    if (batch_) {
        batch_->Rollback();
        taken_back = batch_->restored();
        batch_.reset();
    }
    // Kept when a table could not be taken back: the next command finishes the job.
    if (BatchJournal) BatchJournal->Settle(taken_back);
    throw BatchFailed(reason, std::move(units), taken_back);
}

void TTranslator::CommitUnits() {
    if (!batch_) return;
    std::vector<PendingUnit> batch = std::exchange(pending_, {});
    std::vector<std::string> temps;
    std::vector<std::pair<std::string, std::string>> renames;
    for (const auto& unit : batch) {
        temps.push_back(unit.writer->temp_path());
        renames.emplace_back(unit.writer->temp_path(), unit.writer->target());
    }
    try {
        // Every language gets the batch's rows before any unit refers to them; the new texts
        // and the rows reach the disk before the units change.
        if (!OtherPascalTables.empty()) {
            store::Table scanned(PascalTable->session(), PascalTable->directory(),
                                 PascalTable->table_name());
            scanned.open();
            const std::int64_t after = batch_->mark_of(*PascalTable);
            for (store::Table* other : OtherPascalTables)
                store::CopyMissingRows(scanned, *other, after, store::TableKind::Pascal, StatusBar);
        }
        if (!temps.empty()) sync_file_systems(temps);
        batch_->Commit();
        // Once the journal says so, the batch is completed whatever happens to this run; until
        // then a failure takes the committed rows back.
        if (BatchJournal && BatchJournal->open() && !batch.empty()) BatchJournal->Commit(renames);
    } catch (const std::exception& e) {
        AbandonBatch(std::move(batch), "", e.what());
    }
    batch_.reset();
    ReplaceUnits(batch);
    if (BatchJournal && BatchJournal->open()) BatchJournal->End();
}

void TTranslator::ReplaceUnits(std::vector<PendingUnit>& batch) {
    std::vector<store::Table*> pascal_tables = OtherPascalTables;
    pascal_tables.push_back(PascalTable);
    for (auto& unit : batch) {
        try {
            if (!file_exists(unit.writer->target()))
                throw Error("Cannot rewrite " + unit.path +
                            ": the file was removed during the scan");
            unit.writer->replace();
        } catch (const std::exception& e) {
            FailedUnits.emplace_back(unit.path, e.what());
            unit.rows.TakeBack(*UnitsTable, pascal_tables);
            ForgetOriginals(unit.path, unit.journaled);
        }
    }
}

}  // namespace lexorin::code
