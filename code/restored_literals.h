#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace lexorin::store {
class FileList;
class PascalRows;
}  // namespace lexorin::store

namespace lexorin::code {

// The literals a user gave back to the code (restore-code, or the compiler check). Their rows
// stay in the pascal table with Ignore set and NewLine 0, the mark of a row that no line of the
// rewritten unit refers to; a later scan meets the literal again and must leave it alone.
class RestoredLiterals {
  public:
    // Reads the marked rows of `pascal` and the unit paths of `units` (the project's unit files)
    // through handles of its own, so the callers' handles keep their position, filter and order.
    static RestoredLiterals Load(const store::PascalRows& pascal, const store::FileList& units);
    // None given back: for a scan of units no table knows.
    static const RestoredLiterals& None();

    void Add(const std::string& unit_path, std::string literal);
    // Whether `literal`, as it stands between its apostrophes, was given back in this unit.
    bool Contains(const std::string& unit_path, std::string_view literal) const;

  private:
    std::map<std::string, std::set<std::string, std::less<>>, std::less<>> by_unit_;
};

}  // namespace lexorin::code
