// A build command that misbehaves never holds Lexorin: one that does not end is stopped at its
// time limit or by Cancel, one that leaves processes behind returns when its first process ends,
// and one that floods its output is read to the end but kept only in part. Every process such a
// build started is gone afterwards.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/text_utils.h"
#include "code/build_command.h"
#include "code/compiler_messages.h"
#include "code/restore_journal.h"
#include "code/verify_build.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The number a build command wrote into `file` ($$ of its shell: the leader, whose number names
// the group, or $! of a child).
pid_t pid_in(const std::string& file) {
    const std::string text = trim(read_test_file(file));
    return text.empty() ? 0 : static_cast<pid_t>(std::stol(text));
}

bool group_gone(pid_t group) {
    return ::kill(-group, 0) != 0 && errno == ESRCH;
}

bool process_gone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

TEST(BuildLimits, ACommandThatDoesNotEndIsStoppedAtItsTimeLimitWithItsWholeGroup) {
    TempDir dir;
    BuildOptions options;
    options.time_limit = std::chrono::seconds(2);
    const auto start = Clock::now();
    BuildResult result = RunBuildCommand(
        "echo $$ > leader.pid; sleep 1000 & echo $! > child.pid; sleep 1000", dir.path(), options);
    const double took = seconds_since(start);
    EXPECT_EQ(result.end, BuildEnd::TimedOut);
    EXPECT_EQ(result.status, 128 + SIGKILL);
    EXPECT_GE(took, 1.9);
    EXPECT_LT(took, 10.0);  // does not hang
    const pid_t leader = pid_in(dir.file("leader.pid"));
    ASSERT_GT(leader, 0);
    EXPECT_TRUE(group_gone(leader)) << "a process of the build's group is still there";
    EXPECT_TRUE(process_gone(pid_in(dir.file("child.pid"))));
}

TEST(BuildLimits, ACommandThatLeavesAChildBehindReturnsAtOnceAndTheChildIsKilled) {
    TempDir dir;
    const auto start = Clock::now();
    // The child holds the output pipe open for 20 s; the command itself is done at once.
    BuildResult result = RunBuildCommand(
        "echo $$ > leader.pid; (sleep 20 & echo $! > child.pid); exit 0", dir.path(), {});
    EXPECT_LT(seconds_since(start), 3.0);
    EXPECT_EQ(result.end, BuildEnd::Exited);
    EXPECT_EQ(result.status, 0);
    const pid_t child = pid_in(dir.file("child.pid"));
    ASSERT_GT(child, 0);
    EXPECT_TRUE(process_gone(child)) << "the build's child " << child << " is still running";
    EXPECT_TRUE(group_gone(pid_in(dir.file("leader.pid"))));
}

TEST(BuildLimits, CancelStopsTheBuildAndItsGroup) {
    TempDir dir;
    BuildOptions options;
    const auto start = Clock::now();
    int asked = 0;
    options.cancel_requested = [&] {
        ++asked;
        return seconds_since(start) > 0.5;
    };
    BuildResult result = RunBuildCommand("echo $$ > leader.pid; sleep 1000", dir.path(), options);
    EXPECT_EQ(result.end, BuildEnd::Cancelled);
    EXPECT_LT(seconds_since(start), 5.0);
    EXPECT_GE(asked, 3);  // asked again and again while it ran
    EXPECT_TRUE(group_gone(pid_in(dir.file("leader.pid"))));
}

TEST(BuildLimits, AFloodOfOutputIsReadToTheEndAndKeptInPart) {
    TempDir dir;
    BuildOptions options;
    std::size_t lines = 0;
    CompilerMessageLog log;
    options.on_line = [&](std::string_view line) {
        ++lines;
        log.add_line(line);
    };
    // 2,000,000 error lines with CR LF ends, as Windows compilers print them.
    const std::string error = "u.pas(3,1) Error: boom";
    BuildResult result = RunBuildCommand(
        "yes '" + error + "' | head -n 2000000 | sed 's/$/\\r/'; exit 1", dir.path(), options);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output_bytes, 2000000u * (error.size() + 2));
    EXPECT_EQ(result.output.size(), kKeptOutput);
    EXPECT_EQ(lines, 2000000u);
    EXPECT_EQ(log.count(), 2000000u);
    EXPECT_EQ(log.shown().size(), CompilerMessageLog::kShownMessages);
    EXPECT_EQ(log.places().size(), 1u);
}

TEST(BuildLimits, AnEndlessLineIsCutAndTheNextLinesStillCome) {
    TempDir dir;
    BuildOptions options;
    std::vector<std::string> lines;
    options.on_line = [&](std::string_view line) { lines.emplace_back(line); };
    RunBuildCommand("head -c 300000 /dev/zero | tr '\\0' x; echo; echo 'u.pas(7) Error: late'",
                    dir.path(), options);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), kLongestLine);
    EXPECT_EQ(lines[1], "u.pas(7) Error: late");
}

class VerifyLimitsTest : public ::testing::Test, protected test::CodeTables {
  protected:
    void SetUp() override {
        std::filesystem::copy_file(LEXORIN_SOURCE_DIR "/code/glue/lx_lang.pas",
                                   tables.file("lx_lang.pas"));
        std::filesystem::copy_file(LEXORIN_SOURCE_DIR "/code/glue/lx_lang.inc",
                                   tables.file("lx_lang.inc"));
        write_test_file(sources.file("show.pas"),
                        "unit show;\ninterface\nimplementation\nprocedure Run;\nbegin\n"
                        "  WriteLn('Hello world');\nend;\nend.\n");
        journal = std::make_unique<RestoreJournal>(folder(), "Demo");
        NewBatch({.restore_journal = journal.get()});
        ScanUnit(sources.file("show.pas"));
        pascal.flush();
    }
    // The line of the scanned unit that refers to s_1.
    int ReferenceLine() {
        const std::vector<std::string> lines =
            read_text_lines(read_test_file(sources.file("show.pas")));
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find("+s_1+") != std::string::npos) return static_cast<int>(i + 1);
        return 0;
    }
    VerifyReport Verify(const std::string& command, std::chrono::seconds limit) {
        ProjectCodeTables code_tables(folder(), "Demo", LanguageList{{"English"}, 0});
        VerifyTarget target{sources.path(), command, limit};
        return VerifyBuild(code_tables, target, CodePage(), reporter, 5);
    }

    std::unique_ptr<RestoreJournal> journal;
    lexorin::testing::RecordingReporter reporter;
};

TEST_F(VerifyLimitsTest, ABuildStoppedAtItsLimitIsSaidSoAndJudgesNothing) {
    const auto start = Clock::now();
    VerifyReport report = Verify("sleep 1000", std::chrono::seconds(2));
    EXPECT_LT(seconds_since(start), 10.0);
    EXPECT_EQ(report.last_end, BuildEnd::TimedOut);
    EXPECT_FALSE(report.compiles);
    EXPECT_EQ(report.rounds, 1);
    EXPECT_EQ(VerifyReportLines(report).back(),
              "The build command did not end within its time limit of 2 seconds and was "
              "stopped, with every process it started (1 build). The project was not verified.");
    // The last status text cleared it (and, in a window, took the Cancel button away).
    ASSERT_FALSE(reporter.statuses.empty());
    EXPECT_EQ(reporter.statuses.back(), "");
}

TEST_F(VerifyLimitsTest, MillionsOfErrorsGiveAShortReport) {
    const int line = ReferenceLine();
    ASSERT_GT(line, 0);
    VerifyReport report = Verify(
        "yes 'show.pas(" + std::to_string(line) + ",3) Error: refused' | head -n 2000000; exit 1",
        std::chrono::seconds(60));
    EXPECT_FALSE(report.compiles);
    // The line's literal was given back once, in the first round; the second build refused the
    // same line again, where nothing is left to give back.
    EXPECT_EQ(report.rounds, 2);
    EXPECT_EQ(report.restored.size(), 1u);
    EXPECT_EQ(report.last_errors.size(), CompilerMessageLog::kShownMessages);
    EXPECT_EQ(report.more_errors, 2000000u - CompilerMessageLog::kShownMessages);
    EXPECT_LE(report.last_output.size(), kKeptOutput);
    const std::vector<std::string> lines = VerifyReportLines(report);
    std::size_t bytes = 0;
    for (const auto& line : lines) bytes += line.size() + 1;
    EXPECT_LT(bytes, 20000u);
    EXPECT_EQ(lines.back(), "  ... and 1999800 more errors");
}

TEST_F(VerifyLimitsTest, ARestoredLineIsReportedOnceWhateverItsLiteralsAndTheListIsCapped) {
    VerifyReport report;
    report.has_command = true;
    report.rounds = 2;
    report.compiles = true;
    // One line that held 3,000 literals, then 300 lines of one literal each.
    const std::string long_line(40000, 'x');
    for (int i = 0; i < 3000; ++i) report.restored.push_back({i + 1, "/p/gen.pas", 7, long_line});
    for (int i = 0; i < 300; ++i)
        report.restored.push_back({5000 + i, "/p/other.pas", 10 + i, "  WriteLn('x');"});
    const std::vector<std::string> lines = VerifyReportLines(report);
    ASSERT_EQ(lines.size(), kReportedRestoredLines + 2);
    EXPECT_EQ(lines[0], "Restored gen.pas:7: " + long_line.substr(0, 160) + "...");
    EXPECT_EQ(lines[1], "Restored other.pas:10: WriteLn('x');");
    EXPECT_EQ(lines[kReportedRestoredLines],
              "... and 101 more restored lines (3300 strings given back in all)");
    EXPECT_EQ(lines.back(), "The project compiles (2 builds).");
}

}  // namespace
}  // namespace lexorin::code
