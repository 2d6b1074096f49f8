// restore-code and scan-code --verify, run as a user runs them.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text_utils.h"
#include "cli/cli_fixture.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

bool have_fpc() {
    return std::system("command -v fpc >/dev/null 2>&1") == 0;
}

std::string normalized(const std::string& text) {
    return join_text_lines(read_text_lines(text));
}

class RestoreCommandsTest : public lexorin::testing::DemoProjectTest {
  protected:
    std::string src(const std::string& name) { return read_test_file(work.file("src/" + name)); }
    std::string original(const std::string& name) {
        return normalized(read_test_file(LEXORIN_SOURCE_DIR "/examples/demo/src/" + name));
    }
};

TEST_F(RestoreCommandsTest, RowsThenWholeUnitsComeBackAndARescanLeavesThemAlone) {
    ASSERT_EQ(cli("--yes scan-code Demo German").status, 0);
    ASSERT_NE(src("greetings.pas").find("''+s_2+''"), std::string::npos);

    CommandResult r = cli("restore-code Demo German --index 2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "s_2\t" + work.file("src/greetings.pas") +
                         ":28\t  (* 'not a string' *) Result := 'Good bye and see you soon';\n");
    EXPECT_NE(r.err.find("1 strings restored, 0 units given back whole, 0 units failed"),
              std::string::npos)
        << r.err;
    // The row stays, ignored, in every language.
    EXPECT_NE(cli("strings Demo French").out.find("2\tGood bye and see you soon\t\tWahr\n"),
              std::string::npos);
    EXPECT_NE(cli("project show Demo").out.find("Code restored on "), std::string::npos);

    r = cli("restore-code Demo German --unit src/mainform.pas --unit greetings.pas");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("4 strings restored, 2 units given back whole"), std::string::npos)
        << r.err;
    EXPECT_EQ(src("greetings.pas"), original("greetings.pas"));
    EXPECT_EQ(src("mainform.pas"), original("mainform.pas"));

    // A rescan takes no literal again: they were given back on purpose. (It does put the glue
    // unit back into the uses clause, as into every unit it scans, and a restore takes it out.)
    r = cli("--yes scan-code Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("0 strings found"), std::string::npos) << r.err;
    EXPECT_EQ(src("greetings.pas").find("''+s_"), std::string::npos);
    EXPECT_EQ(cli("strings Demo German --filter Ignore=0").out, "");
    ASSERT_EQ(cli("restore-code Demo German").status, 0);
    EXPECT_EQ(src("greetings.pas"), original("greetings.pas"));
    EXPECT_EQ(src("mainform.pas"), original("mainform.pas"));
}

TEST_F(RestoreCommandsTest, WrongChoicesChangeNothing) {
    ASSERT_EQ(cli("--yes scan-code Demo German").status, 0);
    const std::string rewritten = src("greetings.pas");
    CommandResult r = cli("restore-code Demo German --unit nosuch.pas");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: No scanned unit of the project is named nosuch.pas.\n");
    r = cli("restore-code Demo German --index 99");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("There is no row 99"), std::string::npos) << r.err;
    EXPECT_EQ(cli("restore-code Demo German --index two").status, 2);
    EXPECT_EQ(cli("restore-code Demo Klingon").status, 1);
    EXPECT_EQ(src("greetings.pas"), rewritten);
    EXPECT_EQ(cli("strings Demo German --filter Ignore=1").out, "");
    EXPECT_EQ(cli("scan-code Demo German --dry-run --verify").status, 2);
    EXPECT_NE(cli("restore-code --help").out.find("[--unit FILE]... [--index N]..."),
              std::string::npos);
}

TEST_F(RestoreCommandsTest, VerifyWithoutABuildCommandSaysSo) {
    CommandResult r = cli("--yes scan-code Demo German --verify");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("No build command is set for this project"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(work.file("src/strings.org")));
}

// A project of its own whose literal goes to a PChar parameter: as a resource string the
// compiler refuses it, so the check gives it back and builds again.
TEST(VerifyCommand, TheCompilerRefusesAPCharLiteralWhichComesBack) {
    if (!have_fpc()) GTEST_SKIP() << "fpc is not installed";
    TempDir work;
    auto cli = [&](const std::string& args) { return lexorin::testing::run_cli(work, args); };
    std::filesystem::create_directories(work.file("home"));
    write_test_file(work.file("app/prog.dpr"), "program prog;\nuses show;\nbegin\n  Run;\nend.\n");
    write_test_file(work.file("app/show.pas"),
                    "unit show;\n\ninterface\n\nprocedure Run;\n\nimplementation\n\n"
                    "procedure Show(P: PChar);\nbegin\n  WriteLn(P);\nend;\n\n"
                    "procedure Run;\nbegin\n  Show('Hello world');\n  WriteLn('Kept');\nend;\n\n"
                    "end.\n");
    ASSERT_EQ(cli("project add App app").status, 0);
    ASSERT_EQ(cli("language add App English").status, 0);
    ASSERT_EQ(cli("project set App Cbuildcommand 'mkdir -p out && fpc -Mobjfpc -FUout -FEout "
                  "prog.dpr'")
                  .status,
              0);

    CommandResult r = cli("--yes scan-code App English --verify");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Restored show.pas:16: Show('Hello world');\n"
                         "The project compiles (2 builds).\n"),
              std::string::npos)
        << r.err;
    const std::string unit = read_test_file(work.file("app/show.pas"));
    EXPECT_NE(unit.find("\r\n  Show('Hello world');\r\n"), std::string::npos) << unit;
    EXPECT_NE(unit.find("WriteLn(''+s_2+'');"), std::string::npos) << unit;
    EXPECT_EQ(lexorin::testing::run_command("'" + work.file("app/out/prog") + "'").out,
              "Hello world\nKept\n");
    EXPECT_NE(cli("project show App").out.find("Code verified: it compiles on "),
              std::string::npos);

    // A build that fails for another reason is reported with its errors, exit status 1.
    write_test_file(work.file("app/prog.dpr"),
                    "program prog;\nuses show;\nbegin\n  Run;\n  Missing;\nend.\n");
    r = cli("--yes scan-code App English --verify");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The project does not compile (1 build). The last errors:\n"
                         "  prog.dpr(5,"),
              std::string::npos)
        << r.err;
}

}  // namespace
