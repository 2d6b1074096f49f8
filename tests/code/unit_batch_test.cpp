#include <gtest/gtest.h>

#include <filesystem>

#include "table_fixture.h"

using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;

namespace lexorin::code::test {
namespace {

const char* kUnit =
    "unit u;\r\ninterface\r\nimplementation\r\nprocedure P;\r\nbegin\r\n  S := 'Hello world';\r\n"
    "end;\r\nend.\r\n";

TEST(UnitBatches, UnitsChangeOnlyWhenTheirBatchIsCommitted) {
    CodeTables t;
    t.NewBatch({.size = 3});
    std::vector<std::string> units;
    for (int i = 0; i < 4; ++i) {
        units.push_back(t.sources.file("u" + std::to_string(i) + ".pas"));
        write_test_file(units.back(), kUnit);
    }
    for (int i = 0; i < 2; ++i) t.ScanUnit(units[i]);
    EXPECT_EQ(read_test_file(units[0]), kUnit);  // still waiting
    t.ScanUnit(units[2]);                        // the third fills the batch
    EXPECT_NE(read_test_file(units[0]).find("''+s_1+''"), std::string::npos);
    EXPECT_NE(read_test_file(units[2]).find("''+s_3+''"), std::string::npos);

    // A unit removed while it waits is reported and not brought back.
    t.ScanUnit(units[3]);
    std::filesystem::remove(units[3]);
    t.batch->CommitUnits();
    EXPECT_FALSE(std::filesystem::exists(units[3]));
    ASSERT_EQ(t.batch->failed_units().size(), 1u);
    EXPECT_EQ(t.batch->failed_units()[0].first, units[3]);
    // No temporary file is left beside the units.
    for (const auto& entry : std::filesystem::directory_iterator(t.sources.path()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();

    // Every row the rewritten units refer to is on disk for another process, and only those: the
    // removed unit's row and its file list entry went with it, so no rescan takes it twice.
    store::Session other;
    store::Table pascal(other, t.tables.path(), "Demo_English_pascal.db");
    pascal.open();
    EXPECT_EQ(pascal.record_count(), 3);
    store::Table files(other, t.tables.path(), "Demo_pasfiles.db");
    files.open();
    EXPECT_EQ(files.record_count(), 3);
}

TEST(UnitBatches, UnitsStillWaitingWhenTheScanIsAbandonedStayAsTheyWere) {
    CodeTables t;
    std::string unit = t.sources.file("u.pas");
    write_test_file(unit, kUnit);
    {
        UnitBatch batch({.pascal = *t.pascal_rows, .units = *t.unit_files}, 10);
        batch.ScanUnit(t.scanner, unit);
    }
    EXPECT_EQ(read_test_file(unit), kUnit);
    for (const auto& entry : std::filesystem::directory_iterator(t.sources.path()))
        EXPECT_EQ(entry.path(), unit);
}

}  // namespace
}  // namespace lexorin::code::test
