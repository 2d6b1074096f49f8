#pragma once

#include <optional>

#include "code/string_store.h"

namespace lexorin::store {
class Table;
}

namespace lexorin::code {

// Stores the strings of one unit as pascal rows, and the unit itself as a row of the project's
// file list (found by file name and full path, appended on first need).
class TableStringStore : public StringStore {
  public:
    TableStringStore(store::Table& units, store::Table& pascal) : units_(units), pascal_(pascal) {}
    std::int64_t Add(const FoundString& found) override;
    void Flush() override;

  private:
    std::int64_t UnitIndex(const std::string& path);

    store::Table& units_;
    store::Table& pascal_;
    // The file list row of the unit at hand; one scan of a unit never changes it.
    std::optional<std::pair<std::string, std::int64_t>> unit_;
};

}  // namespace lexorin::code
