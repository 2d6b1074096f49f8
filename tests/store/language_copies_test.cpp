// A scan's rows copied to the other languages keep their numbers, which the rewritten units refer
// to in every language.
#include <gtest/gtest.h>

#include "store/language_copies.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/transcopy.h"
#include "store/translation_fields.h"
#include "store/translation_tables.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::RecordingReporter;
using lexorin::testing::TempDir;

namespace {

class LanguageCopies : public ::testing::Test {
  protected:
    LanguageCopies() {
        create_table(dir.file("German.db"), pascal_schema());
        create_table(dir.file("French.db"), pascal_schema());
        german.open();
        french.open();
    }
    // Number -> original of every row of `table`, in order.
    static std::string Rows(Table& table) {
        std::string rows;
        for (table.first(); !table.eof(); table.next())
            rows += table.text(field::Index) + "=" + table.text(field::OriginalString) + ";";
        return rows;
    }

    TempDir dir;
    Session session;
    Table german{session, dir.path(), "German.db"};
    Table french{session, dir.path(), "French.db"};
};

// Rows taken back from the middle of a scan (a unit that could not be rewritten) leave a gap;
// a copy that took the next free number would shift every row after it.
TEST_F(LanguageCopies, RowsKeepTheirNumbersAcrossGaps) {
    for (const char* text : {"one", "two", "three", "four"})
        german.append_record({0, text, "", 1, false, false});
    ASSERT_TRUE(german.find_key({2}));
    german.delete_record();
    german.flush();

    CopyRows(session, dir.path(), "German.db", "French.db", TableKind::Pascal, nullptr);
    EXPECT_EQ(Rows(french), "1=one;3=three;4=four;");
    // Numbering goes on after the copies, as in the source.
    french.append_record({0, "five", "", 1, false, false});
    EXPECT_EQ(french.integer(field::Index), 5);
}

TEST_F(LanguageCopies, OnlyTheRowsAfterTheMarkAreCopied) {
    for (const char* text : {"old", "new one", "new two"})
        german.append_record({0, text, "", 1, false, false});
    EXPECT_EQ(CopyMissingRows(german, french, 1, TableKind::Pascal, nullptr), 2);
    EXPECT_EQ(Rows(french), "2=new one;3=new two;");
    // A row already there stays as it is.
    EXPECT_EQ(CopyMissingRows(german, french, 0, TableKind::Pascal, nullptr), 1);
    EXPECT_EQ(Rows(french), "1=old;2=new one;3=new two;");
}

// A first scan that an older version broke off after the scanned language: the next scan
// brings the other languages level before it numbers anything.
TEST_F(LanguageCopies, CatchingUpBringsEveryLanguageLevel) {
    for (const char* text : {"one", "two"}) german.append_record({0, text, "", 1, false, false});
    german.flush();
    std::vector<LanguageTable> others;
    others.push_back({"French", std::make_unique<Table>(session, dir.path(), "French.db")});
    others.back().table->open();
    RecordingReporter reporter;
    CatchUpLanguages(german, {"German", "French"}, others, TableKind::Pascal,
                     "Copying code language to ", reporter);
    EXPECT_EQ(reporter.shown_statuses(),
              (std::vector<std::string>{"Copying code language to German",
                                        "Copying code language to French"}));
    Session elsewhere;
    Table stored(elsewhere, dir.path(), "French.db");
    stored.open();
    EXPECT_EQ(Rows(stored), "1=one;2=two;");
}

}  // namespace
