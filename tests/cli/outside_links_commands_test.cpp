// A unit that is a symbolic link to a file outside the project folder is not rewritten at its
// target unless the project allows it (Cfollowlinks); a link inside the folder works as ever.
#include <gtest/gtest.h>
#include <unistd.h>

#include "cli/cli_fixture.h"
#include "support/test_support.h"

namespace {

using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

const char* kUnit =
    "unit shared;\n\ninterface\n\nprocedure Say;\n\nimplementation\n\nprocedure Say;\nbegin\n"
    "  WriteLn('Shared text');\nend;\n\nend.\n";

class OutsideLinksCommandsTest : public lexorin::testing::DemoProjectTest {
  protected:
    void SetUp() override {
        DemoProjectTest::SetUp();
        write_test_file(elsewhere.file("shared.pas"), kUnit);
        ASSERT_EQ(
            ::symlink(elsewhere.file("shared.pas").c_str(), work.file("src/shared.pas").c_str()),
            0);
        write_test_file(work.file("src/real/inside.pas"),
                        "unit inside;\ninterface\nimplementation\nprocedure P;\nbegin\n"
                        "  WriteLn('Inside text');\nend;\nend.\n");
        ASSERT_EQ(::symlink("real/inside.pas", work.file("src/inside.pas").c_str()), 0);
    }
    TempDir elsewhere;
};

TEST_F(OutsideLinksCommandsTest, TheTargetOutsideIsLeftAloneUnlessTheProjectAllowsIt) {
    const std::string reason = "skipped " + work.file("src/shared.pas") +
                               ": it is a link to a file outside the project folder (";
    CommandResult dry = cli("scan-code Demo German --dry-run");
    EXPECT_EQ(dry.out.find("Shared text"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("Inside text"), std::string::npos) << dry.out;
    EXPECT_NE(dry.err.find(reason), std::string::npos) << dry.err;

    CommandResult scan = cli("--yes scan-code Demo German");
    EXPECT_NE(scan.err.find(reason), std::string::npos) << scan.err;
    EXPECT_NE(scan.err.find("allow links out of the project folder with the project option "
                            "Cfollowlinks"),
              std::string::npos);
    EXPECT_EQ(read_test_file(elsewhere.file("shared.pas")), kUnit);
    // The link stays a link, and the unit inside the folder is rewritten where it lies.
    EXPECT_NE(read_test_file(work.file("src/real/inside.pas")).find("''+s_"), std::string::npos);
    const std::string strings = cli("strings Demo German").out;
    EXPECT_EQ(strings.find("Shared text"), std::string::npos) << strings;
    EXPECT_NE(strings.find("Inside text"), std::string::npos) << strings;

    // Nothing is backed up from outside either.
    CommandResult backup = cli("backup Demo");
    EXPECT_NE(backup.err.find("Backup: " + work.file("src/shared.pas") +
                              ": it is a link to a file outside the project folder"),
              std::string::npos)
        << backup.err;

    ASSERT_EQ(cli("project set Demo Cfollowlinks true").status, 0);
    cli("--yes scan-code Demo German");
    EXPECT_NE(read_test_file(elsewhere.file("shared.pas")).find("''+s_"), std::string::npos);
    EXPECT_NE(cli("strings Demo German").out.find("Shared text"), std::string::npos);
}

}  // namespace
