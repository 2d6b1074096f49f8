#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lexorin::store {

class Connection;
class Table;

// Changes to several table files made as one unit of work: the rows of a scan in every
// language's table, the file list and the restore journal, which must all be there or none.
//
// From the start each file's changes stay in one open transaction, whatever would commit them
// on their own (a batch of appends filling up, a post, a delete, a flush), until Commit or
// Rollback. Commit first writes every file's changes out uncommitted, so that a full disk fails
// there, while nothing is committed and everything can be rolled back without a byte of space;
// then it commits the files one by one, in the order given. Should a commit still fail, the
// files after it are rolled back and those before it taken back to their marks: the rows
// numbered after the number their key had at the start go, and numbering goes on after it.
// So tables that only gain rows may come in any order, and a table whose rows are also changed
// (which only a rollback takes back) comes last.
class HeldTables {
  public:
    // The number each table's key had at the start, by the table's file name.
    struct Mark {
        std::string table_name;
        std::int64_t last_number = 0;
    };

    // The tables must be open and have a numbered key; two handles on one file count once.
    explicit HeldTables(const std::vector<Table*>& tables);
    // Rolls back what was not committed; what was committed stays.
    ~HeldTables();
    HeldTables(const HeldTables&) = delete;
    HeldTables& operator=(const HeldTables&) = delete;

    const std::vector<Mark>& marks() const { return marks_; }
    // The mark of the file `table` works on.
    std::int64_t mark_of(const Table& table) const;

    // Writes every file's changes out, still uncommitted, as Commit does first: a unit of work
    // that grows step by step takes the disk space of each step at once, so that a full disk
    // fails at the step that did not fit. On failure the files stay held, to be rolled back.
    void WriteOut();
    // Whether some file numbered rows after its mark.
    bool Appended() const;

    // Commits every file as described above; a failure is raised again after the taking back,
    // and restored() tells whether every file is back where it stood.
    void Commit();
    // Takes back every change: rolls back what is not committed yet, and takes the committed
    // files back to their marks (for a step after the commit that failed). Never raises.
    void Rollback() noexcept;
    // False when some file could not be taken back to its mark (a disk still full); its rows
    // after the mark stay until something takes them back (the scan's batch journal).
    bool restored() const { return restored_; }

  private:
    struct Held {
        std::shared_ptr<Connection> connection;
        std::int64_t mark = 0;
        bool committed = false;
    };
    std::vector<Held> held_;
    std::vector<Mark> marks_;
    bool restored_ = true;
};

}  // namespace lexorin::store
