#pragma once

#include <memory>
#include <string>

#include "base/reporter.h"
#include "store/string_tables.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::store {

// Copies a table with all its files to a new name, never overwriting. On failure raises
// StoreError "While copying <source> to <destination>, the  database engine   generated the
// error '<engine text>'" and leaves no destination file behind.
void CopyTableFile(Session& session, const std::string& source_directory,
                   const std::string& source_name, const std::string& destination_directory,
                   const std::string& destination_name);

// The strings of one language: rows, and rows neither translated nor ignored.
struct StringCounts {
    int forms_rows = 0;
    int forms_untranslated = 0;
    int pascal_rows = 0;
    int pascal_untranslated = 0;
};

// Counts the rows of a forms and a pascal table; the reporter, when given, may repaint between
// rows.
StringCounts CountStrings(Table& forms, Table& pascal, Reporter* reporter);

// Appends to `out` every row of `in` numbered after `after` that `out` lacks (matched by
// `Index`), each under its own number: the units refer to a string by one number in every
// language, also where the rows of one table have gaps (rows taken back) that another lacks.
// Rows already in `out` stay as they are. Leaves both handles in primary order. Returns how many
// rows it appended. The reporter, when given, may repaint between rows.
int CopyMissingRows(Table& in, Table& out, std::int64_t after, TableKind kind, Reporter* reporter);

// Brings into the table `to` every string row of the table `from` (both in `path`, of `kind`)
// that it lacks, matched by `Index` alone and each appended under its number, without touching
// rows already there.
void CopyRows(Session& session, const std::string& path, const std::string& from,
              const std::string& to, TableKind kind, Reporter* reporter);

// Checks, before a scan changes anything, that the tables of every language of `kind` and the
// project's file list open as tables of this program and may be written; raises an Error
// naming the first that cannot.
void RequireWritableTables(const TableFolder& folder, const std::string& project,
                           const std::vector<std::string>& languages, TableKind kind);

}  // namespace lexorin::store
