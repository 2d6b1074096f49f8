#include "store/translation_memory.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"

namespace lexorin::store {

namespace {

constexpr const char* kSchema =
    "CREATE TABLE entries ("
    " id INTEGER PRIMARY KEY,"
    " language TEXT NOT NULL COLLATE NOCASE,"
    " original TEXT NOT NULL,"
    " translation TEXT NOT NULL,"
    " project TEXT NOT NULL DEFAULT '',"
    " changed TEXT NOT NULL DEFAULT '',"
    " UNIQUE (language, original));";

constexpr const char* kColumns = "language, original, translation, project, changed";

MemoryEntry entry_at(const Statement& row, int first = 0) {
    return {row.column_text(first), row.column_text(first + 1), row.column_text(first + 2),
            row.column_text(first + 3), row.column_text(first + 4)};
}

// The transaction of one Record: rolled back unless committed.
class WriteTransaction {
  public:
    WriteTransaction(sqlite3* db, const std::string& path) : db_(db), path_(path) {
        exec_sql(db_, "BEGIN IMMEDIATE", path_);
    }
    ~WriteTransaction() {
        if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit() {
        exec_sql(db_, "COMMIT", path_);
        open_ = false;
    }

  private:
    sqlite3* db_;
    const std::string& path_;
    bool open_ = true;
};

}  // namespace

std::string memory_time_now() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return text;
}

TranslationMemory::TranslationMemory(const std::string& directory)
    : path_(join_path(directory, kTranslationMemoryFile)) {
    if (!directory_exists(directory)) unusable("the folder " + directory + " does not exist");
    std::error_code error;
    const bool fresh = !file_exists(path_) || std::filesystem::file_size(path_, error) == 0;
    sqlite3* raw = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (fresh ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path_.c_str(), &raw, flags, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) unusable(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
    sqlite3_busy_timeout(raw, 3000);
    if (fresh)
        create_schema();
    else
        check_file();
}

TranslationMemory::~TranslationMemory() = default;

void TranslationMemory::unusable(const std::string& why) const {
    throw StoreError("The translation memory " + path_ + " cannot be used: " + why + ".");
}

void TranslationMemory::create_schema() {
    try {
        exec_sql(db(),
                 "BEGIN IMMEDIATE; PRAGMA application_id = " +
                     std::to_string(kTranslationMemoryId) + "; " + kSchema + " COMMIT;",
                 path_);
    } catch (const StoreError& e) {
        sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
        unusable(e.what());
    }
}

void TranslationMemory::check_file() {
    try {
        Statement id(db(), "PRAGMA application_id", path_);
        if (!id.step() || id.column_int(0) != kTranslationMemoryId)
            unusable("the file is no translation memory of this program");
        Statement table(db(), "SELECT " + std::string(kColumns) + " FROM entries LIMIT 0", path_);
        table.run();
    } catch (const StoreError& e) {
        const std::string text = e.what();
        if (starts_with(text, "The translation memory ")) throw;
        // The engine's own complaint, as "file is not a database" for a foreign or cut file.
        unusable(text.substr(std::min(text.size(), path_.size() + 2)));
    }
}

// The statements of one Record, prepared once for all its entries.
struct TranslationMemory::Writer {
    Statement find, update, insert;
    Writer(sqlite3* db, const std::string& path)
        : find(db, "SELECT id FROM entries WHERE language = ? AND original = ?", path),
          update(db, "UPDATE entries SET translation = ?, project = ?, changed = ? WHERE id = ?",
                 path),
          insert(db, "INSERT INTO entries (" + std::string(kColumns) + ") VALUES (?, ?, ?, ?, ?)",
                 path) {}
};

std::int64_t TranslationMemory::record_one(Writer& writer, const MemoryEntry& entry,
                                           const std::string& now) {
    const std::string changed = entry.changed.empty() ? now : entry.changed;
    writer.find.reset();
    writer.find.bind_text(1, entry.language);
    writer.find.bind_text(2, entry.original);
    if (writer.find.step()) {
        const std::int64_t id = writer.find.column_int(0);
        writer.find.reset();
        writer.update.reset();
        writer.update.bind_text(1, entry.translation);
        writer.update.bind_text(2, entry.project);
        writer.update.bind_text(3, changed);
        writer.update.bind_int(4, id);
        writer.update.run();
        return 0;
    }
    writer.insert.reset();
    writer.insert.bind_text(1, entry.language);
    writer.insert.bind_text(2, entry.original);
    writer.insert.bind_text(3, entry.translation);
    writer.insert.bind_text(4, entry.project);
    writer.insert.bind_text(5, changed);
    writer.insert.run();
    return sqlite3_last_insert_rowid(db());
}

void TranslationMemory::Record(const MemoryEntry& entry) {
    Record(std::vector<MemoryEntry>{entry});
}

void TranslationMemory::Record(const std::vector<MemoryEntry>& entries) {
    const std::string now = memory_time_now();
    std::vector<const MemoryEntry*> added;
    std::vector<std::int64_t> added_ids;
    {
        Writer writer(db(), path_);
        WriteTransaction transaction(db(), path_);
        for (const auto& entry : entries) {
            if (trim(entry.language).empty() || entry.original.empty() || entry.translation.empty())
                continue;
            if (const std::int64_t id = record_one(writer, entry, now); id != 0) {
                added.push_back(&entry);
                added_ids.push_back(id);
            }
        }
        transaction.commit();
    }
    // Built indexes learn the new originals; a changed entry keeps its original, the key.
    for (size_t i = 0; i < added.size(); ++i)
        if (auto it = indexes_.find(upper_case(added[i]->language)); it != indexes_.end())
            it->second->add_late(added_ids[i], added[i]->original);
}

std::optional<MemoryEntry> TranslationMemory::Find(const std::string& language,
                                                   const std::string& original_utf8) {
    Statement find(
        db(),
        "SELECT " + std::string(kColumns) + " FROM entries WHERE language = ? AND original = ?",
        path_);
    find.bind_text(1, language);
    find.bind_text(2, original_utf8);
    if (!find.step()) return std::nullopt;
    return entry_at(find);
}

std::int64_t TranslationMemory::data_version() {
    Statement version(db(), "PRAGMA data_version", path_);
    return version.step() ? version.column_int(0) : 0;
}

FuzzyIndex& TranslationMemory::index_for(const std::string& language) {
    // Another connection's commit changes the data version; this connection's own writes reach
    // the indexes as they are made.
    const std::int64_t version = data_version();
    if (version != indexed_version_) {
        indexes_.clear();
        indexed_version_ = version;
    }
    auto& index = indexes_[upper_case(language)];
    if (!index) {
        std::vector<FuzzyIndex::Entry> entries;
        Statement all(db(), "SELECT id, original FROM entries WHERE language = ?", path_);
        all.bind_text(1, language);
        while (all.step()) entries.push_back({all.column_int(0), all.column_text(1)});
        index = std::make_unique<FuzzyIndex>(std::move(entries));
    }
    return *index;
}

std::vector<Suggestion> TranslationMemory::Suggestions(const std::string& language,
                                                       const std::string& original_utf8,
                                                       size_t limit, int min_similarity) {
    std::vector<Suggestion> out;
    if (limit == 0 || original_utf8.empty()) return out;
    // The fuzzy search finds the equal original too, as 100; the exact lookup answers without
    // building an index when that is all the caller wants.
    if (auto exact = Find(language, original_utf8)) {
        out.push_back({exact->original, exact->translation, 100, exact->project, exact->changed});
        if (limit == 1) return out;
    }
    Statement row(db(), "SELECT " + std::string(kColumns) + " FROM entries WHERE id = ?", path_);
    for (const FuzzyHit& hit :
         index_for(language).search(original_utf8, min_similarity, limit + 1)) {
        if (out.size() == limit) break;
        row.reset();
        row.bind_int(1, hit.entry_id);
        if (!row.step()) continue;  // deleted by another connection since the build
        MemoryEntry entry = entry_at(row);
        if (entry.original == original_utf8) continue;  // the exact match, already first
        out.push_back({entry.original, entry.translation, std::min(hit.similarity, 99),
                       entry.project, entry.changed});
    }
    return out;
}

void TranslationMemory::ForEach(const std::optional<std::string>& language,
                                const std::function<void(const MemoryEntry&)>& visit) {
    Statement all(db(),
                  "SELECT " + std::string(kColumns) + " FROM entries" +
                      (language ? " WHERE language = ?" : "") + " ORDER BY language, original",
                  path_);
    if (language) all.bind_text(1, *language);
    while (all.step()) visit(entry_at(all));
}

std::int64_t TranslationMemory::Count(const std::optional<std::string>& language) {
    Statement count(
        db(), std::string("SELECT count(*) FROM entries") + (language ? " WHERE language = ?" : ""),
        path_);
    if (language) count.bind_text(1, *language);
    return count.step() ? count.column_int(0) : 0;
}

}  // namespace lexorin::store
