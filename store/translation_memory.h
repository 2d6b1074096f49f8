#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/fuzzy_index.h"
#include "store/sqlite_handle.h"

// The translation memory: every translation posted in any project, for reuse in the others. One
// SQLite file per program directory, beside the tables, holding the table
//   entries(id, language, original, translation, project, changed)
// one row per language and original (languages compared without regard to ASCII case), the
// latest translation winning. Texts are UTF-8 whatever the code page of the project they came
// from; `changed` is UTC in the basic form of TMX dates, "20240501T140300Z".
// The fuzzy index (store/fuzzy_index.h) of a language is built in memory at its first fuzzy
// lookup and rebuilt when another connection changed the file since.
namespace lexorin::store {

inline constexpr const char* kTranslationMemoryFile = "translation_memory.db";
// The application id of the file, "LXTM".
inline constexpr int kTranslationMemoryId = 0x4C58544D;
// Suggestions below this similarity are not worth a translator's look.
inline constexpr int kDefaultMinSimilarity = 50;

struct MemoryEntry {
    std::string language;
    std::string original;
    std::string translation;
    std::string project;  // where the translation was made, or the file it was imported from
    std::string changed;  // empty on Record: now
};

// One suggestion for a row: an entry and how similar its original is to the row's (100: equal).
struct Suggestion {
    std::string original;
    std::string translation;
    int similarity = 0;
    std::string project;
    std::string changed;
};

// "20240501T140300Z" for now.
std::string memory_time_now();

class TranslationMemory {
  public:
    // Opens `directory`/translation_memory.db, creating it when it does not exist (or is empty,
    // as a creation cut short leaves it). Raises StoreError "The translation memory <path> cannot
    // be used: <why>." for a file that is no translation memory; such a file is left as it is.
    explicit TranslationMemory(const std::string& directory);
    ~TranslationMemory();
    TranslationMemory(const TranslationMemory&) = delete;
    TranslationMemory& operator=(const TranslationMemory&) = delete;

    const std::string& path() const { return path_; }

    // Adds or updates the entry for (language, original); entries with an empty language,
    // original or translation are skipped. The list form is one transaction: all or nothing.
    void Record(const MemoryEntry& entry);
    void Record(const std::vector<MemoryEntry>& entries);

    // The entry whose original equals `original_utf8` exactly.
    std::optional<MemoryEntry> Find(const std::string& language, const std::string& original_utf8);

    // The best suggestions for a row: the exact match first, then fuzzy matches of at least
    // `min_similarity` percent, best first, at most `limit` in all.
    std::vector<Suggestion> Suggestions(const std::string& language,
                                        const std::string& original_utf8, size_t limit,
                                        int min_similarity = kDefaultMinSimilarity);

    // Every entry, of `language` only when given, ordered by language and original.
    void ForEach(const std::optional<std::string>& language,
                 const std::function<void(const MemoryEntry&)>& visit);
    std::int64_t Count(const std::optional<std::string>& language = std::nullopt);

  private:
    void create_schema();
    void check_file();
    struct Writer;
    // The id of the entry when it was added, 0 when an entry was updated.
    std::int64_t record_one(Writer& writer, const MemoryEntry& entry, const std::string& now);
    sqlite3* db() const { return db_.get(); }
    FuzzyIndex& index_for(const std::string& language);
    std::int64_t data_version();
    [[noreturn]] void unusable(const std::string& why) const;

    std::string path_;
    DatabaseHandle db_;
    std::map<std::string, std::unique_ptr<FuzzyIndex>> indexes_;  // by upper-cased language
    std::int64_t indexed_version_ = -1;
};

}  // namespace lexorin::store
