#include "code/table_string_store.h"

#include "base/file_utils.h"
#include "store/string_tables.h"
#include "store/table_store.h"

namespace lexorin::code {

std::int64_t TableStringStore::UnitIndex(const std::string& path) {
    if (unit_ && unit_->first == path) return unit_->second;
    std::optional<std::int64_t> index = units_.find(path);
    if (!index) {
        index = units_.append({0, file_name_of(path), path});
        added_.unit = index;
    }
    unit_.emplace(path, *index);
    return *index;
}

std::int64_t TableStringStore::Add(const FoundString& found) {
    store::PascalRow row;
    row.original = found.original;
    row.unit = UnitIndex(found.unit_path);
    row.ignore = found.ignore;
    row.context = found.context;
    row.new_line = found.new_line;
    row.original_line = found.original_line;
    row.spaces_at_end = found.spaces_at_end;
    added_.pascal.push_back(pascal_.append(row));
    return added_.pascal.back();
}

void AddedRows::TakeBack(store::FileList& units,
                         const std::vector<store::Table*>& pascal_tables) const noexcept {
    auto remove = [](store::Table& table, std::int64_t index) {
        try {
            const std::string order = table.index_name();
            table.set_index_name("");
            if (table.find_key({store::Value(index)})) table.delete_record();
            table.set_index_name(order);
        } catch (const std::exception&) {
        }
    };
    for (store::Table* pascal_table : pascal_tables)
        for (const std::int64_t index : pascal) remove(*pascal_table, index);
    if (unit) remove(units.table(), *unit);
}

void TableStringStore::Flush() {
    pascal_.flush();
    units_.flush();
}

}  // namespace lexorin::code
