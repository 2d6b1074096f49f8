#include "forms/form_translation_index.h"

#include <functional>
#include <string_view>
#include <unordered_map>

#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::forms {

namespace {

namespace field = store::field;

// Numeric fields come as their decimal text.
std::int64_t Number(const std::string& text) {
    return std::stoll(text);
}

}  // namespace

std::size_t FormTranslationIndex::KeyHash::operator()(const Key& key) const {
    const std::hash<std::string_view> text;
    std::size_t hash = std::hash<std::int64_t>()(key.form);
    hash = hash * 31 + text(key.object);
    return hash * 31 + text(key.property);
}

FormTranslationIndex::FormTranslationIndex(store::FormRows& strings) {
    store::Table& table = strings.table();
    // One pass over the file per field; the first numbers the rows, the others find them.
    std::unordered_map<std::int64_t, std::size_t> positions;
    table.scan_field(field::Index, [&](std::int64_t row_id, const std::string& text) {
        positions.emplace(row_id, rows_.size());
        rows_.push_back({Number(text), {}});
    });
    std::vector<Key> keys(rows_.size());
    auto read = [&](const char* name, auto take) {
        table.scan_field(name, [&](std::int64_t row_id, const std::string& text) {
            if (const auto at = positions.find(row_id); at != positions.end())
                take(at->second, text);
        });
    };
    read(field::OriginalString,
         [&](std::size_t at, const std::string& text) { rows_[at].translation.original = text; });
    read(field::TranslateString, [&](std::size_t at, const std::string& text) {
        rows_[at].translation.translation = text;
    });
    read(field::SpacesAtEnd, [&](std::size_t at, const std::string& text) {
        rows_[at].translation.spaces_at_end = static_cast<int>(Number(text));
    });
    read(field::UnitName,
         [&](std::size_t at, const std::string& text) { keys[at].form = Number(text); });
    read(field::Object, [&](std::size_t at, const std::string& text) { keys[at].object = text; });
    read(field::Property,
         [&](std::size_t at, const std::string& text) { keys[at].property = text; });
    // The first row of a key is the one of the lowest Index, as the table's orders end in it.
    auto keep_first = [this](Keys& index, Key key, std::size_t at) {
        auto [kept, added] = index.try_emplace(std::move(key), at);
        if (!added && rows_[at].index < rows_[kept->second].index) kept->second = at;
    };
    for (std::size_t at = 0; at < rows_.size(); ++at) {
        keep_first(by_key_, {0, keys[at].object, keys[at].property}, at);
        keep_first(by_form_, std::move(keys[at]), at);
    }
}

std::optional<FormTranslation> FormTranslationIndex::Find(std::optional<std::int64_t> form,
                                                          const std::string& object,
                                                          const std::string& property) const {
    const Keys& keys = form ? by_form_ : by_key_;
    const auto found = keys.find({form.value_or(0), object, property});
    if (found == keys.end()) return std::nullopt;
    return rows_[found->second].translation;
}

}  // namespace lexorin::forms
