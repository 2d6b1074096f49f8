// Temporary files of killed runs (".~lexorin.<name>.<random>") are removed by the next command
// that writes their folder; files of the user that merely look alike stay.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;

namespace {

class LeftoverFilesTest : public lexorin::testing::DemoProjectTest {
  protected:
    bool exists(const std::string& name) { return std::filesystem::exists(work.file(name)); }
};

TEST_F(LeftoverFilesTest, WritingCommandsSweepTheFoldersTheyWrite) {
    write_test_file(work.file("src/.~lexorin.greetings.pas.Ab12Cd"), "half a unit");
    write_test_file(work.file("src/.~lexorin.greetings.pas.keep"), "the user's");
    write_test_file(work.file("src/.greetings.pas.Ab12Cd"), "the user's");
    ASSERT_EQ(cli("--yes scan-code Demo German").status, 0);
    EXPECT_FALSE(exists("src/.~lexorin.greetings.pas.Ab12Cd"));
    EXPECT_TRUE(exists("src/.~lexorin.greetings.pas.keep"));
    EXPECT_TRUE(exists("src/.greetings.pas.Ab12Cd"));

    write_test_file(work.file("src/.~lexorin.strings.tra.Zz9Yy8"), "half a file");
    ASSERT_EQ(cli("write-code Demo German").status, 0);
    EXPECT_FALSE(exists("src/.~lexorin.strings.tra.Zz9Yy8"));

    write_test_file(work.file("src/.~lexorin.aboutbox.tra.res.Qq1Ww2"), "half a form");
    ASSERT_EQ(cli("scan-forms Demo German").status, 0);
    ASSERT_EQ(cli("write-forms Demo German").status, 0);
    EXPECT_FALSE(exists("src/.~lexorin.aboutbox.tra.res.Qq1Ww2"));

    write_test_file(work.file("src/.~lexorin.greetings.pas.Rr3Tt4"), "half a unit");
    ASSERT_EQ(cli("restore-code Demo German").status, 0);
    EXPECT_FALSE(exists("src/.~lexorin.greetings.pas.Rr3Tt4"));

    // The archive's own copy, as the zip library leaves it beside the archive when killed.
    write_test_file(work.file("home/Demo.zip.Xy7Zq1"), "half an archive");
    write_test_file(work.file("home/Demo.zip.notes"), "the user's");
    ASSERT_EQ(cli("backup Demo").status, 0);
    EXPECT_FALSE(exists("home/Demo.zip.Xy7Zq1"));
    EXPECT_TRUE(exists("home/Demo.zip.notes"));
    EXPECT_TRUE(exists("home/Demo.zip"));
    EXPECT_TRUE(exists("src/.~lexorin.greetings.pas.keep"));
}

}  // namespace
