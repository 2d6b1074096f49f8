// The core of the translation editor's workbench: its filter, the files' progress, the memory's
// suggestions and the checks of a typed text.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/code_page.h"
#include "editor/editor_filter.h"
#include "editor/memory_suggestions.h"
#include "editor/typed_checks.h"
#include "store/table_files.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::editor;

TEST(EditorFilterTest, TheBoxesTheStateAndTheFileMakeOneExpressionWithoutRepeats) {
    EXPECT_EQ(FilterExpression({}), "");
    EditorFilter boxes;
    boxes.no_ignored = true;
    boxes.not_translated = true;
    EXPECT_EQ(FilterExpression(boxes), "Ignore=0 and Translated=0");
    boxes.state = StateFilter::Untranslated;  // asks for both again: each stays once
    EXPECT_EQ(FilterExpression(boxes), "Ignore=0 and Translated=0");
    EditorFilter review;
    review.changed_only = true;
    review.state = StateFilter::NeedsReview;
    review.file = 7;
    EXPECT_EQ(FilterExpression(review), "Changed=1 and NeedsReview=1 and UnitName=7");
    EditorFilter untranslated;
    untranslated.state = StateFilter::Untranslated;
    EXPECT_EQ(FilterExpression(untranslated), "Translated=0 and Ignore=0");
    // Problems are found row by row: no term.
    EditorFilter problems;
    problems.state = StateFilter::Problems;
    EXPECT_EQ(FilterExpression(problems), "");
}

TEST(EditorFilterTest, StateNamesGoBothWaysAndAnUnknownNameShowsAll) {
    for (auto state : {StateFilter::All, StateFilter::Untranslated, StateFilter::NeedsReview,
                       StateFilter::Problems})
        EXPECT_EQ(state_filter_from_key(state_filter_key(state)), state);
    EXPECT_EQ(state_filter_from_key("Review"), StateFilter::All);
    EXPECT_EQ(state_filter_from_key(""), StateFilter::All);
}

TEST(EditorFilterTest, ProgressCountsTheRowsOfEachFileThatAreNotIgnored) {
    lexorin::testing::TempDir dir;
    store::Session session;
    store::create_table(dir.file("pascal.db"), store::pascal_schema());
    store::Table pascal(session, dir.path(), "pascal.db");
    pascal.open();
    // File 2: two translated, one not, one ignored (translated or not, it does not count).
    pascal.append_record({0, "A", "a", 2, true, false});
    pascal.append_record({0, "B", "b", 2, true, false});
    pascal.append_record({0, "C", "", 2, false, false});
    pascal.append_record({0, "D", "d", 2, true, true});
    // File 3: everything ignored; file 5: nothing translated.
    pascal.append_record({0, "E", "", 3, false, true});
    pascal.append_record({0, "F", "", 5, false, false});
    pascal.flush();
    // The handle's filter does not narrow the counts.
    pascal.set_filter("UnitName=5");
    pascal.set_filtered(true);
    const auto progress = ProgressByFile(pascal);
    ASSERT_EQ(progress.size(), 3u);
    EXPECT_EQ(progress.at(2).translated, 2);
    EXPECT_EQ(progress.at(2).total, 3);
    EXPECT_EQ(progress.at(3).total, 0);
    EXPECT_EQ(progress.at(5).translated, 0);
    EXPECT_EQ(progress.at(5).total, 1);
    EXPECT_EQ(ProgressText(progress.at(2)), "2 of 3 translated");
}

TEST(MemorySuggestionsTest, AMissingMemoryIsNotCreatedAndSaysSo) {
    lexorin::testing::TempDir dir;
    MemorySuggestions source(dir.path(), "German");
    EXPECT_TRUE(source.For("Open", false, CodePage()).empty());
    EXPECT_EQ(source.note(), "No translation memory yet.");
    EXPECT_FALSE(std::filesystem::exists(dir.file(store::kTranslationMemoryFile)));
    MemorySuggestions no_language(dir.path(), "");
    EXPECT_TRUE(no_language.For("Open", false, CodePage()).empty());
    EXPECT_EQ(no_language.note(), "No language: no suggestions.");
}

TEST(MemorySuggestionsTest, AFileThatIsNoMemoryGivesANoteAndIsLeftAsItIs) {
    lexorin::testing::TempDir dir;
    const std::string path = dir.file(store::kTranslationMemoryFile);
    lexorin::testing::write_test_file(path, "not a database at all, but some bytes");
    MemorySuggestions source(dir.path(), "German");
    EXPECT_TRUE(source.For("Open", false, CodePage()).empty());
    EXPECT_NE(source.note().find("cannot be used"), std::string::npos) << source.note();
    EXPECT_EQ(lexorin::testing::read_test_file(path), "not a database at all, but some bytes");
}

TEST(MemorySuggestionsTest, ExactFirstThenSimilarForTheTextACodeRowStandsFor) {
    lexorin::testing::TempDir dir;
    {
        store::TranslationMemory memory(dir.path());
        memory.Record({{"German", "Don't open the file", "Die Datei nicht öffnen", "Demo", {}},
                       {"German", "Don't open the files", "Die Dateien nicht öffnen", "Other", {}},
                       {"French", "Don't open the file", "N'ouvrez pas", "Demo", {}}});
    }
    MemorySuggestions source(dir.path(), "German");
    // The code row keeps the literal's body: '' stands for one quote.
    const auto found = source.For("Don''t open the file", true, CodePage());
    ASSERT_EQ(found.size(), 2u) << source.note();
    EXPECT_EQ(found[0].similarity, 100);
    EXPECT_EQ(found[0].translation, "Die Datei nicht öffnen");
    EXPECT_EQ(found[0].project, "Demo");
    EXPECT_LT(found[1].similarity, 100);
    EXPECT_GE(found[1].similarity, store::kDefaultMinSimilarity);
    EXPECT_EQ(found[1].project, "Other");
    EXPECT_TRUE(source.note().empty());
    EXPECT_TRUE(source.For("Something else entirely", true, CodePage()).empty());
}

TEST(TypedChecksTest, FindingsOfTheTypedTextAndNothingForAnEmptyOne) {
    project::SpellChecker off("German", {});
    const auto checks = CheckTyped("%d files", "Dateien", "", false, off, "Dateien");
    ASSERT_EQ(checks.findings.size(), 1u);
    EXPECT_EQ(checks.findings[0].kind, project::CheckKind::Placeholders);
    const auto lines = CheckLines(checks);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("placeholders: ", 0), 0u) << lines[0];
    EXPECT_TRUE(CheckTyped("%d files", "", "", false, off, "").empty());
    // A code row compares the texts its literals stand for; the row's blanks go back on both.
    EXPECT_TRUE(CheckTyped("Don''t", "Nicht", "  ", true, off, "Nicht").empty());
    EXPECT_FALSE(CheckTyped("Line'#13#10'two", "Zeile zwei", "", true, off, "Zeile zwei").empty());
}

TEST(TypedChecksTest, AMisspelledGermanWordIsListedWithSuggestions) {
    project::SpellChecker german("German", project::SpellChecker::DefaultDictionaryFolders());
    if (!german.available()) GTEST_SKIP() << "no German dictionary installed";
    const auto checks =
        CheckTyped("Open the file", "Die Dattei öffnen", "", false, german, "Die Dattei öffnen");
    EXPECT_TRUE(checks.findings.empty());
    ASSERT_EQ(checks.misspellings.size(), 1u);
    EXPECT_EQ(checks.misspellings[0].word, "Dattei");
    const auto lines = CheckLines(checks);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("spelling: Dattei (", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("Datei"), std::string::npos) << lines[0];
}
