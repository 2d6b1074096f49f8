// Spelling of translations with Hunspell: a small dictionary written here for the exact rules,
// and the German one Debian installs (hunspell-de-de) for a dictionary in its own encoding.
#include "project/spelling.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace lexorin::project {
namespace {

using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

std::vector<std::string> Words(const std::vector<Misspelling>& found) {
    std::vector<std::string> words;
    for (const auto& wrong : found) words.push_back(wrong.word);
    return words;
}

// A dictionary of a few words, in UTF-8, named like Debian's.
void WriteDictionary(const TempDir& folder, const std::string& name) {
    write_test_file(folder.file(name + ".aff"), "SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n");
    write_test_file(folder.file(name + ".dic"),
                    "7\nfile\nopen\nsave\ndon't\nsize\nGr\xC3\xB6\xC3\x9F"
                    "e\nrows\n");
}

TEST(SpellChecker, FindsTheUnknownWordsAndPassesOverWhatIsNoWord) {
    TempDir folder;
    WriteDictionary(folder, "en_GB");
    SpellChecker checker("English", {folder.path()});  // no en_EN: the one region there is
    ASSERT_TRUE(checker.available());
    EXPECT_EQ(checker.dictionary(), folder.file("en_GB"));

    EXPECT_TRUE(checker.Check("Open file").empty());
    // Accelerators, placeholders, codes, numbers and words with digits are no words to check.
    EXPECT_TRUE(checker.Check("&Open %d rows, %1:s %-10.2f file2 #13#10 42 sa&ve").empty());
    EXPECT_TRUE(checker.Check("Don't save").empty());  // an apostrophe inside
    EXPECT_TRUE(checker
                    .Check("Gr\xC3\xB6\xC3\x9F"
                           "e")
                    .empty());  // a letter beyond ASCII

    const auto found = checker.Check("Opne the file");
    EXPECT_EQ(Words(found), (std::vector<std::string>{"Opne", "the"}));
    EXPECT_EQ(found[0].offset, 0u);
    EXPECT_EQ(found[1].offset, 5u);
    ASSERT_FALSE(found[0].suggestions.empty());
    EXPECT_EQ(found[0].suggestions[0], "Open");
    EXPECT_TRUE(checker.Check("Opne", 0)[0].suggestions.empty());
    // Text that is no UTF-8 has no spelling to speak of.
    EXPECT_TRUE(checker.Check("Opne \xFF").empty());
}

TEST(SpellChecker, ADictionaryNameOrALanguageFindsItsFileAndNoneLeavesTheCheckerOff) {
    TempDir folder;
    WriteDictionary(folder, "de_AT");
    WriteDictionary(folder, "de_DE");
    EXPECT_EQ(SpellChecker("German", {folder.path()}).dictionary(), folder.file("de_DE"));
    EXPECT_EQ(SpellChecker("de_AT", {folder.path()}).dictionary(), folder.file("de_AT"));

    for (const std::string language : {"French", "Klingon", "", "de_CH"}) {
        SpellChecker off(language, {folder.path(), folder.file("missing")});
        EXPECT_FALSE(off.available()) << language;
        EXPECT_TRUE(off.Check("anything at all").empty());
    }
    // An .aff without its .dic is no dictionary.
    TempDir half;
    write_test_file(half.file("fr_FR.aff"), "SET UTF-8\n");
    EXPECT_FALSE(SpellChecker("French", {half.path()}).available());
}

TEST(SpellChecker, DebiansGermanDictionaryChecksUtf8TextInItsOwnEncoding) {
    SpellChecker german("German", SpellChecker::DefaultDictionaryFolders());
    if (!german.available()) GTEST_SKIP() << "no German dictionary (package hunspell-de-de)";
    EXPECT_TRUE(german
                    .Check("Gr\xC3\xB6\xC3\x9F"
                           "e der &Datei \xC3\xA4ndern")
                    .empty());
    const auto found = german.Check(
        "Dattei \xC3\xB6"
        "ffnen");
    ASSERT_EQ(Words(found), std::vector<std::string>{"Dattei"});
    EXPECT_NE(std::find(found[0].suggestions.begin(), found[0].suggestions.end(), "Datei"),
              found[0].suggestions.end());
}

}  // namespace
}  // namespace lexorin::project
