// The compiler as judge: reading compilers' messages, running a build command, and the rounds of
// building and giving back literals until a scanned project compiles.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/build_command.h"
#include "code/compiler_messages.h"
#include "code/restore_journal.h"
#include "code/verify_build.h"
#include "project/file_walker.h"
#include "support/recording_reporter.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::read_test_file;
using lexorin::testing::run_command;
using lexorin::testing::write_test_file;

TEST(CompilerMessages, ErrorsWithAFileAndLineFromEachCompiler) {
    const std::string output =
        "Free Pascal Compiler version 3.2.2\r\n"
        "Compiling prog.dpr\n"
        "u.pas(15,17) Error: Incompatible type for arg no. 1: Got \"AnsiString\", expected "
        "\"PChar\"\n"
        "u.pas(3,1) Hint: Unit \"SysUtils\" not used in u\n"
        "u.pas(7,3) Warning: Local variable \"x\" does not seem to be initialized\n"
        "sub dir/v w.pas(40) Fatal: Syntax error, \";\" expected but \"END\" found\n"
        "Fatal: Compilation aborted\n"
        "Error: /usr/bin/ppcx64 returned an error exitcode\n"
        "C:\\src\\Unit1.pas(12) Error: E2010 Incompatible types: 'PAnsiChar' and 'string'\n"
        "[dcc32 Error] Unit2.pas(30): E2010 Incompatible types: 'PChar' and 'string'\n"
        "[dcc64 Fatal Error] Unit3.pas(1): F1026 File not found: 'lx_lang.dcu'\n"
        "[dcc32 Hint] Unit2.pas(31): H2164 Variable 'i' is declared but never used\n";
    std::vector<CompilerMessage> messages = ParseCompilerMessages(output);
    std::vector<std::pair<std::string, int>> found;
    for (const auto& m : messages) found.emplace_back(m.file, m.line);
    EXPECT_EQ(found, (std::vector<std::pair<std::string, int>>{{"u.pas", 15},
                                                               {"sub dir/v w.pas", 40},
                                                               {"C:\\src\\Unit1.pas", 12},
                                                               {"Unit2.pas", 30},
                                                               {"Unit3.pas", 1}}));
    EXPECT_EQ(messages[0].text,
              "u.pas(15,17) Error: Incompatible type for arg no. 1: Got \"AnsiString\", "
              "expected \"PChar\"");
    EXPECT_TRUE(ParseCompilerMessages("").empty());
}

TEST(BuildCommand, RunsInTheDirectoryAndCapturesBothOutputs) {
    lexorin::testing::TempDir dir;
    write_test_file(dir.file("marker.txt"), "here");
    BuildResult result =
        RunBuildCommand("cat marker.txt; echo ' out'; echo err >&2; exit 3", dir.path());
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.output, "here out\nerr\n");
    EXPECT_EQ(RunBuildCommand("no-such-build-tool-here", dir.path()).status, 127);
    EXPECT_EQ(RunBuildCommand("kill -9 $$", dir.path()).status, 128 + 9);
    // A command that reads waits for no one: its input is empty.
    EXPECT_EQ(RunBuildCommand("cat", dir.path()).status, 0);
}

bool HaveFpc() {
    return run_command("fpc -iV").status == 0;
}

// A unit whose literal goes to a PChar parameter: once it is a resource string the compiler
// refuses it, as an AnsiString expression.
const char* kShowUnit =
    "unit show;\n"
    "\n"
    "interface\n"
    "\n"
    "uses SysUtils;\n"
    "\n"
    "procedure Run;\n"
    "\n"
    "implementation\n"
    "\n"
    "procedure Show(P: PChar);\n"
    "begin\n"
    "  WriteLn(P);\n"
    "end;\n"
    "\n"
    "procedure Run;\n"
    "begin\n"
    "  WriteLn('Kept as a reference');\n"
    "  Show('Hello world');\n"
    "end;\n"
    "\n"
    "end.\n";

class VerifyBuildTest : public ::testing::Test, protected test::CodeTables {
  protected:
    void SetUp() override {
        fs::copy_file(LEXORIN_SOURCE_DIR "/code/glue/lx_lang.pas", tables.file("lx_lang.pas"));
        fs::copy_file(LEXORIN_SOURCE_DIR "/code/glue/lx_lang.inc", tables.file("lx_lang.inc"));
        write_test_file(sources.file("show.pas"), kShowUnit);
        write_test_file(sources.file("prog.dpr"),
                        "program prog;\nuses show;\nbegin\n  Run;\nend.\n");
        journal = std::make_unique<RestoreJournal>(folder(), "Demo");
        NewBatch({.restore_journal = journal.get()});
        ScanUnit(sources.file("show.pas"));
        pascal.flush();
    }
    VerifyReport Verify(const std::string& command, int rounds = kVerifyRounds) {
        ProjectCodeTables code_tables(folder(), "Demo", LanguageList{{"English"}, 0});
        VerifyTarget target{sources.path(), command};
        return VerifyBuild(code_tables, target, CodePage(), reporter, rounds);
    }

    std::unique_ptr<RestoreJournal> journal;
    lexorin::testing::RecordingReporter reporter;
};

TEST_F(VerifyBuildTest, TheRefusedLiteralComesBackAndTheProjectCompiles) {
    if (!HaveFpc()) GTEST_SKIP() << "fpc is not installed";
    ASSERT_NE(read_test_file(sources.file("show.pas")).find("Show(''+s_2+'');"), std::string::npos);

    VerifyReport report = Verify("mkdir -p out && fpc -Mobjfpc -FUout -FEout prog.dpr");
    EXPECT_TRUE(report.compiles) << report.last_output;
    EXPECT_EQ(report.rounds, 2);
    ASSERT_EQ(report.restored.size(), 1u);
    EXPECT_EQ(report.restored[0].index, 2);
    EXPECT_EQ(report.restored[0].unit, sources.file("show.pas"));
    EXPECT_EQ(report.restored[0].line, 20);  // its marker line went
    EXPECT_EQ(report.restored[0].text, "  Show('Hello world');");
    EXPECT_TRUE(report.last_errors.empty());

    // The declarations were written for the build; the other literal stays a reference.
    EXPECT_TRUE(file_exists(sources.file("strings.org")));
    std::string unit = read_test_file(sources.file("show.pas"));
    EXPECT_NE(unit.find("WriteLn(''+s_1+'');"), std::string::npos) << unit;
    EXPECT_EQ(unit.find("//TL:Show"), std::string::npos) << unit;
    pascal.first();
    pascal.next();
    EXPECT_TRUE(pascal.logical("Ignore"));
    EXPECT_EQ(pascal.integer("NewLine"), 0);
    auto run = run_command("'" + sources.file("out/prog") + "'");
    EXPECT_EQ(run.out, "Kept as a reference\nHello world\n");

    std::vector<std::string> lines = VerifyReportLines(report);
    EXPECT_EQ(lines, (std::vector<std::string>{"Restored show.pas:20: Show('Hello world');",
                                               "The project compiles (2 builds)."}));
}

TEST_F(VerifyBuildTest, ErrorsOnLinesWithoutReferencesEndTheRounds) {
    if (!HaveFpc()) GTEST_SKIP() << "fpc is not installed";
    write_test_file(sources.file("prog.dpr"),
                    "program prog;\nuses show;\nbegin\n  Run;\n  NoSuchThing;\nend.\n");
    VerifyReport report = Verify("mkdir -p out && fpc -Mobjfpc -FUout -FEout prog.dpr");
    EXPECT_FALSE(report.compiles);
    // The PChar line is refused first (the unit is compiled before the program); then only
    // the program's own error is left, which no literal explains.
    EXPECT_EQ(report.rounds, 2);
    ASSERT_EQ(report.restored.size(), 1u);
    ASSERT_FALSE(report.last_errors.empty());
    EXPECT_NE(report.last_errors[0].find("prog.dpr(5"), std::string::npos) << report.last_errors[0];
    std::vector<std::string> lines = VerifyReportLines(report);
    EXPECT_EQ(lines[1], "The project does not compile (2 builds). The last errors:");
}

TEST_F(VerifyBuildTest, WithoutABuildCommandNothingIsBuilt) {
    VerifyReport report = Verify("  ");
    EXPECT_FALSE(report.has_command);
    EXPECT_EQ(report.rounds, 0);
    EXPECT_FALSE(file_exists(sources.file("strings.org")));
    EXPECT_EQ(VerifyReportLines(report),
              std::vector<std::string>{
                  "No build command is set for this project, so the code was not built."});
}

TEST_F(VerifyBuildTest, TheRoundsAreBoundedAndEndWhenNothingCanBeGivenBack) {
    // Line 21 holds the PChar call until it is given back; then it is "end;".
    const std::string command = "echo 'show.pas(21,3) Error: refused'; exit 1";
    VerifyReport report = Verify(command, 1);
    EXPECT_FALSE(report.compiles);
    EXPECT_EQ(report.rounds, 1);
    EXPECT_EQ(report.restored.size(), 1u);
    report = Verify(command, 5);
    EXPECT_EQ(report.rounds, 1);
    EXPECT_TRUE(report.restored.empty());
    EXPECT_EQ(report.last_errors, std::vector<std::string>{"show.pas(21,3) Error: refused"});
    report = Verify("exit 1", 5);
    EXPECT_EQ(report.last_errors,
              std::vector<std::string>{"The build command ended with status 1."});
}

}  // namespace
}  // namespace lexorin::code
