#pragma once

#include <cstdint>
#include <optional>
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

// Stores the strings of one unit as rows of `pascal`, and the unit itself as a row of `units`,
// the project's unit files (found by file name and full path, appended on first need).
class TableStringStore : public StringStore {
  public:
    TableStringStore(store::FileList& units, store::PascalRows& pascal)
        : units_(units), pascal_(pascal) {}
    std::int64_t Add(const FoundString& found) override;
    void Flush() override;
    const AddedRows& added() const { return added_; }

  private:
    std::int64_t UnitIndex(const std::string& path);

    store::FileList& units_;
    store::PascalRows& pascal_;
    // The unit files' row of the unit at hand; one scan of a unit never changes it.
    std::optional<std::pair<std::string, std::int64_t>> unit_;
    AddedRows added_;
};

}  // namespace lexorin::code
