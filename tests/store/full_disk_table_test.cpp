// Tables on a full disk and templates that are no table files: the failure says what it is.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "base/errors.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"
#include "support/tiny_tmpfs.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::TempDir;
using lexorin::testing::TinyTmpfs;

namespace {

TEST(FullDiskTable, AppendsOnAFullDiskNameTheDiskAndTheTable) {
    TinyTmpfs disk("256k");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    const std::string path = disk.file("Demo_German_pascal.db");
    create_table(path, pascal_schema());
    Session session;
    Table table(session, disk.path(), "Demo_German_pascal.db");
    table.open();
    std::string message;
    try {
        for (int i = 0; i < 2000; ++i)
            table.append_record({0, std::string(1000, 'a'), "", 1, false, false});
        table.flush();
    } catch (const Error& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "No space left on device while writing " + path);
    // The next commit says that the batch is lost, not "no transaction is active".
    try {
        table.flush();
        ADD_FAILURE() << "the lost rows went unreported";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "The rows not yet stored in " + path +
                                             " were lost when an earlier write to it failed");
    }
}

TEST(FullDiskTable, ATemplateThatIsNoTableFileIsNamed) {
    TempDir home;
    std::filesystem::create_directory(home.file("pascal_std.db"));
    try {
        ensure_templates(home.path());
        FAIL() << "a folder was taken for a template";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "The template " + home.file("pascal_std.db") +
                                             " cannot be used: it is a folder, not a table file.");
    }
    std::filesystem::remove(home.file("pascal_std.db"));
    std::filesystem::create_symlink(home.file("gone.db"), home.file("pascal_std.db"));
    try {
        ensure_templates(home.path());
        FAIL() << "a dangling link was taken for a template";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "The template " + home.file("pascal_std.db") +
                                             " cannot be used: it is a link to " +
                                             home.file("gone.db") + ", which does not exist.");
    }
    EXPECT_FALSE(std::filesystem::exists(home.file("gone.db")));
    // A link to a real table is a template like any other.
    std::filesystem::remove(home.file("pascal_std.db"));
    create_table(home.file("real.db"), pascal_schema());
    std::filesystem::create_symlink(home.file("real.db"), home.file("pascal_std.db"));
    EXPECT_NO_THROW(ensure_templates(home.path()));
}

}  // namespace
