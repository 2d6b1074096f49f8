// A unit batch that a crash interrupted: taken back before its rows were all on disk, completed
// after.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/file_utils.h"
#include "code/restore_journal.h"
#include "store/scan_batch_journal.h"
#include "store/table_files.h"
#include "store/translation_tables.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;
using store::RecoverScanBatch;
using store::scan_batch_file_name;
using store::ScanBatchJournal;

class ScanBatchTest : public ::testing::Test, protected test::CodeTables {
  protected:
    ScanBatchTest() {
        for (const char* name : {"a.pas", "b.pas"})
            write_test_file(sources.file(name),
                            "unit u;\r\ninterface\r\nimplementation\r\nprocedure P;\r\nbegin\r\n"
                            "  S := 'Hello world';\r\nend;\r\nend.\r\n");
        NewBatch({.size = 10, .batch_journal = &journal});
    }
    std::string journal_file() { return tables.file(scan_batch_file_name("Demo")); }

    ScanBatchJournal journal{tables.path(), "Demo"};
};

TEST_F(ScanBatchTest, ABatchCutShortBeforeItsRenamesIsTakenBack) {
    // An earlier batch stays as it was.
    ScanUnit(sources.file("a.pas"));
    batch->CommitUnits();
    EXPECT_FALSE(file_exists(journal_file()));
    ASSERT_EQ(count(pascal), 1);

    write_test_file(sources.file("c.pas"),
                    "unit c;\r\ninterface\r\nimplementation\r\nprocedure P;\r\nbegin\r\n"
                    "  S := 'Good bye';\r\nend;\r\nend.\r\n");
    ScanUnit(sources.file("b.pas"));
    ScanUnit(sources.file("c.pas"));
    pascal.flush();
    pasfiles.flush();
    EXPECT_EQ(count(pascal), 3);
    const std::string b_before = read_test_file(sources.file("b.pas"));
    batch.reset();  // killed: nothing renamed

    EXPECT_TRUE(RecoverScanBatch(session, tables.path(), "Demo"));
    EXPECT_EQ(count(pascal), 1);
    EXPECT_EQ(count(pasfiles), 1);
    EXPECT_EQ(read_test_file(sources.file("b.pas")), b_before);
    EXPECT_FALSE(file_exists(journal_file()));
    // Numbering goes on where the kept rows end, as an uninterrupted scan numbers.
    pascal.append_record({0, "next"});
    pascal.last();
    EXPECT_EQ(pascal.integer("Index"), 2);
    EXPECT_FALSE(RecoverScanBatch(session, tables.path(), "Demo"));
}

// Killed between the commits of the languages' tables: some hold the batch's rows, some not.
// Every table the journal names goes back to its mark.
TEST_F(ScanBatchTest, ABatchCommittedInSomeLanguagesOnlyIsTakenBackInAll) {
    store::create_table(tables.file("Demo_French_pascal.db"), store::pascal_schema());
    store::Table french(session, tables.path(), "Demo_French_pascal.db");
    french.open();
    for (store::Table* table : {&pascal, &french})
        table->append_record({0, "kept", "", 1, false, false});
    journal.Begin({{"Demo_French_pascal.db", 1}, {"Demo_English_pascal.db", 1}});
    french.append_record({0, "committed", "", 1, false, false});
    french.flush();  // French was committed, English not yet
    pascal.flush();

    EXPECT_TRUE(RecoverScanBatch(session, tables.path(), "Demo"));
    EXPECT_EQ(count(french), 1);
    EXPECT_EQ(count(pascal), 1);
    french.append_record({0, "next", "", 1, false, false});
    EXPECT_EQ(french.integer("Index"), 2);
}

TEST_F(ScanBatchTest, ABatchCutShortDuringItsRenamesIsCompleted) {
    // The batch's rows are committed in every table and the new texts wait in their temporary
    // files, as CommitUnits leaves them before its first rename; then the process dies after
    // the first rename.
    journal.Begin({{"Demo_English_pascal.db", 0}});
    for (const char* text : {"Hello world", "Hello world"})
        pascal.append_record({0, text, "", 1, false, false});
    pascal.flush();
    const std::string temp = sources.file(".~lexorin.b.pas.XXXXXX");
    write_test_file(temp, "rewritten b");
    journal.Commit(
        {{sources.file("a.pas") + ".gone", sources.file("a.pas")}, {temp, sources.file("b.pas")}});

    EXPECT_TRUE(RecoverScanBatch(session, tables.path(), "Demo"));
    EXPECT_EQ(read_test_file(sources.file("b.pas")), "rewritten b");
    EXPECT_FALSE(file_exists(temp));
    EXPECT_EQ(count(pascal), 2);  // the rows stay with the units that refer to them
    EXPECT_FALSE(file_exists(journal_file()));
}

TEST_F(ScanBatchTest, AJournalThatIsNotOneIsNamedAndKept) {
    write_test_file(journal_file(), "something else\n");
    try {
        RecoverScanBatch(session, tables.path(), "Demo");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  journal_file() + " is not the journal of a scan batch; move it away to go on.");
    }
    EXPECT_TRUE(file_exists(journal_file()));
}

}  // namespace
}  // namespace lexorin::code
