#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lexorin::store {

// Text: a plain text field, trailing blanks dropped on write; usable in filters and orders.
// Memo: text of any length, kept as written. Logical: stored as 0 or 1.
enum class FieldType { Text, Memo, Integer, Logical };

// Integer and logical fields are stored as numbers, the others as texts.
inline bool is_numeric(FieldType type) {
    return type == FieldType::Integer || type == FieldType::Logical;
}

struct FieldDef {
    std::string name;
    FieldType type;
    // The value a new row starts with: a number for integer and logical fields, else a text.
    std::string default_value = {};
};

// A named secondary order over some fields.
struct OrderDef {
    std::string name;
    std::vector<std::string> fields;
};

// The name of the integer key that the store numbers on append.
inline constexpr const char* kNumberedKey = "Index";

struct TableSchema {
    std::vector<FieldDef> fields;
    std::vector<OrderDef> orders;
    // The first field is the integer key kNumberedKey, numbered by the store on append.
    bool numbered_key = true;
};

// One stored field value: a number for integer and logical fields, a text otherwise.
struct FieldValue {
    std::int64_t number = 0;
    std::string text;
};

}  // namespace lexorin::store
