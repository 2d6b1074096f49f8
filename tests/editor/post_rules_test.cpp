#include "editor/post_rules.h"

#include <gtest/gtest.h>

#include "store/table_files.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::editor;

namespace {

// Answers the propagation question and counts how often it came.
class Answering : public SilentReporter {
  public:
    explicit Answering(bool yes) : SilentReporter(yes) {}
    bool confirm(const std::string& question) override {
        questions.push_back(question);
        return SilentReporter::confirm(question);
    }
    std::vector<std::string> questions;
};

class PostRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store::create_table(dir.file("forms.db"), store::forms_schema());
        forms.open();
        // Index 1..5
        for (const char* original : {"Don't", "Don't", "Don't", "don't", "Other"})
            forms.append_record({0, original, "", 1, false, false, "Form1", "Caption", true});
        forms.flush();
    }
    void go(int index) { ASSERT_TRUE(forms.find_key({index})); }
    std::string translation(int index) {
        go(index);
        return forms.text("TranslateString");
    }
    RowState edit_of_current(const std::string& text) {
        return {text, forms.logical("Translated"), forms.logical("Ignore"),
                forms.logical("Changed")};
    }

    lexorin::testing::TempDir dir;
    store::Session session;
    store::Table forms{session, dir.path(), "forms.db"};
};

TEST_F(PostRulesTest, APostedTranslationMarksTheRowAndIsOfferedToEqualUntranslatedRows) {
    forms.set_filter("Translated=0");
    forms.set_filtered(true);
    go(1);
    Answering yes(true);
    PostRecord record = PostRow(forms, edit_of_current("Nicht"), store::TableKind::Forms, yes);
    EXPECT_EQ(yes.questions, (std::vector<std::string>{PropagationQuestion(2)}));
    EXPECT_EQ(record.rows.size(), 3u);  // the posted row and the two others
    forms.set_filtered(false);
    EXPECT_EQ(translation(1), "Nicht");
    EXPECT_TRUE(forms.logical("Translated"));
    EXPECT_FALSE(forms.logical("Changed"));  // the rule of a forms table clears the changed flag
    EXPECT_EQ(translation(2), "Nicht");
    EXPECT_EQ(translation(3), "Nicht");
    EXPECT_EQ(translation(4), "");  // another letter case is another string
    EXPECT_EQ(translation(5), "");
    EXPECT_EQ(forms.filter(), "Translated=0");  // the caller's filter is left as it was

    // Undo puts every row back exactly, flags included.
    Undo(forms, record);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(translation(i), "") << i;
        EXPECT_FALSE(forms.logical("Translated"));
        EXPECT_TRUE(forms.logical("Changed"));
    }
}

TEST_F(PostRulesTest, NoFillsNothingAndATranslatedRowAloneAsksNothing) {
    go(1);
    Answering no(false);
    PostRow(forms, edit_of_current("Nicht"), store::TableKind::Forms, no);
    EXPECT_EQ(no.questions.size(), 1u);
    EXPECT_EQ(translation(2), "");
    go(5);
    Answering never(true);
    PostRow(forms, edit_of_current("Andere"), store::TableKind::Forms, never);
    EXPECT_TRUE(never.questions.empty());
}

TEST_F(PostRulesTest, IgnoredUntranslatedRowIsCopiedWithItsIgnoreFlag) {
    go(5);
    forms.append_record({0, "Other", "", 1, false, false});
    go(5);
    Answering yes(true);
    RowState edit = edit_of_current("");
    edit.ignore = true;
    PostRow(forms, edit, store::TableKind::Forms, yes);
    EXPECT_EQ(yes.questions.size(), 1u);  // two untranslated rows pass: the posted one too
    go(6);
    EXPECT_TRUE(forms.logical("Ignore"));
    EXPECT_FALSE(forms.logical("Translated"));
}

TEST(PropagationQuestion, NamesTheNumberOfRowsInTheQuestionsOwnWords) {
    EXPECT_EQ(PropagationQuestion(3),
              "There are 3 additional untranslated occurences of the string that are currently "
              "not translated. Should these be translated, too?");
}

TEST_F(PostRulesTest, IgnoredRowsAreNeitherCountedNorChanged) {
    // Rows 2 and 6 hold the same original as row 1 but are ignored (a property that holds no
    // text, as TIPropertyName = 'Path').
    forms.append_record({0, "Don't", "", 1, false, true, "Form1.Link1", "Link.TIPropertyName"});
    forms.flush();
    go(2);
    forms.edit();
    forms.set_logical("Ignore", true);
    forms.post();
    forms.flush();
    go(1);
    Answering yes(true);
    PostRecord record = PostRow(forms, edit_of_current("Nicht"), store::TableKind::Forms, yes);
    EXPECT_EQ(yes.questions, (std::vector<std::string>{PropagationQuestion(1)}));
    EXPECT_EQ(record.rows.size(), 2u);  // the posted row and row 3
    EXPECT_EQ(translation(3), "Nicht");
    EXPECT_EQ(translation(2), "");
    EXPECT_FALSE(forms.logical("Translated"));
    EXPECT_TRUE(forms.logical("Ignore"));
    EXPECT_EQ(translation(6), "");
    EXPECT_TRUE(forms.logical("Ignore"));

    // When every other equal row is ignored, nothing is asked.
    go(3);
    forms.edit();
    forms.set_logical("Ignore", true);
    forms.set_logical("Translated", false);
    forms.set_text("TranslateString", "");
    forms.post();
    forms.flush();
    go(1);
    Answering never(true);
    PostRow(forms, edit_of_current("Nein"), store::TableKind::Forms, never);
    EXPECT_TRUE(never.questions.empty());
    EXPECT_EQ(translation(3), "");
    EXPECT_EQ(translation(1), "Nein");
}

TEST_F(PostRulesTest, AnIgnoredPostedRowIsOfferedOnlyToRowsThatAreNotIgnored) {
    // The posted row itself may be ignored: it counts as no other row, and what it gives the
    // others is its translation and its flag.
    go(2);
    forms.edit();
    forms.set_logical("Ignore", true);
    forms.post();
    forms.flush();
    go(1);
    Answering yes(true);
    RowState edit = edit_of_current("");
    edit.ignore = true;
    PostRow(forms, edit, store::TableKind::Forms, yes);
    EXPECT_EQ(yes.questions, (std::vector<std::string>{PropagationQuestion(1)}));
    go(3);
    EXPECT_TRUE(forms.logical("Ignore"));
}

TEST_F(PostRulesTest, BlankTranslationsLeaveTheFlagAndATickedRowIsTickedAgain) {
    go(5);
    RowState edit = edit_of_current("   ");
    edit.translated = true;
    SilentReporter quiet;
    PostRow(forms, edit, store::TableKind::Pascal, quiet);
    go(5);
    EXPECT_TRUE(forms.logical("Translated"));
    EXPECT_TRUE(forms.logical("Changed"));  // the rule of a pascal table leaves it
    edit = edit_of_current("Andere");
    edit.translated = false;  // unticked, but the translation is not blank
    PostRow(forms, edit, store::TableKind::Pascal, quiet);
    go(5);
    EXPECT_TRUE(forms.logical("Translated"));
}

}  // namespace

namespace {

// Counts the progress reports of a long post.
class Progress : public Answering {
  public:
    Progress() : Answering(true) {}
    void progress(int done, int total, const std::string&) override {
        reports.emplace_back(done, total);
    }
    std::vector<std::pair<int, int>> reports;
};

TEST(PostRulesLong, ThousandsOfEqualRowsAreWrittenTogetherWithProgress) {
    lexorin::testing::TempDir dir;
    store::Session session;
    store::create_table(dir.file("pascal.db"), store::pascal_schema());
    store::Table pascal(session, dir.path(), "pascal.db");
    pascal.open();
    for (int i = 0; i < 2580; ++i)
        pascal.append_record({0, "OK", "", 2, false, false, "ctx\r", i + 1, i + 1, 0});
    pascal.flush();
    ASSERT_TRUE(pascal.find_key({1}));
    Progress reporter;
    PostRecord record =
        PostRow(pascal, {"Gut", false, false, false}, store::TableKind::Pascal, reporter);
    EXPECT_EQ(record.rows.size(), 2580u);
    EXPECT_GE(reporter.reports.size(), 25u);                         // every 100 rows, then the end
    EXPECT_EQ(reporter.reports.back(), std::make_pair(2579, 2579));  // the others
    // Written for good: a fresh session reads every row translated.
    store::Session other;
    store::Table check(other, dir.path(), "pascal.db");
    check.open();
    EXPECT_EQ(check.count_where("TranslateString='Gut'"), 2580);
    Undo(pascal, record);
    store::Table after(other, dir.path(), "pascal.db");
    after.open();
    EXPECT_EQ(after.count_where("TranslateString=''"), 2580);
}

}  // namespace
