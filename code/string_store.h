#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Where the code scan puts the literals it accepts. The scan itself only needs the number the
// string gets; the table-backed store is in table_string_store.h, the memory one serves a dry
// run and the tests.
namespace lexorin::code {

// One accepted literal, the values of its pascal row.
struct FoundString {
    std::string unit_path;  // the unit's full path; its file list row is found or made from it
    std::string original;   // as it stands between its apostrophes
    bool ignore = false;
    std::string context;    // source lines around it, each followed by a CR
    int new_line = 0;       // one-based line number in the rewritten unit
    int original_line = 0;  // one-based line number in the unit as read
    int spaces_at_end = 0;
};

class StringStore {
  public:
    virtual ~StringStore() = default;
    // Stores the string and returns its Index, the N of its reference s_N.
    virtual std::int64_t Add(const FoundString& found) = 0;
    // Makes the stored strings durable; called before a rewritten unit replaces the old one.
    virtual void Flush() {}
};

// Numbers the strings from first_index on and keeps them in memory.
class MemoryStringStore : public StringStore {
  public:
    explicit MemoryStringStore(std::int64_t first_index = 1) : next_index_(first_index) {}
    std::int64_t Add(const FoundString& found) override {
        rows_.emplace_back(next_index_, found);
        return next_index_++;
    }
    const std::vector<std::pair<std::int64_t, FoundString>>& rows() const { return rows_; }
    std::int64_t next_index() const { return next_index_; }

  private:
    std::int64_t next_index_;
    std::vector<std::pair<std::int64_t, FoundString>> rows_;
};

}  // namespace lexorin::code
