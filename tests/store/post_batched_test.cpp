// Edits posted in the batch of appends: seen at once by every handle of the session, stored
// by a flush.
#include <gtest/gtest.h>

#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::TempDir;

namespace {

TEST(PostBatched, EditsAreSharedAtOnceAndStoredByFlush) {
    TempDir dir;
    create_table(dir.file("t_pascal.db"), pascal_schema());
    {
        Session session;
        Table table(session, dir.path(), "t_pascal.db");
        table.open();
        for (int i = 0; i < 3; ++i) table.append_record({0, "text", "", 1, false, false});
        table.flush();

        ASSERT_TRUE(table.find_key({2}));
        table.edit();
        table.set_logical("Ignore", true);
        table.set_integer("NewLine", 7);
        table.post_batched();
        EXPECT_EQ(table.state(), Table::State::Browse);

        Table other(session, dir.path(), "t_pascal.db");
        other.open();
        ASSERT_TRUE(other.find_key({2}));
        EXPECT_TRUE(other.logical("Ignore"));
        EXPECT_EQ(other.integer("NewLine"), 7);
        EXPECT_EQ(other.count_where("Ignore=1"), 1);

        // Not yet on disk: another session does not see it.
        Session elsewhere;
        Table outside(elsewhere, dir.path(), "t_pascal.db");
        outside.open();
        ASSERT_TRUE(outside.find_key({2}));
        EXPECT_FALSE(outside.logical("Ignore"));
        outside.close();

        table.flush();
    }
    Session later;
    Table table(later, dir.path(), "t_pascal.db");
    table.open();
    ASSERT_TRUE(table.find_key({2}));
    EXPECT_TRUE(table.logical("Ignore"));
    EXPECT_EQ(table.integer("NewLine"), 7);
    ASSERT_TRUE(table.find_key({1}));
    EXPECT_FALSE(table.logical("Ignore"));
}

}  // namespace
