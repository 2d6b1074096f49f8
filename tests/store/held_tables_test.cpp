// Several table files changed as one unit of work: committed together, or every one left as it
// stood, numbering included, also when the disk fills up or one file refuses its commit.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "base/errors.h"
#include "store/held_tables.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_fields.h"
#include "store/translation_tables.h"
#include "support/test_support.h"
#include "support/tiny_tmpfs.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::TempDir;
using lexorin::testing::TinyTmpfs;

namespace {

// Two languages' pascal tables in one folder, each with one committed row.
class TwoTables {
  public:
    explicit TwoTables(const std::string& folder) : folder_(folder) {
        for (const char* name : {"A_pascal.db", "B_pascal.db"}) {
            create_table(folder + "/" + name, pascal_schema());
            Session session;
            Table table(session, folder, name);
            table.open();
            table.append_record({0, "kept", "", 1, false, false});
            table.flush();
        }
        a.open();
        b.open();
    }

    // The rows another process sees: their numbers and texts.
    std::string Stored(const std::string& name) const {
        Session elsewhere;
        Table table(elsewhere, folder_, name);
        table.open();
        std::string rows;
        for (table.first(); !table.eof(); table.next())
            rows += table.text(field::Index) + "=" + table.text(field::OriginalString) + ";";
        return rows;
    }

    std::string folder_;
    Session session;
    Table a{session, folder_, "A_pascal.db"};
    Table b{session, folder_, "B_pascal.db"};
};

TEST(HeldTables, ChangesOfSeveralFilesAreCommittedTogether) {
    TempDir dir;
    TwoTables t(dir.path());
    {
        HeldTables held({&t.a, &t.b, &t.a});  // a file named twice counts once
        EXPECT_EQ(held.marks().size(), 2u);
        EXPECT_EQ(held.mark_of(t.a), 1);
        for (int i = 0; i < 5000; ++i) {  // more than a batch of appends commits on its own
            t.a.append_record({0, "new " + std::to_string(i), "", 1, false, false});
            t.b.append_record_with_key({t.a.integer(field::Index), "copy", "", 1, false, false});
        }
        ASSERT_TRUE(t.a.find_key({1}));
        t.a.edit();
        t.a.set_text(field::TranslateString, "posted");
        t.a.post();  // a post commits on its own, but not inside the unit of work
        t.a.flush();
        EXPECT_EQ(t.Stored("A_pascal.db"), "1=kept;");
        EXPECT_EQ(t.Stored("B_pascal.db"), "1=kept;");
        held.Commit();
    }
    EXPECT_EQ(t.a.count_where("TranslateString='posted'"), 1);
    Session elsewhere;
    Table b(elsewhere, dir.path(), "B_pascal.db");
    b.open();
    EXPECT_EQ(b.record_count(), 5001);
    b.last();
    EXPECT_EQ(b.integer(field::Index), 5001);
}

TEST(HeldTables, AUnitOfWorkNotCommittedLeavesEveryFileAsItStood) {
    TempDir dir;
    TwoTables t(dir.path());
    {
        HeldTables held({&t.a, &t.b});
        t.a.append_record({0, "gone", "", 1, false, false});
        t.b.append_record({0, "gone", "", 1, false, false});
        ASSERT_TRUE(t.b.find_key({1}));
        t.b.edit();
        t.b.set_text(field::OriginalString, "changed");
        t.b.post();
    }  // dropped, as a scan that stops
    EXPECT_EQ(t.Stored("A_pascal.db"), "1=kept;");
    EXPECT_EQ(t.Stored("B_pascal.db"), "1=kept;");
    // The handles see the files as they are, and numbering goes on as before.
    EXPECT_EQ(t.a.record_count(), 1);
    t.a.append_record({0, "next", "", 1, false, false});
    EXPECT_EQ(t.a.integer(field::Index), 2);
}

TEST(HeldTables, AFullDiskLeavesEveryFileAsItStood) {
    TinyTmpfs disk("512k");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    TwoTables t(disk.path());
    std::string message;
    {
        HeldTables held({&t.a, &t.b});
        try {
            for (int i = 0; i < 2000; ++i) {
                t.a.append_record({0, std::string(300, 'a'), "", 1, false, false});
                t.b.append_record({0, std::string(300, 'b'), "", 1, false, false});
            }
            held.Commit();
        } catch (const Error& e) {
            message = e.what();
        }
        EXPECT_TRUE(held.restored());
    }
    EXPECT_NE(message.find("No space left on device while writing " + disk.path()),
              std::string::npos)
        << message;
    EXPECT_EQ(t.Stored("A_pascal.db"), "1=kept;");
    EXPECT_EQ(t.Stored("B_pascal.db"), "1=kept;");
    t.b.append_record({0, "next", "", 1, false, false});
    EXPECT_EQ(t.b.integer(field::Index), 2);
}

// A file that refuses its commit (another process reads it) after an earlier file committed:
// the earlier one is taken back to its mark.
TEST(HeldTables, ACommitRefusedTakesBackTheFilesCommittedBeforeIt) {
    TempDir dir;
    TwoTables t(dir.path());
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("B_pascal.db").c_str(), &reader), SQLITE_OK);
    std::string message;
    {
        HeldTables held({&t.a, &t.b});
        t.a.append_record({0, "taken back", "", 1, false, false});
        t.b.append_record({0, "rolled back", "", 1, false, false});
        // A read transaction that holds its lock keeps the commit of B from finishing.
        ASSERT_EQ(
            sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM records;", nullptr, nullptr, nullptr),
            SQLITE_OK);
        try {
            held.Commit();
        } catch (const Error& e) {
            message = e.what();
        }
        EXPECT_TRUE(held.restored());
    }
    sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(reader);
    EXPECT_NE(message, "");
    EXPECT_EQ(t.Stored("A_pascal.db"), "1=kept;");
    EXPECT_EQ(t.Stored("B_pascal.db"), "1=kept;");
    t.a.append_record({0, "next", "", 1, false, false});
    EXPECT_EQ(t.a.integer(field::Index), 2);
}

// Outside a unit of work, a batch of appends the engine lost to a failed write is reported at
// the next append, not continued row by row with each row committed alone.
TEST(HeldTables, AppendsAfterALostBatchReportTheLoss) {
    TinyTmpfs disk("256k");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    create_table(disk.file("A_pascal.db"), pascal_schema());
    Session session;
    Table table(session, disk.path(), "A_pascal.db");
    table.open();
    std::string first;
    int appended = 0;
    try {
        for (; appended < 20000; ++appended)
            table.append_record({0, std::string(1000, 'a'), "", 1, false, false});
    } catch (const Error& e) {
        first = e.what();
    }
    ASSERT_NE(first, "");
    std::string next;
    try {
        table.append_record({0, "small", "", 1, false, false});
        table.flush();
    } catch (const Error& e) {
        next = e.what();
    }
    EXPECT_EQ(next, "The rows not yet stored in " + disk.file("A_pascal.db") +
                        " were lost when an earlier write to it failed");
    Session elsewhere;
    Table stored(elsewhere, disk.path(), "A_pascal.db");
    stored.open();
    EXPECT_EQ(stored.record_count(), 0) << "rows after the lost ones were stored on their own";
}

}  // namespace
