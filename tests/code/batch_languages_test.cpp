// A batch of units is one unit of work across the project's languages: its rows reach every
// language's pascal table before any of its units changes, and go from all of them together.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/errors.h"
#include "code/batch_failed.h"
#include "table_fixture.h"

using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;

namespace lexorin::code::test {
namespace {

std::string UnitText(const std::string& literal) {
    return "unit u;\r\ninterface\r\nimplementation\r\nprocedure P;\r\nbegin\r\n  S := '" + literal +
           "';\r\nend;\r\nend.\r\n";
}

class BatchLanguages : public ::testing::Test, protected CodeTables {
  protected:
    BatchLanguages() {
        store::create_table(tables.file("Demo_French_pascal.db"), store::pascal_schema());
        others.push_back({"French", std::make_unique<store::Table>(session, tables.path(),
                                                                   "Demo_French_pascal.db")});
        others.back().table->open();
        NewBatch({.size = 10, .other_languages = &others});
    }
    // Number -> original of every row another process sees in `file`.
    std::string Stored(const std::string& file) {
        store::Session elsewhere;
        store::Table table(elsewhere, tables.path(), file);
        table.open();
        std::string rows;
        for (table.first(); !table.eof(); table.next())
            rows += table.text("Index") + "=" + table.text("OriginalString") + ";";
        return rows;
    }

    std::vector<store::LanguageTable> others;
};

TEST_F(BatchLanguages, TheRowsReachEveryLanguageBeforeTheUnitsChange) {
    const std::string a = sources.file("a.pas"), b = sources.file("b.pas");
    write_test_file(a, UnitText("Hello"));
    write_test_file(b, UnitText("Good bye"));
    ScanUnit(a);
    ScanUnit(b);
    // Waiting: neither the units nor any table has changed for another process.
    EXPECT_EQ(read_test_file(a), UnitText("Hello"));
    EXPECT_EQ(Stored("Demo_English_pascal.db"), "");
    EXPECT_EQ(Stored("Demo_French_pascal.db"), "");
    batch->CommitUnits();
    EXPECT_EQ(Stored("Demo_English_pascal.db"), "1=Hello;2=Good bye;");
    EXPECT_EQ(Stored("Demo_French_pascal.db"), "1=Hello;2=Good bye;");
    EXPECT_NE(read_test_file(b).find("''+s_2+''"), std::string::npos);
}

// A unit removed while it waits is not brought back, and its row goes from every language:
// the number stays free in all of them, so that the next rows keep one numbering.
TEST_F(BatchLanguages, AUnitThatCannotBeReplacedTakesItsRowsFromEveryLanguage) {
    const std::string a = sources.file("a.pas"), b = sources.file("b.pas");
    write_test_file(a, UnitText("Hello"));
    write_test_file(b, UnitText("Good bye"));
    ScanUnit(a);
    ScanUnit(b);
    std::filesystem::remove(a);
    batch->CommitUnits();
    ASSERT_EQ(batch->failed_units().size(), 1u);
    EXPECT_EQ(Stored("Demo_English_pascal.db"), "2=Good bye;");
    EXPECT_EQ(Stored("Demo_French_pascal.db"), "2=Good bye;");

    const std::string c = sources.file("c.pas");
    write_test_file(c, UnitText("Later"));
    ScanUnit(c);
    batch->CommitUnits();
    EXPECT_EQ(Stored("Demo_French_pascal.db"), "2=Good bye;3=Later;");
    EXPECT_NE(read_test_file(c).find("''+s_3+''"), std::string::npos);
}

// A table that fails while the batch writes (here the other language's table is taken away
// from under it, as a full disk would refuse it) takes the whole batch back: no unit of it
// changes, and no table keeps a row of it.
TEST_F(BatchLanguages, ABatchThatCannotBeCommittedIsTakenBackEverywhere) {
    const std::string a = sources.file("a.pas"), b = sources.file("b.pas");
    write_test_file(a, UnitText("Hello"));
    ScanUnit(a);
    batch->CommitUnits();
    write_test_file(b, UnitText("Good bye"));
    ScanUnit(b);
    others.push_back({"Spanish", std::make_unique<store::Table>(session, tables.path(),
                                                                "Demo_Spanish_pascal.db")});
    // not open: the copy fails
    try {
        batch->CommitUnits();
        FAIL() << "the batch was committed";
    } catch (const BatchFailed& e) {
        EXPECT_EQ(e.units(), std::vector<std::string>{b});
        EXPECT_TRUE(e.rows_taken_back());
    }
    EXPECT_EQ(read_test_file(b), UnitText("Good bye"));
    EXPECT_EQ(Stored("Demo_English_pascal.db"), "1=Hello;");
    EXPECT_EQ(Stored("Demo_French_pascal.db"), "1=Hello;");
    EXPECT_EQ(count(pasfiles), 1);  // a.pas alone
    for (const auto& entry : std::filesystem::directory_iterator(sources.path()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();

    // Numbering goes on as before the batch.
    others.pop_back();
    ScanUnit(b);
    batch->CommitUnits();
    EXPECT_EQ(Stored("Demo_French_pascal.db"), "1=Hello;2=Good bye;");
}

}  // namespace
}  // namespace lexorin::code::test
