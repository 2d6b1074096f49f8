#include "store/language_copies.h"

#include "store/held_tables.h"
#include "store/transcopy.h"

namespace lexorin::store {

namespace {

// A handle of its own on the file `table` works on, so that the caller's cursor and order
// stay as they are; it shares the file's open transaction.
std::unique_ptr<Table> SiblingOf(const Table& table) {
    auto sibling = std::make_unique<Table>(table.session(), table.directory(), table.table_name());
    sibling->open();
    return sibling;
}

}  // namespace

std::vector<LanguageTable> OtherLanguageTables(const TableFolder& folder, const Table& scanned,
                                               const std::string& project,
                                               const std::vector<std::string>& languages,
                                               TableKind kind) {
    std::vector<LanguageTable> others;
    for (const auto& language : languages) {
        const std::string name = table_file_name(project, language, kind);
        if (name == scanned.table_name()) continue;
        auto table = std::make_unique<Table>(folder.session, folder.directory, name);
        table->open();
        others.push_back({language, std::move(table)});
    }
    return others;
}

void CatchUpLanguages(const Table& scanned, const std::vector<std::string>& languages,
                      std::vector<LanguageTable>& others, TableKind kind, const std::string& status,
                      Reporter& reporter) {
    const auto source = SiblingOf(scanned);
    for (const auto& language : languages) {
        reporter.status(status + language);
        for (auto& other : others) {
            if (other.language != language) continue;
            HeldTables held({other.table.get()});
            CopyMissingRows(*source, *other.table, 0, kind, &reporter);
            held.Commit();
        }
    }
    reporter.status("");
}

void CopyNewRows(const Table& scanned, std::vector<LanguageTable>& others, std::int64_t after,
                 TableKind kind, const std::string& status, Reporter& reporter) {
    if (others.empty()) return;
    const auto source = SiblingOf(scanned);
    for (auto& other : others) {
        if (!status.empty()) reporter.status(status + other.language);
        CopyMissingRows(*source, *other.table, after, kind, &reporter);
    }
    if (!status.empty()) reporter.status("");
}

std::vector<Table*> TablesOf(std::vector<LanguageTable>& others) {
    std::vector<Table*> tables;
    for (auto& other : others) tables.push_back(other.table.get());
    return tables;
}

}  // namespace lexorin::store
