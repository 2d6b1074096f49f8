#include "code/restored_literals.h"

#include <unordered_map>

#include "store/string_tables.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::code {

RestoredLiterals RestoredLiterals::Load(const store::PascalRows& pascal,
                                        const store::FileList& units) {
    RestoredLiterals restored;
    store::Table rows(pascal.table().session(), pascal.table().directory(), pascal.file_name());
    rows.open();
    rows.set_filter(std::string(store::field::NewLine) + "=0 and " + store::field::Ignore + "=1");
    rows.set_filtered(true);
    if (rows.record_count() == 0) return restored;

    std::unordered_map<std::int64_t, std::string> unit_paths;
    store::Table files(units.table().session(), units.table().directory(), units.file_name());
    files.open();
    for (files.first(); !files.eof(); files.next())
        unit_paths.emplace(files.integer(store::field::Index), files.text(store::field::Directory));

    for (rows.first(); !rows.eof(); rows.next()) {
        auto unit = unit_paths.find(rows.integer(store::field::UnitName));
        if (unit == unit_paths.end()) continue;
        // The store drops trailing blanks; SpacesAtEnd gives them back.
        std::string literal = rows.text(store::field::OriginalString);
        literal.append(
            static_cast<size_t>(std::max<std::int64_t>(0, rows.integer(store::field::SpacesAtEnd))),
            ' ');
        restored.Add(unit->second, std::move(literal));
    }
    return restored;
}

const RestoredLiterals& RestoredLiterals::None() {
    static const RestoredLiterals none;
    return none;
}

void RestoredLiterals::Add(const std::string& unit_path, std::string literal) {
    by_unit_[unit_path].insert(std::move(literal));
}

bool RestoredLiterals::Contains(const std::string& unit_path, std::string_view literal) const {
    auto unit = by_unit_.find(unit_path);
    return unit != by_unit_.end() && unit->second.find(literal) != unit->second.end();
}

}  // namespace lexorin::code
