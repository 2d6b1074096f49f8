#pragma once

#include <string>
#include <vector>

#include "store/table_schema.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::store {

// The four kinds of translation table. forms and pascal exist per project and language, units
// (the scanned form files) and pasfiles (the scanned unit files) once per project.
enum class TableKind { Forms, Pascal, Units, PasFiles };

const TableSchema& forms_schema();
const TableSchema& pascal_schema();
const TableSchema& file_list_schema();  // units and pasfiles
const TableSchema& schema_for(TableKind kind);
const char* kind_name(TableKind kind);  // "forms", "pascal", "units", "pasfiles"
bool is_per_language(TableKind kind);

// Template file names in the program directory.
inline constexpr const char* kFormsTemplate = "forms_std.db";
inline constexpr const char* kUnitsTemplate = "units_std.db";
inline constexpr const char* kPascalTemplate = "pascal_std.db";
inline constexpr const char* kPasFilesTemplate = "pasfiles_std.db";
const char* template_name(TableKind kind);

// The row of a file list that stands for all files in the views' unit lists.
inline constexpr const char* kShowAll = "(Show all)";

// The table name builder: project_language_kind for per-language tables, project_kind otherwise.
// Project and language are used exactly as stored. Callers append ".db".
std::string table_base_name(const std::string& project, const std::string& language,
                            const std::string& kind, bool per_language);
// The file name, ".db" appended, of a table of the given kind.
std::string table_file_name(const std::string& project, const std::string& language,
                            TableKind kind);

// Writes any of the four templates missing from `directory`, copying it from `seed_directory`
// when that holds one (the copies built beside the executables), else creating it empty.
void ensure_templates(const std::string& directory, const std::string& seed_directory = {});

// Gives a table written before a field was added to its kind (the forms table's Context, the
// NeedsReview of forms and pascal tables) that field, filled with its default, unless some
// handle holds it open. A missing file is left to the caller.
void upgrade_table(Session& session, const std::string& directory, const std::string& file_name,
                   TableKind kind);

// Raises a StoreError naming the file when the open table lacks a field of `expected`.
void check_schema(const Table& table, const TableSchema& expected);

// The folder that holds the program's tables (the program directory) and the session that
// opens them.
struct TableFolder {
    Session& session;
    std::string directory;
};

}  // namespace lexorin::store
