// restore-code on generated units as a user runs it: tens of thousands of literals on one line
// come back with a report of a few lines, in bounded memory; a unit's changed lines are listed
// up to a limit and the rest counted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/text_utils.h"
#include "cli/cli_fixture.h"
#include "support/test_support.h"

using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// A command's output, exit status, wall time and peak resident memory (its own and its
// children's, as wait4 gives them).
struct Measured {
    CommandResult result;
    double seconds = 0;
    long peak_kb = 0;
};

// Runs a shell command line in a child whose address space is capped (unless a sanitizer,
// which reserves huge ranges, is built in), so that a restore that grows with the square of a
// line fails here instead of taking the machine's memory.
Measured run_measured(const TempDir& scratch, const std::string& command_line) {
    const std::string out = scratch.file("measured.out"), err = scratch.file("measured.err");
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        if (!kSanitized) {
            const rlimit cap{4ul << 30, 4ul << 30};
            ::setrlimit(RLIMIT_AS, &cap);
        }
        const std::string full = "(" + command_line + ") </dev/null >" + out + " 2>" + err;
        ::execl("/bin/sh", "sh", "-c", full.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Measured measured;
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        measured.result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        measured.peak_kb = usage.ru_maxrss;
    }
    measured.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measured.result.out = read_test_file(out);
    measured.result.err = read_test_file(err);
    return measured;
}

// One project "Big" with one language, on the units of work/src.
class RestoreAtScaleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(work.file("home"));
        std::filesystem::create_directories(work.file("src"));
    }
    CommandResult cli(const std::string& args) { return lexorin::testing::run_cli(work, args); }
    std::string cli_line(const std::string& args) const {
        return "cd '" + work.path() + "' && LEXORIN_HOME='" + work.file("home") + "' '" +
               LEXORIN_CLI + "' " + args;
    }
    // Writes the unit with this body, registers the project and scans it.
    std::string Scanned(const std::string& name, const std::vector<std::string>& body) {
        std::vector<std::string> lines = {"unit big;",      "interface",    "uses SysUtils;",
                                          "implementation", "procedure P;", "begin"};
        lines.insert(lines.end(), body.begin(), body.end());
        lines.insert(lines.end(), {"end;", "end."});
        path = work.file("src/" + name);
        original = lexorin::join_text_lines(lines);
        write_test_file(path, original);
        EXPECT_EQ(cli("project add Big src").status, 0);
        EXPECT_EQ(cli("language add Big German").status, 0);
        CommandResult scan = cli("--yes scan-code Big German");
        EXPECT_EQ(scan.status, 0) << scan.err;
        return path;
    }

    TempDir work;
    std::string path, original;
};

TEST_F(RestoreAtScaleTest, FortyThousandLiteralsOnOneLineComeBackInBoundedMemoryAndOutput) {
    const int count = 40000;
    std::string line = "  S := ";
    for (int i = 0; i < count; ++i) line += (i ? " + 'Text " : "'Text ") + std::to_string(i) + "'";
    line += ";";
    Scanned("big.pas", {line});
    ASSERT_NE(read_test_file(path), original);
    ASSERT_NE(read_test_file(path).find("''+s_40000+''"), std::string::npos);

    const Measured restore = run_measured(work, cli_line("restore-code Big German"));
    std::cout << "[restore-code] " << count << " literals on one line of " << line.size()
              << " bytes: " << restore.seconds << " s, peak " << restore.peak_kb / 1024 << " MB, "
              << restore.result.out.size() << " bytes on stdout, " << restore.result.err.size()
              << " on stderr\n";
    ASSERT_EQ(restore.result.status, 0) << restore.result.err.substr(0, 2000);
    EXPECT_EQ(read_test_file(path), original);  // every literal back, the unit byte for byte
    EXPECT_NE(restore.result.err.find("40000 strings restored, 1 units given back whole"),
              std::string::npos)
        << restore.result.err.substr(0, 2000);

    // One line of report for the one changed line: the first references and a count, the
    // line's beginning.
    EXPECT_EQ(
        restore.result.out.rfind(
            "s_1 s_2 s_3 s_4 s_5 and 39995 more\t" + path + ":7\t  S := 'Text 0' + 'Text 1' + ", 0),
        0u)
        << restore.result.out.substr(0, 2000);
    EXPECT_LT(restore.result.out.size(), 1024u);
    EXPECT_EQ(std::count(restore.result.out.begin(), restore.result.out.end(), '\n'), 1);
    EXPECT_LT(restore.result.err.size(), 1024u);
    // Before: 1.18 GB at 10,000 literals, killed at 15.9 GB at 40,000.
    EXPECT_LT(restore.peak_kb, 512 * 1024) << "peak resident memory in KB";

    // Given back on purpose: a rescan leaves every literal alone.
    CommandResult rescan = cli("--yes scan-code Big German");
    EXPECT_EQ(rescan.status, 0) << rescan.err;
    EXPECT_EQ(read_test_file(path), original);
}

TEST_F(RestoreAtScaleTest, LinesAreReportedOnceEachAndBeyondTwentyCounted) {
    std::vector<std::string> body = {"  A('one', 'two', 'three');"};
    for (int i = 0; i < 24; ++i) body.push_back("  B('line " + std::to_string(i) + "');");
    Scanned("lines.pas", body);

    CommandResult r = cli("restore-code Big German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_test_file(path), original);
    const std::vector<std::string> out = lexorin::read_text_lines(r.out);
    ASSERT_EQ(out.size(), 21u) << r.out;
    EXPECT_EQ(out[0], "s_1 s_2 s_3\t" + path + ":7\t  A('one', 'two', 'three');");
    EXPECT_EQ(out[1], "s_4\t" + path + ":8\t  B('line 0');");
    EXPECT_EQ(out[19], "s_22\t" + path + ":26\t  B('line 18');");
    EXPECT_EQ(out[20], "... and 5 more lines of " + path + " (5 strings)");
    EXPECT_NE(r.err.find("27 strings restored, 1 units given back whole, 0 units failed\n"),
              std::string::npos)
        << r.err;
}

TEST_F(RestoreAtScaleTest, RowsNoLineRefersToAreNamedOnOneLine) {
    std::vector<std::string> body;
    for (int i = 0; i < 8; ++i) body.push_back("  B('line " + std::to_string(i) + "');");
    Scanned("edited.pas", body);
    // The user put the literals back by hand.
    write_test_file(path, original);

    CommandResult r = cli("restore-code Big German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("\n  no line refers to s_1 s_2 s_3 s_4 s_5 and 3 more\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(read_test_file(path), original);
}

}  // namespace
