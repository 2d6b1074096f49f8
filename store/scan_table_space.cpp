#include "store/scan_table_space.h"

#include <cstdint>
#include <filesystem>

namespace lexorin::store {

namespace {

// Room for the journals besides the pages they keep: the batch journal (two paths for each of
// up to 200 units, written beside itself before it replaces itself) and the first pages of the
// tables' rollback journals.
constexpr std::uintmax_t kJournals = 128 * 1024;

std::uintmax_t FileSize(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// A table's bytes per row, from its file.
std::uintmax_t BytesPerRow(Table& table) {
    const int rows = table.record_count();
    return rows > 0 ? FileSize(table.path()) / static_cast<std::uintmax_t>(rows) : 0;
}

}  // namespace

// The rows the other languages lack, at the scanned table's bytes per row; the rollback
// journals, which hold the pages a commit changes in the tables as they stand: at most about a
// quarter of a table (its index on the text, measured at an eighth, and the last pages of the
// rows).
void AddLanguageTableNeeds(DiskSpaceNeeds& needs, const std::string& program_directory,
                           Table& scanned, std::vector<LanguageTable>& others) {
    const std::uintmax_t per_row = BytesPerRow(scanned);
    std::uintmax_t missing = 0;
    std::uintmax_t tables = FileSize(scanned.path());
    for (auto& other : others) {
        const int lacking = scanned.record_count() - other.table->record_count();
        if (lacking > 0) missing += static_cast<std::uintmax_t>(lacking) * per_row;
        tables += FileSize(other.table->path());
    }
    if (missing > 0)
        needs.Add(program_directory, missing, "the rows the other languages lack",
                  "copied to them first");
    needs.Add(program_directory, tables / 4 + kJournals, "the journals of the tables",
              "a journal keeps up to a quarter of its table as it stands");
}

}  // namespace lexorin::store
