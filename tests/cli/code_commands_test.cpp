#include <gtest/gtest.h>

#include <filesystem>

#include "app/file_utils.h"
#include "cli/cli_fixture.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

// The demo project in a scratch working directory, registered with two languages.
class CodeCommandsTest : public lexorin::testing::DemoProjectTest {
  protected:
    std::string src(const std::string& name) { return read_test_file(work.file("src/" + name)); }
    static bool have_fpc() { return std::system("command -v fpc >/dev/null 2>&1") == 0; }
    CommandResult build_and_run_demo() {
        return lexorin::testing::run_command(
            "cd '" + work.file("src") +
            "' && mkdir -p build && fpc -Mdelphi -FEbuild demo.dpr >/dev/null && "
            "./build/demo");
    }
};

TEST_F(CodeCommandsTest, DryRunReportsTheRowsAndTouchesNothing) {
    std::string unit = src("greetings.pas");
    std::string table = read_test_file(work.file("home/Demo_German_pascal.db"));
    auto r = cli("scan-code Demo German --dry-run");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("s_1\t" + work.file("src/greetings.pas") + ":22\tFalsch\tHello, \n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("never scanned"), std::string::npos);  // the excluded folder
    EXPECT_NE(r.err.find("2 units would be scanned, 5 strings found"), std::string::npos) << r.err;
    EXPECT_EQ(src("greetings.pas"), unit);
    EXPECT_EQ(read_test_file(work.file("home/Demo_German_pascal.db")), table);
    EXPECT_EQ(cli("strings Demo German").out, "");
}

TEST_F(CodeCommandsTest, ScanCopiesTheNewRowsToEveryLanguageAndListsSkippedUnits) {
    write_test_file(work.file("src/binary.pas"), std::string("unit x;\0'hidden'", 16));
    std::string binary = src("binary.pas");
    auto r = cli("scan-code Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Scanned."), std::string::npos);
    EXPECT_NE(r.err.find("2 units scanned, 5 strings found, 1 units skipped"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("skipped " + work.file("src/binary.pas")), std::string::npos);
    EXPECT_EQ(src("binary.pas"), binary);
    // One progress line per unit when stderr is not a terminal.
    EXPECT_EQ(r.err.find("Processing "), std::string::npos) << r.err;

    std::string german = cli("strings Demo German").out;
    EXPECT_NE(german.find("1\tHello,\t\tFalsch\n"), std::string::npos) << german;
    EXPECT_EQ(cli("strings Demo French").out, german);
    EXPECT_NE(src("greetings.pas").find("Result := ''+s_1+'' + Name + '!';"), std::string::npos);
    EXPECT_NE(cli("project show Demo").out.find("Code scanned on "), std::string::npos);

    // A second scan finds nothing new: the literals are references now.
    r = cli("scan-code Demo French");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(cli("strings Demo French").out, german);
}

TEST_F(CodeCommandsTest, TranslateMarksTheRowTranslatedAsTheEditorDoes) {
    ASSERT_EQ(cli("scan-code Demo German").status, 0);
    ASSERT_EQ(cli("translate Demo German 2 'Auf Wiedersehen'").status, 0);
    EXPECT_NE(cli("strings Demo German --filter Translated=1")
                  .out.find("2\tGood bye and see you "
                            "soon\tAuf Wiedersehen\t"),
              std::string::npos);
    // A blank translation leaves the flag as it is.
    ASSERT_EQ(cli("translate Demo German 3 '  '").status, 0);
    EXPECT_EQ(cli("strings Demo German --filter Translated=1").out.find("3\t"), std::string::npos);
    EXPECT_EQ(cli("translate Demo German 99 x").status, 1);
    EXPECT_EQ(cli("translate Demo German two x").status, 2);
    EXPECT_EQ(cli("translate Demo Klingon 1 x").status, 1);
}

TEST_F(CodeCommandsTest, WrittenCodeCompilesAndRunsInBothLanguages) {
    if (!have_fpc()) GTEST_SKIP() << "Free Pascal is not installed";
    auto original = build_and_run_demo();
    ASSERT_EQ(original.status, 0);
    std::filesystem::remove_all(work.file("src/build"));

    ASSERT_EQ(cli("scan-code Demo German").status, 0);
    ASSERT_EQ(cli("translate Demo German 1 'Hallo, '").status, 0);
    ASSERT_EQ(cli("translate Demo German 2 'Auf Wiedersehen'").status, 0);
    ASSERT_EQ(cli("translate Demo German 4 '%d Dinge'").status, 0);
    auto r = cli("write-code Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Code written successfully."), std::string::npos);
    EXPECT_NE(src("strings.tra").find("  s_1 = 'Hallo, ';\r\n"), std::string::npos);
    EXPECT_NE(cli("project show Demo").out.find("Code changes written in German on "),
              std::string::npos);

    auto rewritten = build_and_run_demo();
    ASSERT_EQ(rewritten.status, 0) << rewritten.err;
    EXPECT_EQ(rewritten.out, original.out);

    std::string inc = src("lx_lang.inc");
    auto at = inc.find("{.$define TranslatedStrings}");
    ASSERT_NE(at, std::string::npos);
    inc.replace(at, 28, "{$define TranslatedStrings}");
    write_test_file(work.file("src/lx_lang.inc"), inc);
    std::filesystem::remove_all(work.file("src/build"));
    auto translated = build_and_run_demo();
    ASSERT_EQ(translated.status, 0) << translated.err;
    EXPECT_EQ(translated.out, "Hallo, World!\nAuf Wiedersehen\nItems: 3 Dinge\n");
}

}  // namespace
