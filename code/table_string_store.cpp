#include "code/table_string_store.h"

#include <climits>
#include <cstdint>

#include "base/file_utils.h"
#include "store/string_tables.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::code {

void UnitRowIndex::Load() {
    names_.clear();
    by_path_.clear();
    by_index_.clear();
    store::Table& table = units_.table();
    // FileList::find leaves the handle in name order; so does this.
    if (table.index_name() != store::order::Name) table.set_index_name(store::order::Name);
    for (table.first(); !table.eof(); table.next())
        Insert(table.integer(store::field::Index),
               {table.text(store::field::UnitName), table.text(store::field::Directory)});
    loaded_ = true;
}

void UnitRowIndex::Insert(std::int64_t index, Row row) {
    ++names_[row.name];
    by_path_[row.path].emplace(row.name, index);
    by_index_[index] = std::move(row);
}

std::optional<std::int64_t> UnitRowIndex::Find(const std::string& path) {
    if (!loaded_) Load();
    // FileList::find: from the first row of the file's name on, in name order, the first row of
    // the path; none when no row has the name.
    const std::string name = file_name_of(path);
    if (names_.count(name) == 0) return std::nullopt;
    const auto rows = by_path_.find(path);
    if (rows == by_path_.end()) return std::nullopt;
    const auto first = rows->second.lower_bound({name, INT64_MIN});
    if (first == rows->second.end()) return std::nullopt;
    return first->second;
}

void UnitRowIndex::Added(std::int64_t index, const std::string& path) {
    if (loaded_) Insert(index, {file_name_of(path), path});
}

void UnitRowIndex::Removed(std::int64_t index) {
    const auto row = by_index_.find(index);
    if (!loaded_ || row == by_index_.end()) return;
    if (--names_[row->second.name] == 0) names_.erase(row->second.name);
    const auto rows = by_path_.find(row->second.path);
    rows->second.erase({row->second.name, index});
    if (rows->second.empty()) by_path_.erase(rows);
    by_index_.erase(row);
}

std::int64_t TableStringStore::UnitIndex(const std::string& path) {
    if (unit_ && unit_->first == path) return unit_->second;
    std::optional<std::int64_t> index = rows_ ? rows_->Find(path) : units_.find(path);
    if (!index) {
        index = units_.append({0, file_name_of(path), path});
        added_.unit = index;
        if (rows_) rows_->Added(*index, path);
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

void TableStringStore::TakeBack(const std::vector<store::Table*>& pascal_tables) {
    added_.TakeBack(units_, pascal_tables);
    if (rows_ && added_.unit) rows_->Removed(*added_.unit);
    added_ = {};
    unit_.reset();
}

void TableStringStore::Flush() {
    pascal_.flush();
    units_.flush();
}

}  // namespace lexorin::code
