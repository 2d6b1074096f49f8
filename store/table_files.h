#pragma once

#include <string>
#include <vector>

#include "store/table_schema.h"

namespace lexorin::store {

class Session;

// Creates a new, empty table file with the given schema; fails if the file exists.
void create_table(const std::string& path, const TableSchema& schema);
// Adds to an existing table file the fields of `schema` it lacks (a file written by an earlier
// version), each filled with its default, and returns their names; but only when every one of
// them is among `addable`, the fields added since: a file that lacks any other is not one of
// these tables and stays untouched. No handle of `session` may hold the file open. Raises
// StoreError naming the file when the file cannot be changed.
std::vector<std::string> add_missing_fields(Session& session, const std::string& path,
                                            const TableSchema& schema,
                                            const std::vector<std::string>& addable);
// Copies a table to a new file, never overwriting. Raises StoreError with the engine's text
// (only the engine's text: callers build the message the user sees).
void copy_table(Session& session, const std::string& source, const std::string& destination);
// Finds a file in `directory` whose name equals `name` without regard to case; "" if none.
std::string find_file_no_case(const std::string& directory, const std::string& name);
// Why something at `path` can be no table file ("it is a folder, not a table file", "it is a
// link to X, which does not exist", ...), or "" when nothing is there or a regular file is.
std::string why_not_a_table_file(const std::string& path);
// All files of the table with this file name: the file itself and its engine companions
// (journals), found without regard to case.
std::vector<std::string> table_files(const std::string& directory, const std::string& name);

}  // namespace lexorin::store
