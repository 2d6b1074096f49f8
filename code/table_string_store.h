#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "code/string_store.h"

namespace lexorin::store {
class FileList;
class PascalRows;
class Table;
}  // namespace lexorin::store

namespace lexorin::code {

// The rows a unit's scan appended, so that they can be taken back when the unit is not
// rewritten after all (its rows would otherwise refer to nothing, and a rescan would take its
// strings a second time).
struct AddedRows {
    std::vector<std::int64_t> pascal;
    std::optional<std::int64_t> unit;  // the unit's row in the unit files, when the scan made it

    // Deletes them, the pascal rows from every language's table (they have one number in
    // all). A failure here is not the one to report: the caller has one already.
    void TakeBack(store::FileList& units,
                  const std::vector<store::Table*>& pascal_tables) const noexcept;
};

// The project's unit files by path, read once for a scan: FileList::find walks the table from a
// file's name on, row by row, and a tree whose units share names (one per target processor)
// makes that walk most of the work of storing its units. Find answers as FileList::find does;
// the scan tells it of the rows it adds and takes back.
class UnitRowIndex {
  public:
    explicit UnitRowIndex(store::FileList& units) : units_(units) {}
    std::optional<std::int64_t> Find(const std::string& path);
    void Added(std::int64_t index, const std::string& path);
    void Removed(std::int64_t index);
    // The rows may have changed otherwise (a batch taken back): read again at the next Find.
    void Forget() { loaded_ = false; }

  private:
    struct Row {
        std::string name;
        std::string path;
    };
    void Load();
    void Insert(std::int64_t index, Row row);

    store::FileList& units_;
    bool loaded_ = false;
    std::map<std::string, int> names_;  // rows of each name
    // The rows of each path by (name, number): the order of the table's name index.
    std::map<std::string, std::set<std::pair<std::string, std::int64_t>>> by_path_;
    std::map<std::int64_t, Row> by_index_;
};

// Stores the strings of one unit as rows of `pascal`, and the unit itself as a row of `units`,
// the project's unit files (found by file name and full path, appended on first need).
class TableStringStore : public StringStore {
  public:
    // `rows`, when given, finds the unit's row in place of FileList::find and learns of the
    // rows added and taken back.
    TableStringStore(store::FileList& units, store::PascalRows& pascal,
                     UnitRowIndex* rows = nullptr)
        : units_(units), pascal_(pascal), rows_(rows) {}
    std::int64_t Add(const FoundString& found) override;
    void Flush() override;
    const AddedRows& added() const { return added_; }
    // Deletes the rows added so far from `pascal_tables` and the unit files (see
    // AddedRows::TakeBack), and forgets them.
    void TakeBack(const std::vector<store::Table*>& pascal_tables);

  private:
    std::int64_t UnitIndex(const std::string& path);

    store::FileList& units_;
    store::PascalRows& pascal_;
    UnitRowIndex* rows_;
    // The unit files' row of the unit at hand; one scan of a unit never changes it.
    std::optional<std::pair<std::string, std::int64_t>> unit_;
    AddedRows added_;
};

}  // namespace lexorin::code
