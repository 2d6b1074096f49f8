#pragma once

#include <string>
#include <vector>

#include "store/table_schema.h"

namespace lexorin::store {

// One comparison of a filter expression: field, operator and the value to compare with.
struct Comparison {
    int field = -1;     // position in the schema
    std::string op;     // "=", "<>", "<", ">", "<=", ">="
    bool text = false;  // the value was quoted
    std::string value;  // unquoted text, or the number as written
};

// Parses comparisons joined by " and ": field=number, field<>number, field='text' (an apostrophe
// inside the quotes is doubled). Field names match without regard to case and must exist in the
// schema. An empty expression gives no comparisons. Raises StoreError on anything else.
std::vector<Comparison> parse_filter(const std::string& expression, const TableSchema& schema);

}  // namespace lexorin::store
