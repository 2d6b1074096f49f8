#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/reporter.h"
#include "store/string_tables.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// A scan's rows in every language: the forms or pascal tables of all languages of a project
// hold the same strings under the same numbers, so the rows a scan adds to the scanned
// language's table go to the same table of each other language, in the same unit of work.
namespace lexorin::store {

// The table of one other language, open on its own handle.
struct LanguageTable {
    std::string language;
    std::unique_ptr<Table> table;
};

// The tables of `kind` of the project's languages whose table name differs from `scanned`'s,
// in list order, open.
std::vector<LanguageTable> OtherLanguageTables(const TableFolder& folder, const Table& scanned,
                                               const std::string& project,
                                               const std::vector<std::string>& languages,
                                               TableKind kind);

// Brings each of `others` level with `scanned` before a scan: every row it lacks (a scan an
// older version broke off between languages), under its number, each table as one unit of
// work, so that a full disk leaves it as it was. Every language of the list is announced by
// `status` + language, in list order, the scanned one too (it needs no copy).
void CatchUpLanguages(const Table& scanned, const std::vector<std::string>& languages,
                      std::vector<LanguageTable>& others, TableKind kind, const std::string& status,
                      Reporter& reporter);

// Copies the rows of `scanned` numbered after `after` into each of `others`, inside whatever
// unit of work holds them; each announced by `status` + language unless `status` is empty.
void CopyNewRows(const Table& scanned, std::vector<LanguageTable>& others, std::int64_t after,
                 TableKind kind, const std::string& status, Reporter& reporter);

// The tables of `others`, for a unit of work.
std::vector<Table*> TablesOf(std::vector<LanguageTable>& others);

}  // namespace lexorin::store
