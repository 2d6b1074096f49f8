#include "store/translation_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "base/errors.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/translation_fields.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

std::vector<std::string> translations(const std::vector<Suggestion>& suggestions) {
    std::vector<std::string> out;
    for (const auto& s : suggestions) out.push_back(s.translation);
    return out;
}

std::vector<int> percents(const std::vector<Suggestion>& suggestions) {
    std::vector<int> out;
    for (const auto& s : suggestions) out.push_back(s.similarity);
    return out;
}

TEST(Similarity, CountsCharactersNotBytes) {
    EXPECT_EQ(edit_distance(code_points("kitten"), code_points("sitting")), 3);
    EXPECT_EQ(edit_distance(code_points(""), code_points("abc")), 3);
    // "ü" is two bytes and one character: one replacement in six characters.
    EXPECT_EQ(edit_distance(code_points("M\xC3\xBCller"), code_points("Muller")), 1);
    EXPECT_EQ(similarity_percent(code_points("M\xC3\xBCller"), code_points("Muller")), 83);
    // Only equal texts score 100: one change in 300 characters is 99, not a rounded 100.
    const std::string long_text(300, 'a');
    EXPECT_EQ(similarity_percent(code_points(long_text), code_points(long_text + "b")), 99);
    EXPECT_EQ(similarity_percent(code_points("Open"), code_points("Open")), 100);
}

class MemoryTest : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(MemoryTest, ExactMatchesAreKeyedByLanguageAndOriginalAndTheLatestWins) {
    TranslationMemory memory(dir.path());
    memory.Record({"German",
                   "Open",
                   "\xC3\x96"
                   "ffnen",
                   "Demo",
                   {}});
    memory.Record({"French", "Open", "Ouvrir", "Demo", {}});
    memory.Record({"german", "Open", "Aufmachen", "Other", "20240102T030405Z"});
    EXPECT_EQ(memory.Count(), 2);
    auto german = memory.Find("GERMAN", "Open");
    ASSERT_TRUE(german);
    EXPECT_EQ(german->translation, "Aufmachen");
    EXPECT_EQ(german->project, "Other");
    EXPECT_EQ(german->changed, "20240102T030405Z");
    EXPECT_EQ(memory.Find("French", "Open")->translation, "Ouvrir");
    EXPECT_FALSE(memory.Find("German", "open"));  // originals are compared exactly
    EXPECT_FALSE(memory.Find("Spanish", "Open"));
    // Nothing to reuse in a blank entry.
    memory.Record({"German", "Close", "", "Demo", {}});
    EXPECT_FALSE(memory.Find("German", "Close"));
}

TEST_F(MemoryTest, SuggestionsComeExactFirstThenByFallingSimilarity) {
    TranslationMemory memory(dir.path());
    memory.Record({{"German",
                    "Open the file",
                    "Die Datei \xC3\xB6"
                    "ffnen",
                    "A",
                    {}},
                   {"German",
                    "Open the files",
                    "Die Dateien \xC3\xB6"
                    "ffnen",
                    "A",
                    {}},
                   {"German",
                    "Open a file",
                    "Eine Datei \xC3\xB6"
                    "ffnen",
                    "B",
                    {}},
                   {"German",
                    "Close the file",
                    "Die Datei schlie\xC3\x9F"
                    "en",
                    "B",
                    {}},
                   {"German", "Something else entirely", "Ganz anders", "B", {}},
                   {"French", "Open the file", "Ouvrir le fichier", "C", {}}});
    auto all = memory.Suggestions("German", "Open the file", 10);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(percents(all), (std::vector<int>{100, 92, 76, 64}));
    EXPECT_EQ(all[0].project, "A");
    EXPECT_EQ(all[1].original, "Open the files");  // 1 of 14
    EXPECT_EQ(all[2].original, "Open a file");     // 3 of 13
    EXPECT_EQ(all[3].original, "Close the file");  // 5 of 14
    // The limit cuts from the end, the threshold from below.
    EXPECT_EQ(translations(memory.Suggestions("German", "Open the file", 2)),
              (std::vector<std::string>{"Die Datei \xC3\xB6"
                                        "ffnen",
                                        "Die Dateien \xC3\xB6"
                                        "ffnen"}));
    EXPECT_EQ(memory.Suggestions("German", "Open the file", 10, 85).size(), 2u);
    // Without an exact match the best fuzzy one leads.
    auto fuzzy = memory.Suggestions("German", "Open these files", 3, 70);
    ASSERT_FALSE(fuzzy.empty());
    EXPECT_EQ(fuzzy[0].original, "Open the files");
    EXPECT_LT(fuzzy[0].similarity, 100);
    EXPECT_TRUE(memory.Suggestions("Spanish", "Open the file", 3).empty());
}

TEST_F(MemoryTest, EntriesAddedAfterTheIndexWasBuiltAreFound) {
    TranslationMemory memory(dir.path());
    memory.Record({"German", "Save the document", "Dokument speichern", "A", {}});
    ASSERT_EQ(memory.Suggestions("German", "Save the documents", 5).size(), 1u);  // builds it
    memory.Record({"German", "Save the documents now", "Jetzt speichern", "A", {}});
    EXPECT_EQ(memory.Suggestions("German", "Save the documents", 5).size(), 2u);
    // Another connection's entries are seen too: the index is built anew.
    {
        TranslationMemory other(dir.path());
        other.Record({"German", "Save all documents", "Alle speichern", "B", {}});
    }
    EXPECT_EQ(memory.Suggestions("German", "Save the documents", 5).size(), 3u);
    // A changed translation reaches the suggestions without a new entry.
    memory.Record({"German", "Save the document", "Das Dokument sichern", "C", {}});
    auto hits = memory.Suggestions("German", "Save the documents", 5);
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].translation, "Das Dokument sichern");
}

// The index's filters must never lose a match: its answers equal those of measuring every entry.
TEST_F(MemoryTest, FuzzyIndexFindsWhatMeasuringEveryEntryFinds) {
    std::mt19937 random(7);
    const std::vector<std::string> words = {"open",
                                            "file",
                                            "save",
                                            "the",
                                            "a",
                                            "close",
                                            "all",
                                            "new",
                                            "data",
                                            "Edit",
                                            "view",
                                            "\xC3\xA4"
                                            "nd"};
    auto sentence = [&] {
        std::string text;
        const int count = 1 + static_cast<int>(random() % 5);
        for (int i = 0; i < count; ++i) text += (i ? " " : "") + words[random() % words.size()];
        if (random() % 3 == 0) text += "s";
        return text;
    };
    std::vector<FuzzyIndex::Entry> entries;
    std::set<std::string> seen;
    for (std::int64_t id = 1; entries.size() < 400; ++id)
        if (std::string text = sentence(); seen.insert(text).second) entries.push_back({id, text});
    FuzzyIndex index(entries);
    for (int round = 0; round < 60; ++round) {
        const std::string query = sentence();
        const int threshold = 40 + 10 * (round % 6);
        std::set<std::int64_t> expected;
        for (const auto& entry : entries)
            if (similarity_percent(code_points(query), code_points(entry.original_utf8)) >=
                threshold)
                expected.insert(entry.entry_id);
        if (expected.size() > FuzzyIndex::kMeasured / 2) continue;  // beyond the measured few
        std::set<std::int64_t> found;
        int last = 100;
        for (const FuzzyHit& hit : index.search(query, threshold, entries.size())) {
            found.insert(hit.entry_id);
            EXPECT_LE(hit.similarity, last);
            last = hit.similarity;
        }
        EXPECT_EQ(found, expected) << "query \"" << query << "\" at " << threshold << "%";
    }
}

TEST_F(MemoryTest, AFileThatIsNoMemoryIsRefusedAndLeftAsItIs) {
    const std::string path = dir.file(kTranslationMemoryFile);
    write_test_file(path, "these bytes are no database at all, and more than a header's worth; " +
                              std::string(200, 'x'));
    const std::string before = read_test_file(path);
    try {
        TranslationMemory memory(dir.path());
        FAIL() << "opened";
    } catch (const StoreError& e) {
        EXPECT_EQ(
            std::string(e.what()).rfind("The translation memory " + path + " cannot be used:", 0),
            0u)
            << e.what();
    }
    EXPECT_EQ(read_test_file(path), before);

    // A table of the program under that name is no memory either.
    std::filesystem::remove(path);
    create_table(path, pascal_schema());
    const std::string table = read_test_file(path);
    EXPECT_THROW(TranslationMemory{dir.path()}, StoreError);
    EXPECT_EQ(read_test_file(path), table);

    // An empty file, as a creation cut short leaves it, becomes a memory.
    std::filesystem::remove(path);
    write_test_file(path, "");
    TranslationMemory memory(dir.path());
    memory.Record({"German", "Yes", "Ja", "A", {}});
    EXPECT_EQ(memory.Count(), 1);
}

TEST_F(MemoryTest, AMissingFolderIsNamed) {
    EXPECT_THROW(TranslationMemory{dir.file("gone")}, StoreError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
}

// Tables written before NeedsReview existed get it on open, filled with false, and keep rows.
TEST(NeedsReviewField, OlderTablesGetItOnOpen) {
    TempDir dir;
    Session session;
    const TableFolder folder{session, dir.dir()};
    TableSchema old_pascal = pascal_schema();
    old_pascal.fields.pop_back();
    create_table(dir.file("P_L_pascal.db"), old_pascal);
    TableSchema first_forms = forms_schema();
    first_forms.fields.resize(first_forms.fields.size() - 2);  // no Context, no NeedsReview
    create_table(dir.file("P_L_forms.db"), first_forms);
    {
        Table pascal(session, dir.path(), "P_L_pascal.db");
        pascal.open();
        pascal.append_record({0, "Hello", "Hallo", 1, true});
        Table forms(session, dir.path(), "P_L_forms.db");
        forms.open();
        forms.append_record({0, "OK", "OK", 1, true, false, "FORM1.BUTTON1", "Caption"});
    }
    PascalRows pascal(folder, "P", "L");
    ASSERT_TRUE(pascal.table().has_field(field::NeedsReview));
    pascal.table().first();
    EXPECT_EQ(pascal.current().translation, "Hallo");
    EXPECT_FALSE(pascal.current().needs_review);
    FormRows forms(folder, "P", "L");
    EXPECT_TRUE(forms.table().has_field(field::Context));
    forms.table().first();
    EXPECT_FALSE(forms.current().needs_review);

    PascalRow review = pascal.current();
    review.needs_review = true;
    review.original = "Bye";
    const std::int64_t index = pascal.append(review);
    ASSERT_TRUE(pascal.table().find_key({index}));
    EXPECT_TRUE(pascal.current().needs_review);
}

// A copy into a table not yet given the field (opened untyped) leaves the field out.
TEST(NeedsReviewField, CopiesReachTablesWithoutIt) {
    TempDir dir;
    Session session;
    TableSchema old_pascal = pascal_schema();
    old_pascal.fields.pop_back();
    create_table(dir.file("old.db"), old_pascal);
    Table old(session, dir.path(), "old.db");
    old.open();
    PascalRow row;
    row.index = 7;
    row.original = "Hello";
    row.needs_review = true;
    AppendCopy(old, row);
    ASSERT_TRUE(old.find_key({std::int64_t{7}}));
    EXPECT_FALSE(PascalRowAt(old).needs_review);
    EXPECT_EQ(PascalRowAt(old).original, "Hello");
}

}  // namespace
