#include "code/table_string_store.h"

#include "base/file_utils.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::code {

std::int64_t TableStringStore::UnitIndex(const std::string& path) {
    if (unit_ && unit_->first == path) return unit_->second;
    const std::string name = file_name_of(path);
    if (units_.index_name() != store::order::Name) units_.set_index_name(store::order::Name);
    std::optional<std::int64_t> index;
    // Units of the same name in different folders share the first key; the full path tells
    // them apart.
    if (units_.find_key({store::Value(name)})) {
        for (; !units_.eof(); units_.next()) {
            if (units_.text(store::field::Directory) == path) {
                index = units_.integer(store::field::Index);
                break;
            }
        }
    }
    if (!index) {
        units_.append_record({store::Value(0), store::Value(name), store::Value(path)});
        index = units_.integer(store::field::Index);
        added_.unit = index;
    }
    unit_.emplace(path, *index);
    return *index;
}

std::int64_t TableStringStore::Add(const FoundString& found) {
    const std::int64_t unit_index = UnitIndex(found.unit_path);
    pascal_.append_record({store::Value(0), store::Value(found.original), store::Value(""),
                           store::Value(unit_index), store::Value(false),
                           store::Value(found.ignore), store::Value(found.context),
                           store::Value(found.new_line), store::Value(found.original_line),
                           store::Value(found.spaces_at_end)});
    added_.pascal.push_back(pascal_.integer(store::field::Index));
    return added_.pascal.back();
}

void AddedRows::TakeBack(store::Table& units_table,
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
    if (unit) remove(units_table, *unit);
}

void TableStringStore::Flush() {
    pascal_.flush();
    units_.flush();
}

}  // namespace lexorin::code
