#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "cli/cli_fixture.h"
#include "store/table_store.h"
#include "support/test_support.h"
#include "support/tiny_tmpfs.h"

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
    auto r = cli("--yes scan-code Demo German");
    // The scan goes on with the other units, and its last line and exit code say what failed.
    ASSERT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("Scanned."), std::string::npos);
    EXPECT_NE(r.err.find("2 units scanned, 5 strings found, 1 units skipped"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("1 of 3 units could not be scanned: binary.pas: Cannot scan "),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.back(), '\n');
    EXPECT_EQ(r.err.rfind('\n', r.err.size() - 2), r.err.find("1 of 3 units could not") - 1);
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
    r = cli("--yes scan-code Demo French");
    ASSERT_EQ(r.status, 1) << r.err;  // binary.pas still cannot be scanned
    EXPECT_EQ(cli("strings Demo French").out, german);
}

TEST_F(CodeCommandsTest, TranslateMarksTheRowTranslatedAsTheEditorDoes) {
    ASSERT_EQ(cli("--yes scan-code Demo German").status, 0);
    ASSERT_EQ(cli("translate Demo German 2 'Auf Wiedersehen'").status, 0);
    EXPECT_NE(cli("strings Demo German --filter Translated=1")
                  .out.find("2\tGood bye and see you "
                            "soon\tAuf Wiedersehen\t"),
              std::string::npos);
    // The text is typed as it reads; the row keeps the body its literal needs, and `strings`
    // prints the text again.
    ASSERT_EQ(cli("translate Demo German 2 \"Bis bald, gell's\"").status, 0);
    EXPECT_NE(
        cli("strings Demo German").out.find("2\tGood bye and see you soon\tBis bald, gell's\t"),
        std::string::npos);
    {
        store::Session session;
        store::Table pascal(session, work.file("home"), "Demo_German_pascal.db");
        pascal.open();
        ASSERT_TRUE(pascal.find_key({2}));
        EXPECT_EQ(pascal.text("TranslateString"), "Bis bald, gell''s");
    }
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

    ASSERT_EQ(cli("--yes scan-code Demo German").status, 0);
    ASSERT_EQ(cli("translate Demo German 1 'Hallo, '").status, 0);
    ASSERT_EQ(cli("translate Demo German 2 \"Auf Wiederseh'n\"").status, 0);
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
    EXPECT_EQ(translated.out, "Hallo, World!\nAuf Wiederseh'n\nItems: 3 Dinge\n");
}

}  // namespace

namespace {

// A unit with literals in every kind of place, beside the demo's own units.
const char* const kContextsUnit =
    "unit contexts;\r\n"
    "interface\r\n"
    "implementation\r\n"
    "const\r\n"
    "  Names: array[0..1] of string = ('Alpha',\r\n"
    "    'Beta');\r\n"
    "resourcestring\r\n"
    "  SFailed = 'Could not open %s';\r\n"
    "function Pick(const Key: string = 'default key'): string;\r\n"
    "begin\r\n"
    "  case Key of\r\n"
    "    'first': Result := 'Don''t stop';\r\n"
    "  else\r\n"
    "    Result := 'Other choice';\r\n"
    "  end;\r\n"
    "end;\r\n"
    "end.\r\n";

std::vector<std::string> tab_fields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::vector<std::string> sorted_lines(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& line : lexorin::read_text_lines(text))
        if (!line.empty()) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// "s_N<tab>unit:line<tab>ignore<tab>original" of a dry run, or "N<tab>original<tab>..." of the
// strings command, as "N ignore original" without the blanks the table drops.
std::string row_key(std::string index, const std::string& ignore, std::string original) {
    if (index.rfind("s_", 0) == 0) index.erase(0, 2);
    while (!original.empty() && original.back() == ' ') original.pop_back();
    return index + " " + ignore + " " + original;
}

}  // namespace

TEST_F(CodeCommandsTest, TheFirstScanAsksBeforeItRewritesTheUnits) {
    const std::string unit = src("greetings.pas");
    // Without a terminal and without --yes the question is answered No.
    auto r = cli("scan-code Demo German");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("This rewrites 2 units in place. A backup archive does not exist. "
                         "Scan now?"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Nothing was scanned."), std::string::npos);
    EXPECT_EQ(src("greetings.pas"), unit);
    ASSERT_EQ(cli("backup Demo").status, 0);
    r = cli("--yes scan-code Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("A backup archive exists. Scan now?"), std::string::npos) << r.err;
    // Later scans ask nothing.
    r = cli("scan-code Demo German");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("Scan now?"), std::string::npos) << r.err;
}

TEST_F(CodeCommandsTest, AScanStopsBeforeAnyUnitChangesWhenATableCannotBeWritten) {
    const std::string unit = src("greetings.pas");
    ASSERT_EQ(::chmod(work.file("home/Demo_French_pascal.db").c_str(), 0444), 0);
    auto r = cli("--yes scan-code Demo German");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Demo_French_pascal.db cannot be written: the file is read-only"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(src("greetings.pas"), unit);
    EXPECT_EQ(cli("strings Demo German").out, "");
}

TEST_F(CodeCommandsTest, DryRunMakesTheSameDecisionsAsTheScan) {
    write_test_file(work.file("src/contexts.pas"), kContextsUnit);
    auto dry = cli("scan-code Demo German --dry-run");
    ASSERT_EQ(dry.status, 0) << dry.err;
    auto scan = cli("--yes scan-code Demo German");
    ASSERT_EQ(scan.status, 0) << scan.err;

    std::vector<std::string> would, did;
    for (const std::string& line : sorted_lines(dry.out)) {
        auto fields = tab_fields(line);
        ASSERT_EQ(fields.size(), 4u) << line;
        would.push_back(row_key(fields[0], fields[2], fields[3]));
    }
    for (const std::string& line : sorted_lines(cli("strings Demo German").out)) {
        auto fields = tab_fields(line);
        ASSERT_EQ(fields.size(), 4u) << line;
        did.push_back(row_key(fields[0], fields[3], fields[1]));
    }
    std::sort(would.begin(), would.end());
    std::sort(did.begin(), did.end());
    EXPECT_EQ(would, did);
    // Both print the literal 'Don''t stop' as it reads.
    EXPECT_NE(dry.out.find("\tFalsch\tDon't stop\n"), std::string::npos) << dry.out;

    // Only the statement literals of the new unit were taken; the report says what was left.
    const std::string contexts = src("contexts.pas");
    EXPECT_NE(contexts.find("'Alpha',\r\n    'Beta');"), std::string::npos);
    EXPECT_NE(contexts.find("SFailed = 'Could not open %s';"), std::string::npos);
    EXPECT_NE(contexts.find("'first': Result := ''+s_"), std::string::npos) << contexts;
    const std::string left =
        "5 literals left alone: 2 const section, 1 resourcestring section, 1 default parameter, "
        "1 case label";
    EXPECT_NE(dry.err.find(left), std::string::npos) << dry.err;
    EXPECT_NE(scan.err.find(left), std::string::npos) << scan.err;
}

// The units lie on a disk without room for their rewritten copies: the scan says so before it
// changes anything.
TEST(ScanCodeSpace, AFullSourceDiskIsNamedBeforeAnyUnitChanges) {
    lexorin::testing::TinyTmpfs disk("512k");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    TempDir work;
    std::filesystem::create_directories(work.file("home"));
    std::filesystem::create_directories(disk.file("src"));
    std::string unit = "unit big;\r\ninterface\r\nimplementation\r\nprocedure P;\r\nbegin\r\n";
    while (unit.size() < 150 * 1024) unit += "  S := 'A string to translate';\r\n";
    unit += "end;\r\nend.\r\n";
    for (const char* name : {"a.pas", "b.pas"}) write_test_file(disk.file("src/") + name, unit);
    // What is left of the disk holds less than the two units.
    std::string filler(180 * 1024, 'x');
    write_test_file(disk.file("filler"), filler);
    ASSERT_EQ(lexorin::testing::run_cli(work, "project add Demo " + disk.file("src")).status, 0);
    ASSERT_EQ(lexorin::testing::run_cli(work, "language add Demo German").status, 0);

    const CommandResult r = lexorin::testing::run_cli(work, "--yes scan-code Demo German");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Not enough space on the disk of " + disk.file("src") +
                         ": the rewritten units need about "),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("No unit was changed."), std::string::npos) << r.err;
    EXPECT_EQ(read_test_file(disk.file("src/a.pas")), unit);
    EXPECT_EQ(lexorin::testing::run_cli(work, "strings Demo German").out, "");
}
