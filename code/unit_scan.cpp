#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/restore_journal.h"
#include "code/scan_batch_journal.h"
#include "code/table_string_store.h"
#include "code/translator.h"
#include "store/table_store.h"

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

    if (UnitBatch > 1 && BatchJournal && !BatchJournal->open()) BeginBatch();
    TableStringStore strings(*UnitsTable, *PascalTable);
    bool journaled = false;
    int strings_found = 0;
    try {
        std::vector<std::string> lines = read_text_lines(original);
        UnitRewrite result = RewriteUnit(path, lines, strings);
        strings_found = result.strings_found;
        // A unit whose lines all stay as they were keeps its bytes, line ends included.
        const bool changed = result.lines != lines;
        const std::string text = changed ? join_text_lines(result.lines) : original;
        journaled = changed && JournalOriginals(path, result);
        if (UnitBatch <= 1) {
            // The rows the new text refers to, and the lines it replaced, reach the disk before
            // the unit changes.
            strings.Flush();
            if (Journal) Journal->Flush();
            if (text != original) {
                if (!file_exists(target))
                    throw Error("Cannot rewrite " + path +
                                ": the file was removed during the scan");
                write_file_atomically(target, text);
            }
        } else if (text != original) {
            auto writer = std::make_unique<AtomicFileWriter>(target);
            writer->write(text);
            writer->finish(false);
            pending_.push_back({path, std::move(writer), journaled, strings.added()});
        }
        AddCounts(LeftAlone, result.left_alone);
    } catch (...) {
        // The unit stays as it was: the rows it would have referred to go again.
        strings.added().TakeBack(*UnitsTable, *PascalTable);
        ForgetOriginals(path, journaled);
        throw;
    }
    if (UnitBatch > 1 && pending_.size() >= UnitBatch) CommitUnits();
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

TTranslator::~TTranslator() = default;  // waiting units are dropped: their originals stay

void TTranslator::BeginBatch() {
    std::vector<TableMark> marks{{PascalTable->table_name(), PascalTable->last_key_number()},
                                 {UnitsTable->table_name(), UnitsTable->last_key_number()}};
    if (Journal)
        marks.push_back({Journal->table().table_name(), Journal->table().last_key_number()});
    BatchJournal->Begin(std::move(marks));
}

void TTranslator::CommitUnits() {
    const bool journaled = BatchJournal && BatchJournal->open();
    std::vector<PendingUnit> batch = std::move(pending_);
    pending_.clear();
    // The rows every new text refers to reach the disk first, then the new texts themselves,
    // and only then do the units change.
    if (PascalTable) PascalTable->flush();
    if (UnitsTable) UnitsTable->flush();
    if (Journal) Journal->Flush();
    std::vector<std::string> temps;
    std::vector<std::pair<std::string, std::string>> renames;
    for (const auto& unit : batch) {
        temps.push_back(unit.writer->temp_path());
        renames.emplace_back(unit.writer->temp_path(), unit.writer->target());
    }
    if (!temps.empty()) sync_file_systems(temps);
    // From here on the batch is completed, whatever happens to this run.
    if (journaled && !batch.empty()) BatchJournal->Commit(renames);
    for (auto& unit : batch) {
        try {
            if (!file_exists(unit.writer->target()))
                throw Error("Cannot rewrite " + unit.path +
                            ": the file was removed during the scan");
            unit.writer->replace();
        } catch (const std::exception& e) {
            FailedUnits.emplace_back(unit.path, e.what());
            unit.rows.TakeBack(*UnitsTable, *PascalTable);
            ForgetOriginals(unit.path, unit.journaled);
        }
    }
    if (journaled) BatchJournal->End();
}

}  // namespace lexorin::code
