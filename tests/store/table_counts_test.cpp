// Counts remembered between changes, row lists kept across filter switches, and the places of
// rows: what a handle remembers must never outlive a change of the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/errors.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::TempDir;

namespace {

class TableCountsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        create_table(dir.file("c_pascal.db"), pascal_schema());
        Table t(session, dir.path(), "c_pascal.db");
        t.open();
        // Index, original, translation, unit, translated, ignore
        t.append_record({0, "alpha", "", 1, false, false});
        t.append_record({0, "beta", "Beta", 1, true, false});
        t.append_record({0, "gamma", "", 2, false, true});
        t.append_record({0, "delta", "", 2, false, false});
        t.append_record({0, "epsilon", "", 3, false, true});
        t.flush();
    }
    // Sets the Ignore flag of the row with this Index through `t`.
    static void set_ignore(Table& t, std::int64_t index, bool ignore) {
        ASSERT_TRUE(t.find_key({index}));
        t.edit();
        t.set_logical("Ignore", ignore);
        t.post();
    }
    static std::vector<std::string> originals(Table& t) {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next()) out.push_back(t.text("OriginalString"));
        return out;
    }

    TempDir dir;
    Session session;
};

TEST_F(TableCountsTest, CountsFollowChangesByThisHandleOthersAndOtherSessions) {
    Table t(session, dir.path(), "c_pascal.db");
    t.open();
    EXPECT_EQ(t.count_where("Ignore=1"), 2);
    EXPECT_EQ(t.count_where("Ignore=1"), 2);  // remembered

    set_ignore(t, 1, true);  // through the handle that counted
    EXPECT_EQ(t.count_where("Ignore=1"), 3);

    Table other(session, dir.path(), "c_pascal.db");  // the same file through another handle
    other.open();
    set_ignore(other, 1, false);
    EXPECT_EQ(t.count_where("Ignore=1"), 2);

    {
        Session elsewhere;  // another connection to the file, as another window or process has
        Table outside(elsewhere, dir.path(), "c_pascal.db");
        outside.open();
        set_ignore(outside, 4, true);
        outside.append_record({0, "zeta", "", 3, false, true});
        outside.flush();
    }
    EXPECT_EQ(t.count_where("Ignore=1"), 4);
    EXPECT_EQ(t.count_where(""), 6);

    // Appends in a running batch are counted before they are committed.
    t.append_record({0, "eta", "", 3, false, true});
    EXPECT_EQ(t.count_where("Ignore=1"), 5);
    t.flush();
}

TEST_F(TableCountsTest, CountEachMatchesSingleCountsAndRefusesBadExpressions) {
    Table t(session, dir.path(), "c_pascal.db");
    t.open();
    const std::vector<std::string> asked{"Translated=1", "Ignore=1",
                                         "TranslateString='' and Translated=0 and Ignore=0",
                                         "Ignore=1", ""};
    EXPECT_EQ(t.count_each(asked), (std::vector<int>{1, 2, 2, 2, 5}));

    // After a change the stale counts are taken again, all of them right.
    set_ignore(t, 4, true);
    EXPECT_EQ(t.count_where("Translated=1"), 1);
    EXPECT_EQ(t.count_each(asked), (std::vector<int>{1, 3, 1, 3, 5}));

    EXPECT_THROW(t.count_where("Nonsense=1"), StoreError);
    EXPECT_THROW(t.count_each({"Ignore=1", "Ignore=="}), StoreError);
    EXPECT_TRUE(t.count_each({}).empty());
}

TEST_F(TableCountsTest, CountByListsEveryGroupWithItsCounts) {
    Table t(session, dir.path(), "c_pascal.db");
    t.open();
    const auto groups = t.count_by("UnitName", {"Ignore=0", "Ignore=0 and Translated<>0", ""});
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups.at(1), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(groups.at(2), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(groups.at(3), (std::vector<int>{0, 0, 1}));  // every row ignored: still listed
    EXPECT_THROW(t.count_by("NoSuchField", {}), StoreError);
    EXPECT_THROW(t.count_by("UnitName", {"Ignore==1"}), StoreError);
}

TEST_F(TableCountsTest, FilterSwitchedBackShowsTheRowsAsTheyAreNow) {
    Table t(session, dir.path(), "c_pascal.db");
    t.open();
    t.set_filter("Ignore=0");
    t.set_filtered(true);
    EXPECT_EQ(originals(t), (std::vector<std::string>{"alpha", "beta", "delta"}));
    t.set_filtered(false);
    EXPECT_EQ(t.record_count(), 5);
    t.set_filtered(true);  // the same rows again, the file unchanged
    EXPECT_EQ(originals(t), (std::vector<std::string>{"alpha", "beta", "delta"}));

    // A change while the filter is off: the list of before is of no use any more.
    t.set_filtered(false);
    set_ignore(t, 2, true);
    t.set_filtered(true);
    EXPECT_EQ(originals(t), (std::vector<std::string>{"alpha", "delta"}));

    // A row added by another handle shows when the filter goes off again.
    t.set_filtered(false);
    t.set_filtered(true);
    Table other(session, dir.path(), "c_pascal.db");
    other.open();
    other.append_record({0, "zeta", "", 3, false, false});
    t.set_filtered(false);
    EXPECT_EQ(t.record_count(), 6);
    t.set_filtered(true);
    EXPECT_EQ(originals(t), (std::vector<std::string>{"alpha", "delta", "zeta"}));
    other.flush();

    // A change committed through another connection to the file is seen as well.
    t.set_filtered(false);
    {
        Session elsewhere;
        Table outside(elsewhere, dir.path(), "c_pascal.db");
        outside.open();
        set_ignore(outside, 1, true);
    }
    t.set_filtered(true);
    EXPECT_EQ(originals(t), (std::vector<std::string>{"delta", "zeta"}));
}

TEST_F(TableCountsTest, PositionOfFindsVisibleRowsInEveryOrder) {
    Table t(session, dir.path(), "c_pascal.db");
    t.open();
    const std::vector<std::int64_t> ids = t.visible_row_ids();
    ASSERT_EQ(ids.size(), 5u);
    for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(t.position_of(ids[i]), static_cast<int>(i));
    EXPECT_EQ(t.position_of(ids.back() + 100), -1);

    // In the order of the texts: alpha, beta, delta, epsilon, gamma. Asked again and again, so
    // that the places come from the map made on the second question.
    t.set_index_name("String");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(t.position_of(ids[0]), 0);
        EXPECT_EQ(t.position_of(ids[2]), 4);
        EXPECT_EQ(t.position_of(ids[3]), 2);
        EXPECT_EQ(t.position_of(ids[4]), 3);
    }
    // Filtered, the places close up and the hidden rows have none.
    t.set_filter("Ignore=0");
    t.set_filtered(true);
    EXPECT_EQ(t.position_of(ids[3]), 2);
    EXPECT_EQ(t.position_of(ids[2]), -1);
    EXPECT_EQ(t.position_of(ids[4]), -1);
    EXPECT_EQ(t.position_of(ids[1]), 1);

    // A bookmark on a row the filter hides is no longer valid.
    t.set_filtered(false);
    t.set_index_name("");
    ASSERT_TRUE(t.find_key({3}));
    const Bookmark gamma = t.bookmark();
    t.set_index_name("String");
    t.set_filtered(true);
    EXPECT_FALSE(t.bookmark_valid(gamma));
    EXPECT_THROW(t.go_to_bookmark(gamma), StoreError);
    t.set_filtered(false);
    EXPECT_TRUE(t.bookmark_valid(gamma));
    t.go_to_bookmark(gamma);
    EXPECT_EQ(t.text("OriginalString"), "gamma");
    EXPECT_EQ(t.rec_no(), 5);
}

TEST_F(TableCountsTest, ScanFieldHandsEveryRowsTextOnce) {
    Table t(session, dir.path(), "c_pascal.db");
    t.open();
    std::vector<std::string> texts, units;
    t.scan_field("TranslateString",
                 [&](std::int64_t, const std::string& s) { texts.push_back(s); });
    t.scan_field("UnitName", [&](std::int64_t, const std::string& s) { units.push_back(s); });
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"", "", "", "", "Beta"}));
    EXPECT_EQ(units, (std::vector<std::string>{"1", "1", "2", "2", "3"}));
}

}  // namespace
