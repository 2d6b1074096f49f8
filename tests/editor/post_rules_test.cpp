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
    EXPECT_EQ(yes.questions, (std::vector<std::string>{PropagationQuestion(
                                 2, "Don't", {"Form1.Caption", "Form1.Caption"})}));
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

TEST_F(PostRulesTest, IgnoringARowAsksItsOwnQuestionAndKeepsTheOthersTranslations) {
    go(5);
    forms.append_record({0, "Other", "Anders", 1, false, false, "Form2", "Hint"});
    forms.flush();
    go(5);
    Answering yes(true);
    RowState edit = edit_of_current("");
    edit.ignore = true;
    PostRecord record = PostRow(forms, edit, store::TableKind::Forms, yes);
    EXPECT_EQ(yes.questions,
              (std::vector<std::string>{IgnoreQuestion(1, "Other", {"Form2.Hint"})}));
    go(6);
    EXPECT_TRUE(forms.logical("Ignore"));
    EXPECT_FALSE(forms.logical("Translated"));
    EXPECT_EQ(forms.text("TranslateString"), "Anders");  // only the flag was offered
    Undo(forms, record);
    go(6);
    EXPECT_FALSE(forms.logical("Ignore"));
}

TEST_F(PostRulesTest, IgnoringAnsweredNoIgnoresOnlyThePostedRow) {
    go(1);
    Answering no(false);
    RowState edit = edit_of_current("");
    edit.ignore = true;
    PostRecord record = PostRow(forms, edit, store::TableKind::Forms, no);
    EXPECT_EQ(
        no.questions,
        (std::vector<std::string>{IgnoreQuestion(2, "Don't", {"Form1.Caption", "Form1.Caption"})}));
    EXPECT_EQ(record.rows.size(), 1u);
    go(1);
    EXPECT_TRUE(forms.logical("Ignore"));
    for (int i = 2; i <= 4; ++i) {
        go(i);
        EXPECT_FALSE(forms.logical("Ignore")) << i;
    }
}

TEST_F(PostRulesTest, APostOnAnIgnoredRowOrOfABlankTextOffersNothing) {
    // A row ignored before offers no translation (its text is not one); a blank translation is
    // none to offer; and neither ignores other rows behind a question about translating.
    go(1);
    forms.edit();
    forms.set_logical("Ignore", true);
    forms.post();
    forms.flush();
    Answering never(true);
    RowState edit = edit_of_current("Nicht");
    PostRow(forms, edit, store::TableKind::Forms, never);
    go(2);
    edit = edit_of_current("  ");
    PostRow(forms, edit, store::TableKind::Forms, never);
    EXPECT_TRUE(never.questions.empty());
    for (int i = 2; i <= 4; ++i) {
        go(i);
        EXPECT_FALSE(forms.logical("Ignore")) << i;
        EXPECT_FALSE(forms.logical("Translated")) << i;
    }
}

TEST(PropagationQuestion, NamesTheCountTheOriginalAndTheFirstPlaces) {
    EXPECT_EQ(PropagationQuestion(1, "OK", {"line 9"}),
              "There is 1 other untranslated row with the original \"OK\":\r  line 9\r\r"
              "Should it get this translation, too?");
    EXPECT_EQ(IgnoreQuestion(7, "OK", {"line 1", "line 2", "line 3", "line 4", "line 5"}),
              "There are 7 other untranslated rows with the original \"OK\":\r  line 1\r  line 2"
              "\r  line 3\r  line 4\r  line 5\r  ... and 2 more\r\rShould these be ignored, too?");
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
    EXPECT_EQ(yes.questions,
              (std::vector<std::string>{PropagationQuestion(1, "Don't", {"Form1.Caption"})}));
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
    // The row just ignored counts as no other row; what it offers the others is its flag.
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
    EXPECT_EQ(yes.questions,
              (std::vector<std::string>{IgnoreQuestion(1, "Don't", {"Form1.Caption"})}));
    go(3);
    EXPECT_TRUE(forms.logical("Ignore"));
}

TEST_F(PostRulesTest, BlankTranslationsAreNeverTranslatedAndATickedRowIsTickedAgain) {
    go(5);
    RowState edit = edit_of_current("   ");
    edit.translated = true;
    SilentReporter quiet;
    PostRow(forms, edit, store::TableKind::Pascal, quiet);
    go(5);
    EXPECT_FALSE(forms.logical("Translated"));  // ticked, but there is nothing to write
    EXPECT_TRUE(forms.logical("Changed"));      // the rule of a pascal table leaves it
    edit = edit_of_current("Andere");
    edit.translated = false;  // unticked, but the translation is not blank
    PostRow(forms, edit, store::TableKind::Pascal, quiet);
    go(5);
    EXPECT_TRUE(forms.logical("Translated"));
}

TEST_F(PostRulesTest, AnEmptiedTranslationMakesTheRowUntranslated) {
    go(5);
    SilentReporter quiet;
    PostRow(forms, edit_of_current("Andere"), store::TableKind::Forms, quiet);
    go(5);
    ASSERT_TRUE(forms.logical("Translated"));
    PostRow(forms, edit_of_current(""), store::TableKind::Forms, quiet);
    go(5);
    EXPECT_FALSE(forms.logical("Translated"));
    EXPECT_EQ(forms.count_where("Translated=1"), 0);
}

TEST_F(PostRulesTest, MarksOnManyRowsAreOneRecordThatUndoTakesBack) {
    go(2);
    forms.edit();
    forms.set_text("TranslateString", "Nicht");
    forms.post();
    forms.flush();
    PostRecord ignore = MarkRows(forms, {1, 2, 3, 99}, RowMark::Ignore, store::TableKind::Forms);
    EXPECT_EQ(ignore.rows.size(), 3u);  // row 99 is gone
    EXPECT_EQ(forms.count_where("Ignore=1"), 3);
    // A row that holds the mark already is no change.
    EXPECT_TRUE(MarkRows(forms, {1}, RowMark::Ignore, store::TableKind::Forms).empty());

    // Translated takes only rows with a translation, and clears a form string's Changed.
    PostRecord translated =
        MarkRows(forms, {1, 2, 3}, RowMark::Translated, store::TableKind::Forms);
    EXPECT_EQ(translated.rows.size(), 1u);
    go(2);
    EXPECT_TRUE(forms.logical("Translated"));
    EXPECT_FALSE(forms.logical("Changed"));
    go(1);
    EXPECT_FALSE(forms.logical("Translated"));
    EXPECT_TRUE(forms.logical("Changed"));
    // Not translated keeps the text: the translator reviews it later.
    MarkRows(forms, {2}, RowMark::NotTranslated, store::TableKind::Forms);
    EXPECT_EQ(translation(2), "Nicht");
    EXPECT_FALSE(forms.logical("Translated"));

    Undo(forms, translated);
    Undo(forms, ignore);
    EXPECT_EQ(forms.count_where("Ignore=1"), 0);
    MarkRows(forms, {1, 2}, RowMark::Ignore, store::TableKind::Forms);
    MarkRows(forms, {1}, RowMark::NotIgnored, store::TableKind::Forms);
    EXPECT_EQ(forms.count_where("Ignore=1"), 1);
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

TEST_F(PostRulesTest, TheReviewMarkIsSetAndTakenOffAloneAndUndoAndAPostRestoreOrClearIt) {
    PostRecord marked = MarkRows(forms, {1, 2}, RowMark::NeedsReview, store::TableKind::Forms);
    EXPECT_EQ(marked.rows.size(), 2u);
    go(1);
    EXPECT_TRUE(forms.logical("NeedsReview"));
    EXPECT_FALSE(forms.logical("Translated"));  // the other flags stay
    EXPECT_TRUE(forms.logical("Changed"));
    // Rows that hold the mark already are not changed again.
    EXPECT_TRUE(MarkRows(forms, {1, 2}, RowMark::NeedsReview, store::TableKind::Forms).empty());
    Undo(forms, marked);
    go(1);
    EXPECT_FALSE(forms.logical("NeedsReview"));

    MarkRows(forms, {5}, RowMark::NeedsReview, store::TableKind::Forms);
    // A translator's post is the review: the mark goes, and undo brings it back.
    go(5);
    Answering no(false);
    PostRecord post = PostRow(forms, edit_of_current("Anders"), store::TableKind::Forms, no);
    go(5);
    EXPECT_FALSE(forms.logical("NeedsReview"));
    Undo(forms, post);
    go(5);
    EXPECT_TRUE(forms.logical("NeedsReview"));
    PostRecord reviewed = MarkRows(forms, {5}, RowMark::Reviewed, store::TableKind::Forms);
    EXPECT_EQ(reviewed.rows.size(), 1u);
    go(5);
    EXPECT_FALSE(forms.logical("NeedsReview"));
}
