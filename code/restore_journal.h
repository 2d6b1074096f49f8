#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/table_schema.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// The restore journal of a project: for every unit the code scan rewrote, the original text of
// the two lines its structural insertions replaced (the first uses line and the form resource
// directive), so that giving the unit back restores them byte for byte. One small table per
// project in the program directory, "<Project>_restore.db".
namespace lexorin::code {

namespace journal_field {
inline constexpr const char* Index = "Index";
inline constexpr const char* Directory = "Directory";  // the unit's full path, as in pasfiles
inline constexpr const char* UsesLine = "UsesLine";    // memo: keeps trailing blanks
inline constexpr const char* FormLine = "FormLine";
}  // namespace journal_field

namespace journal_order {
// The order by unit path (Directory): every scanned unit is looked up once, so a walk would make
// a scan of many units quadratic.
inline constexpr const char* Path = "Path";
}  // namespace journal_order

const store::TableSchema& restore_journal_schema();

// What the journal keeps of one unit; an empty text means the line was not replaced.
struct JournalEntry {
    std::string directory;
    std::string uses_line;
    std::string form_line;
};

class RestoreJournal {
  public:
    // Opens the project's journal in `folder`, the program directory, creating it when missing.
    RestoreJournal(const store::TableFolder& folder, const std::string& project);

    std::optional<JournalEntry> Find(const std::string& path);
    // Keeps the originals of a unit's first rewrite: a field already filled stays as it is, so
    // a rescan (which replaces nothing) never overwrites what the first scan kept.
    void Record(const std::string& path, const std::optional<std::string>& uses_line,
                const std::optional<std::string>& form_line);
    void Remove(const std::string& path);
    // The units that have an entry, in the order they were recorded.
    std::vector<std::string> Units();
    void Empty();
    void Flush();
    store::Table& table() { return table_; }

  private:
    bool Locate(const std::string& path);

    store::Table table_;
};

}  // namespace lexorin::code
