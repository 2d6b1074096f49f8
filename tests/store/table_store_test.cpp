#include "store/table_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "base/errors.h"
#include "store/table_files.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::TempDir;

namespace {

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        create_table(dir.file("t_pascal.db"), pascal_schema());
        create_table(dir.file("t_units.db"), file_list_schema());
    }
    void append_strings(Table& t, const std::vector<std::string>& originals, int unit = 1) {
        for (const auto& s : originals) t.append_record({0, s, "", unit, false, false});
    }
    std::vector<std::string> originals(Table& t) {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next()) out.push_back(t.text("OriginalString"));
        return out;
    }
    std::vector<std::int64_t> indexes(Table& t) {
        std::vector<std::int64_t> out;
        for (t.first(); !t.eof(); t.next()) out.push_back(t.integer("Index"));
        return out;
    }

    TempDir dir;
    Session session;
};

TEST_F(StoreTest, AppendNumbersRowsIgnoringGivenIndexAndRestartsAfterEmpty) {
    Table t(session, dir.path(), "t_pascal.db");
    t.open();
    t.append_record({77, "first"});
    EXPECT_EQ(t.integer("Index"), 1);  // the row stays current
    t.append_record({0, "second", "zweite", 4, true});
    EXPECT_EQ(t.integer("Index"), 2);
    EXPECT_EQ(t.text("TranslateString"), "zweite");
    EXPECT_TRUE(t.logical("Translated"));
    EXPECT_FALSE(t.logical("Ignore"));  // later fields stay blank
    EXPECT_EQ(t.text("Context"), "");

    // Deleting the last row does not hand its number out again; emptying does.
    t.last();
    t.delete_record();
    t.append_record({0, "third"});
    EXPECT_EQ(t.integer("Index"), 3);
    t.empty();
    EXPECT_EQ(t.record_count(), 0);
    t.append_record({0, "again"});
    EXPECT_EQ(t.integer("Index"), 1);

    // Emptying a closed table works too and also restarts the numbering.
    t.close();
    Table other(session, dir.path(), "t_pascal.db");
    other.empty();
    other.open();
    EXPECT_EQ(other.record_count(), 0);
    other.append_record({0, "x"});
    EXPECT_EQ(other.integer("Index"), 1);
}

TEST_F(StoreTest, TextKeepsNoTrailingBlanksButMemosKeepTheirText) {
    Table t(session, dir.path(), "t_pascal.db");
    t.open();
    t.append_record({0, "ends in blanks   ", "", 0, false, false, "line 1  \r\nline 2 "});
    EXPECT_EQ(t.text("OriginalString"), "ends in blanks");
    EXPECT_EQ(t.text("Context"), "line 1  \r\nline 2 ");
    t.edit();
    t.set_text("TranslateString", "  leading stays  ");
    t.post();
    t.close();
    t.open();
    EXPECT_EQ(t.text("TranslateString"), "  leading stays");
}

TEST_F(StoreTest, FieldsByNameWithoutRegardToCaseAsTextIntegerLogical) {
    Table t(session, dir.path(), "t_pascal.db");
    t.open();
    t.append_record({0, "42", "", 7, true});
    EXPECT_EQ(t.text("unitname"), "7");
    EXPECT_EQ(t.integer("ORIGINALSTRING"), 42);
    EXPECT_EQ(t.text("translated"), "Wahr");
    EXPECT_EQ(t.text("Ignore"), "Falsch");
    t.edit();
    t.set_text("Ignore", "Wahr");
    t.set_text("NewLine", "12");
    EXPECT_THROW(t.set_text("NewLine", "twelve"), Error);
    EXPECT_THROW(t.set_text("NoSuchField", "x"), StoreError);
    t.post();
    EXPECT_TRUE(t.logical("IGNORE"));
    EXPECT_EQ(t.integer("newline"), 12);
    EXPECT_TRUE(t.has_field("spacesatend"));
    EXPECT_FALSE(t.has_field("Spaces"));
}

TEST_F(StoreTest, SecondaryOrdersAndFindByKeyOnLeadingFields) {
    create_table(dir.file("t_forms.db"), forms_schema());
    Table f(session, dir.path(), "t_forms.db");
    f.open();
    f.append_record({0, "c", "", 2, false, false, "Form1.Button1", "Caption"});
    f.append_record({0, "a", "", 1, false, false, "Form1.Label1", "Caption"});
    f.append_record({0, "b", "", 1, false, false, "Form1.Button1", "Hint"});
    f.append_record({0, "d", "", 1, false, false, "Form1.Button1", "Caption"});
    EXPECT_EQ(indexes(f), (std::vector<std::int64_t>{1, 2, 3, 4}));

    f.set_index_name("uniqueproperty");
    EXPECT_EQ(originals(f), (std::vector<std::string>{"d", "b", "a", "c"}));
    ASSERT_TRUE(f.find_key({1, "Form1.Button1", "Hint"}));
    EXPECT_EQ(f.text("OriginalString"), "b");
    ASSERT_TRUE(f.find_key({1}));  // leading field only: the first in order
    EXPECT_EQ(f.text("OriginalString"), "d");
    EXPECT_EQ(f.rec_no(), 1);
    f.next();
    EXPECT_EQ(f.text("OriginalString"), "b");
    EXPECT_FALSE(f.find_key({3}));
    EXPECT_EQ(f.text("OriginalString"), "b");  // a failed search leaves the cursor

    f.set_index_name("Translation");
    ASSERT_TRUE(f.find_key({"Form1.Button1", "Caption"}));
    EXPECT_EQ(f.integer("Index"), 1);  // equal keys come in Index order
    f.set_index_name("");
    ASSERT_TRUE(f.find_key({3}));
    EXPECT_EQ(f.text("OriginalString"), "b");
    EXPECT_THROW(f.set_index_name("NoSuchOrder"), StoreError);

    Table u(session, dir.path(), "t_units.db");
    u.open();
    u.append_record({0, "(Show all)"});
    u.append_record({0, "main.pas", "/src/b/main.pas"});
    u.append_record({0, "Main.pas", "/src/a/Main.pas"});
    u.append_record({0, "main.pas", "/src/a/main.pas"});
    u.set_index_name("Name");
    ASSERT_TRUE(u.find_key({"main.pas"}));  // exact text, not "Main.pas"
    EXPECT_EQ(u.integer("Index"), 2);
    u.next();
    EXPECT_EQ(u.text("Directory"), "/src/a/main.pas");
}

TEST_F(StoreTest, FiltersOnNumbersLogicalsAndExactText) {
    Table t(session, dir.path(), "t_pascal.db");
    t.open();
    t.append_record({0, "Open", "", 1, false, false});
    t.append_record({0, "open", "", 2, true, false});
    t.append_record({0, "It's", "", 2, false, true});
    t.append_record({0, "Close", "Schliessen", 3, false, false});

    t.set_filter("Ignore=0 and unitname<>1");
    t.set_filtered(true);
    EXPECT_EQ(originals(t), (std::vector<std::string>{"open", "Close"}));
    EXPECT_EQ(t.record_count(), 2);

    t.set_filter("OriginalString='open'");
    EXPECT_EQ(originals(t), (std::vector<std::string>{"open"}));
    t.set_filter("OriginalString='It''s'");
    EXPECT_EQ(originals(t), (std::vector<std::string>{"It's"}));
    t.set_filter("TranslateString='' and Translated=0");
    EXPECT_EQ(originals(t), (std::vector<std::string>{"Open", "It's"}));

    // Filtering on with an empty expression shows every row, and switching it off too.
    t.set_filter("");
    EXPECT_EQ(t.record_count(), 4);
    t.set_filter("UnitName=2");
    t.set_filtered(false);
    EXPECT_EQ(t.record_count(), 4);
    t.set_filtered(true);
    EXPECT_EQ(t.record_count(), 2);

    // An accept test narrows further; a row edited out of the filter leaves the cursor.
    t.set_accept_test([](const Table& row) { return row.text("OriginalString") != "open"; });
    EXPECT_EQ(originals(t), (std::vector<std::string>{"It's"}));
    t.set_accept_test(nullptr);
    t.first();
    t.edit();
    t.set_integer("UnitName", 9);
    t.post();
    EXPECT_EQ(originals(t), (std::vector<std::string>{"It's"}));

    EXPECT_THROW(t.set_filter("Nothing=1"), StoreError);
    EXPECT_THROW(t.set_filter("Ignore=0 or Ignore=1"), StoreError);
    EXPECT_THROW(t.set_filter("OriginalString='open"), StoreError);
}

TEST_F(StoreTest, FilterValuesNeverBecomeSql) {
    Table t(session, dir.path(), "t_pascal.db");
    t.open();
    t.append_record({0, "a"});
    t.set_filter("OriginalString='x'' OR 1=1 --'");
    t.set_filtered(true);
    EXPECT_EQ(t.record_count(), 0);
    t.set_filtered(false);
    EXPECT_EQ(t.record_count(), 1);
}

TEST_F(StoreTest, CursorAndBookmarksAcrossEdits) {
    Table t(session, dir.path(), "t_pascal.db");
    t.open();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.rec_no(), -1);
    append_strings(t, {"a", "b", "c", "d"});
    t.first();
    EXPECT_TRUE(t.bof());
    t.next();
    t.next();
    EXPECT_EQ(t.rec_no(), 3);
    Bookmark mark = t.bookmark();
    t.first();
    t.edit();
    t.set_text("TranslateString", "A");
    t.post();
    t.last();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.text("OriginalString"), "d");
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bookmark_valid(mark));
    t.go_to_bookmark(mark);
    EXPECT_EQ(t.text("OriginalString"), "c");
    t.delete_record();
    EXPECT_EQ(t.text("OriginalString"), "d");  // the next row takes over
    EXPECT_FALSE(t.bookmark_valid(mark));
    EXPECT_THROW(t.go_to_bookmark(mark), StoreError);
    t.prior();
    EXPECT_EQ(t.text("OriginalString"), "b");
    EXPECT_EQ(t.record_count(), 3);

    // Cancel throws the edit away; moving while editing posts it.
    t.edit();
    t.set_text("TranslateString", "dropped");
    t.cancel();
    EXPECT_EQ(t.text("TranslateString"), "");
    t.edit();
    t.set_text("TranslateString", "kept");
    t.next();
    t.prior();
    EXPECT_EQ(t.text("TranslateString"), "kept");
    EXPECT_THROW(t.set_text("TranslateString", "x"), Error);  // not in edit state
}

TEST_F(StoreTest, DetailLinkFollowsItsMaster) {
    Table units(session, dir.path(), "t_units.db");
    units.open();
    units.append_record({0, "(Show all)"});
    units.append_record({0, "a.pas", "/a.pas"});
    Table strings(session, dir.path(), "t_pascal.db");
    strings.open();
    append_strings(strings, {"s1", "s2", "s3"});

    // The units list follows the current string's unit, as the editor's unit line does.
    units.set_master(&strings, "UnitName");
    strings.first();
    strings.edit();
    strings.set_integer("UnitName", 2);
    strings.post();
    EXPECT_EQ(units.record_count(), 1);
    units.first();
    EXPECT_EQ(units.text("UnitName"), "a.pas");
    strings.next();
    EXPECT_EQ(strings.integer("UnitName"), 1);
    units.first();
    EXPECT_EQ(units.text("UnitName"), "(Show all)");
    strings.close();
    EXPECT_EQ(units.record_count(), 0);
    units.set_master(nullptr, "");
    EXPECT_EQ(units.record_count(), 2);
}

TEST_F(StoreTest, HandlesOnOneFileSeeEachOthersRowsAtOnce) {
    Table a(session, dir.path(), "t_units.db");
    Table b(session, dir.path(), "T_UNITS.DB");  // file names match without regard to case
    a.open();
    b.open();
    a.append_record({0, "x.pas", "/x.pas"});
    EXPECT_EQ(b.record_count(), 1);
    b.first();
    b.edit();
    b.set_text("Directory", "/y.pas");
    b.post();
    a.first();
    EXPECT_EQ(a.text("Directory"), "/y.pas");

    // Another process sees the batched rows after flush.
    for (int i = 0; i < 10; ++i) a.append_record({0, "n.pas", "/n.pas"});
    a.flush();
    Session other_process;
    Table c(other_process, dir.path(), "t_units.db");
    c.open();
    EXPECT_EQ(c.record_count(), 11);
}

TEST_F(StoreTest, OpeningMissingOrForeignFilesFailsClearlyAndLeavesThemAlone) {
    Table missing(session, dir.path(), "nothing.db");
    EXPECT_THROW(missing.open(), StoreError);
    EXPECT_FALSE(missing.is_open());

    lexorin::testing::write_test_file(dir.file("junk.db"), "this is not a table at all\n");
    Table junk(session, dir.path(), "junk.db");
    try {
        junk.open();
        FAIL() << "a foreign file opened";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("junk.db"), std::string::npos) << e.what();
    }
    EXPECT_EQ(lexorin::testing::read_test_file(dir.file("junk.db")),
              "this is not a table at all\n");

    // A real table cut short.
    std::string whole = lexorin::testing::read_test_file(dir.file("t_pascal.db"));
    lexorin::testing::write_test_file(dir.file("cut.db"), whole.substr(0, 1000));
    Table cut(session, dir.path(), "cut.db");
    EXPECT_THROW(cut.open(), StoreError);
    EXPECT_EQ(lexorin::testing::read_test_file(dir.file("cut.db")), whole.substr(0, 1000));

    // A table of another kind is caught by the schema check.
    Table units(session, dir.path(), "t_units.db");
    units.open();
    EXPECT_THROW(check_schema(units, pascal_schema()), StoreError);
    EXPECT_NO_THROW(check_schema(units, file_list_schema()));
}

TEST_F(StoreTest, ReadOnlyTableRefusesChangesWithItsName) {
    ::chmod(dir.path().c_str(), 0777);
    ::chmod(dir.file("t_units.db").c_str(), 0444);
    const std::string folder = dir.path();
    EXPECT_TRUE(lexorin::testing::check_without_privileges([&] {
        Session own;  // a handle of this process only
        Table t(own, folder, "t_units.db");
        t.open();
        try {
            t.append_record({0, "a"});
            t.flush();
        } catch (const StoreError& e) {  // at the append or at the commit
            return std::string(e.what()).find("t_units.db") != std::string::npos;
        }
        return false;
    }));
}

TEST_F(StoreTest, CopyNeverOverwritesAndCopiesRows) {
    Table t(session, dir.path(), "t_pascal.db");
    t.open();
    append_strings(t, {"a", "b"});  // still in the open batch: the copy must see them
    copy_table(session, dir.file("t_pascal.db"), dir.file("copy_pascal.db"));
    Table copy(session, dir.path(), "copy_pascal.db");
    copy.open();
    EXPECT_EQ(originals(copy), (std::vector<std::string>{"a", "b"}));
    copy.append_record({0, "c"});
    EXPECT_EQ(copy.integer("Index"), 3);

    std::string before = lexorin::testing::read_test_file(dir.file("t_units.db"));
    EXPECT_THROW(copy_table(session, dir.file("t_pascal.db"), dir.file("T_Units.db")), StoreError);
    EXPECT_EQ(lexorin::testing::read_test_file(dir.file("t_units.db")), before);
    EXPECT_THROW(copy_table(session, dir.file("none.db"), dir.file("x.db")), StoreError);
    EXPECT_TRUE(find_file_no_case(dir.path(), "x.db").empty());
}

TEST_F(StoreTest, TableFilesShareTheBaseName) {
    lexorin::testing::write_test_file(dir.file("t_pascal.db-journal"), "");
    lexorin::testing::write_test_file(dir.file("t_pascal_x.db"), "");
    auto files = table_files(dir.path(), "T_PASCAL.DB");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], dir.file("t_pascal.db"));
    EXPECT_EQ(files[1], dir.file("t_pascal.db-journal"));
}

TEST_F(StoreTest, InsertStateStoresANewRowWithColumnDefaults) {
    TableSchema schema{{{"Name", FieldType::Text},
                        {"Count", FieldType::Integer, "5"},
                        {"On", FieldType::Logical, "1"},
                        {"Mask", FieldType::Text, "*.pas"}},
                       {},
                       false};
    create_table(dir.file("plain.db"), schema);
    Table t(session, dir.path(), "plain.db");
    t.open();
    t.insert();
    EXPECT_EQ(t.text("Mask"), "*.pas");
    t.set_text("Name", "one");
    t.post();
    t.insert();
    t.set_text("Name", "two");
    t.set_integer("Count", 9);
    t.post();
    std::vector<std::string> rows;
    for (t.first(); !t.eof(); t.next())
        rows.push_back(t.text("Name") + ":" + t.text("Count") + ":" + t.text("On") + ":" +
                       t.text("Mask"));
    EXPECT_EQ(rows, (std::vector<std::string>{"one:5:Wahr:*.pas", "two:9:Wahr:*.pas"}));
}

}  // namespace
