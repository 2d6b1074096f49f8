#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "cli/cli_fixture.h"
#include "project/project_lock.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;

namespace {

class ProjectLockCommandsTest : public lexorin::testing::DemoProjectTest {
  protected:
    std::string held_message() const {
        return "error: Project Demo is in use by another Lexorin command (pid " +
               std::to_string(::getpid()) + ").\n";
    }
    static size_t lines(const std::string& text) {
        return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    }
};

// The test process holds the lock as a running command would: changing commands wait, then fail
// naming it and change nothing; reading commands run beside it.
TEST_F(ProjectLockCommandsTest, ChangingCommandsWaitForTheHolderReadingOnesRunBeside) {
    const std::string unit_before = read_test_file(work.file("src/greetings.pas"));
    {
        ProjectLock held(work.file("home"), "Demo");
        CommandResult r = cli("--yes scan-code Demo German");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, held_message());
        EXPECT_EQ(read_test_file(work.file("src/greetings.pas")), unit_before);
        r = cli("language add Demo Spanish");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, held_message());

        for (const char* reading :
             {"strings Demo German", "status Demo German", "check Demo German",
              "scan-code Demo German --dry-run", "project show Demo", "project list",
              "export-po Demo German out.po"}) {
            r = cli(reading);
            EXPECT_EQ(r.status, 0) << reading << ": " << r.err;
        }
    }
    CommandResult r = cli("--yes scan-code Demo German");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(read_test_file(work.file("src/greetings.pas")), unit_before);
    EXPECT_EQ(cli("language add Demo Spanish").status, 0);
}

// Two scans started together: the second waits for the first and then finds every literal
// taken, so each string is one row in each language.
TEST_F(ProjectLockCommandsTest, TwoScansAtOnceGiveEachStringOnce) {
    const size_t expected = lines(cli("scan-code Demo German --dry-run").out);
    ASSERT_GT(expected, 0u);
    const std::string one = "LEXORIN_HOME='" + work.file("home") + "' '" + LEXORIN_CLI +
                            "' --yes scan-code Demo German";
    CommandResult both =
        lexorin::testing::run_command("cd '" + work.path() + "' && { " + one + " & a=$!; " + one +
                                      " & b=$!; wait $a && wait $b; }");
    EXPECT_EQ(both.status, 0) << both.err;
    const std::string german = cli("strings Demo German").out;
    EXPECT_EQ(lines(german), expected) << german;
    EXPECT_EQ(lines(cli("strings Demo French").out), expected);
}

}  // namespace
