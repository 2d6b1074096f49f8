#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "store/session.h"

// A code scan puts its rewritten units in place in batches. A batch changes several tables (the
// pascal rows of every language, the project's file list, the restore journal: separate files,
// each held in one transaction and committed one by one) and then renames every unit of the
// batch into place. So that a batch is either all done or not at all after a crash or a failed
// commit, its progress is written down in "<Project>.batch" in the program directory:
//
//   LEXORIN SCAN BATCH
//   state prepared | committed
//   table <last Index before the batch>\t<table file name>    (one line per table)
//   rename <temporary file>\t<unit>                           (state committed)
//
// "prepared" is written before the batch's first row: a batch interrupted then is taken back
// (the rows numbered after the marks go, numbering goes on after them; the temporary files are
// swept by the next scan). "committed" is written once every row is on disk, before the first
// rename: a batch interrupted then is completed (the renames still to do are done). The file
// goes when the batch is complete, or taken back. A form scan writes the same journal, only
// "prepared", before it commits a batch of forms' rows in every language.
namespace lexorin::store {

// "<Project>.batch".
std::string scan_batch_file_name(const std::string& project);

// A table a batch appends to, with the last number its key had before the batch.
struct TableMark {
    std::string file_name;  // in the program directory
    std::int64_t last_number = 0;
};

class ScanBatchJournal {
  public:
    ScanBatchJournal(std::string program_directory, const std::string& project);

    // Before the batch's first row.
    void Begin(std::vector<TableMark> marks);
    // Every row is on disk; the renames (temporary file, unit) come next.
    void Commit(const std::vector<std::pair<std::string, std::string>>& renames);
    // The batch is complete, or taken back.
    void End();
    // The batch was given up but not wholly taken back: the journal stays for the next
    // command, which takes back what is left.
    void Keep() { open_ = false; }
    // After a batch was given up: ended when its tables were taken back, else kept (also when
    // it cannot be removed: its marks only repeat what is done). Never raises.
    void Settle(bool tables_taken_back) noexcept;
    bool open() const { return open_; }

  private:
    void Write(const std::string& state,
               const std::vector<std::pair<std::string, std::string>>& renames);

    std::string program_directory_;
    std::string path_;
    std::vector<TableMark> marks_;
    bool open_ = false;
};

// Completes or takes back the batch a killed scan of the project left, as its journal says,
// and removes the journal. Returns false when there was none. Raises an Error naming the file
// when the journal cannot be read or the batch cannot be finished.
bool RecoverScanBatch(Session& session, const std::string& program_directory,
                      const std::string& project);

}  // namespace lexorin::store
