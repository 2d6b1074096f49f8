#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "forms/form_translation_writer.h"
#include "store/string_tables.h"

// Every row of a forms table, read at once, under the keys the translated form writer looks its
// strings up by. A command that writes every form of a project reads the table once this way,
// where a search per string would ask the table file again for each.
namespace lexorin::forms {

class FormTranslationIndex {
  public:
    // Reads every row of `strings`, whatever filter or order its handle has.
    explicit FormTranslationIndex(store::FormRows& strings);

    // The row a search of the table in the order UniqueProperty (form, object path, property
    // key) finds, or with no form in the order Translation (object path, property key): among
    // the rows of those values, the one of the lowest Index. None when there is none.
    std::optional<FormTranslation> Find(std::optional<std::int64_t> form, const std::string& object,
                                        const std::string& property) const;

  private:
    struct Row {
        std::int64_t index = 0;
        FormTranslation translation;
    };
    struct Key {
        std::int64_t form = 0;  // 0 in the keys without a form
        std::string object;
        std::string property;
        bool operator==(const Key& other) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    using Keys = std::unordered_map<Key, std::size_t, KeyHash>;  // to the position in rows_

    std::vector<Row> rows_;
    Keys by_form_;
    Keys by_key_;
};

}  // namespace lexorin::forms
