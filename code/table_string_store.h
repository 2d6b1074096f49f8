#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "code/string_store.h"

namespace lexorin::store {
class Table;
}

namespace lexorin::code {

// The rows a unit's scan appended, so that they can be taken back when the unit is not
// rewritten after all (its rows would otherwise refer to nothing, and a rescan would take its
// strings a second time).
struct AddedRows {
    std::vector<std::int64_t> pascal;
    std::optional<std::int64_t> unit;  // the unit's file list row, when the scan made it

    // Deletes them, the pascal rows from every language's table (they have one number in
    // all). A failure here is not the one to report: the caller has one already.
    void TakeBack(store::Table& units_table,
                  const std::vector<store::Table*>& pascal_tables) const noexcept;
};

// Stores the strings of one unit as pascal rows, and the unit itself as a row of the project's
// file list (found by file name and full path, appended on first need).
class TableStringStore : public StringStore {
  public:
    TableStringStore(store::Table& units, store::Table& pascal) : units_(units), pascal_(pascal) {}
    std::int64_t Add(const FoundString& found) override;
    void Flush() override;
    const AddedRows& added() const { return added_; }

  private:
    std::int64_t UnitIndex(const std::string& path);

    store::Table& units_;
    store::Table& pascal_;
    // The file list row of the unit at hand; one scan of a unit never changes it.
    std::optional<std::pair<std::string, std::int64_t>> unit_;
    AddedRows added_;
};

}  // namespace lexorin::code
