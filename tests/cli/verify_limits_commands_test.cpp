// scan-code --verify with build commands that misbehave, run as a user runs them: one that
// leaves a child behind, one that floods its output, and lexorin-cli killed while its build
// runs. No process of the build outlives the command.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "cli/cli_fixture.h"
#include "support/test_support.h"

extern char** environ;

namespace {

using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The number a build command wrote into `file`; 0 while it is not there.
pid_t pid_in(const std::string& file) {
    if (!lexorin::file_exists(file)) return 0;
    const std::string text = lexorin::trim(read_test_file(file));
    return text.empty() ? 0 : static_cast<pid_t>(std::stol(text));
}

class VerifyLimitsCommandsTest : public lexorin::testing::DemoProjectTest {
  protected:
    void set_build_command(const std::string& command) {
        ASSERT_EQ(cli("project set Demo Cbuildcommand '" + command + "'").status, 0);
    }
};

TEST_F(VerifyLimitsCommandsTest, ABuildThatLeavesAChildBehindEndsAtOnceWithTheChild) {
    set_build_command("(sleep 20 & echo $! > ../child.pid); exit 0");
    const auto start = Clock::now();
    CommandResult r = cli("--yes scan-code Demo German --verify");
    EXPECT_LT(seconds_since(start), 10.0);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("The project compiles (1 build)."), std::string::npos) << r.err;
    const pid_t child = pid_in(work.file("child.pid"));
    ASSERT_GT(child, 0);
    EXPECT_TRUE(::kill(child, 0) != 0 && errno == ESRCH) << "the build's child still runs";
}

TEST_F(VerifyLimitsCommandsTest, ABuildThatDoesNotEndIsStoppedAtTheProjectsLimitOrTheGivenOne) {
    set_build_command("echo $$ > ../leader.pid; sleep 1000");
    ASSERT_EQ(cli("project set Demo Cbuildtimeout 1").status, 0);
    auto start = Clock::now();
    CommandResult r = cli("--yes scan-code Demo German --verify");
    EXPECT_LT(seconds_since(start), 10.0);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The build command did not end within its time limit of 1 second and "
                         "was stopped, with every process it started (1 build)."),
              std::string::npos)
        << r.err;
    const pid_t leader = pid_in(work.file("leader.pid"));
    ASSERT_GT(leader, 0);
    EXPECT_TRUE(::kill(-leader, 0) != 0 && errno == ESRCH);

    // --timeout wins over the project's limit.
    ASSERT_EQ(cli("project set Demo Cbuildtimeout 600").status, 0);
    start = Clock::now();
    r = cli("--yes scan-code Demo German --verify --timeout 2");
    EXPECT_LT(seconds_since(start), 10.0);
    EXPECT_NE(r.err.find("within its time limit of 2 seconds"), std::string::npos) << r.err;
    EXPECT_EQ(cli("scan-code Demo German --timeout 2").status, 2);
    EXPECT_EQ(cli("scan-code Demo German --verify --timeout soon").status, 2);
}

TEST_F(VerifyLimitsCommandsTest, MillionsOfErrorLinesGiveACappedReport) {
    set_build_command("yes \"demo.dpr(3,1) Error: boom\" | head -n 2000000; exit 1");
    CommandResult r = cli("--yes scan-code Demo German --verify");
    EXPECT_EQ(r.status, 1);
    EXPECT_LT(r.err.size(), 100000u);
    EXPECT_NE(r.err.find("The project does not compile (1 build). The last errors:\n"
                         "  demo.dpr(3,1) Error: boom\n"),
              std::string::npos)
        << r.err.substr(0, 2000);
    EXPECT_NE(r.err.find("\n  ... and 1999800 more errors\n"), std::string::npos);
}

// Orphans of the killed command come to this process instead of init, which may never reap
// them: a process that is gone is then surely gone.
class AdoptOrphans {
  public:
    AdoptOrphans() { ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0); }
    ~AdoptOrphans() { ::prctl(PR_SET_CHILD_SUBREAPER, 0, 0, 0, 0); }
};

// True once no process of the group is left, reaping those handed to this process.
bool group_ends_within(pid_t group, double seconds) {
    const auto start = Clock::now();
    while (seconds_since(start) < seconds) {
        siginfo_t info{};
        while (::waitid(P_PGID, static_cast<id_t>(group), &info, WEXITED | WNOHANG) == 0 &&
               info.si_pid != 0)
            info = {};
        if (::kill(-group, 0) != 0 && errno == ESRCH) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST_F(VerifyLimitsCommandsTest, KillingLexorinDuringABuildEndsTheBuild) {
    set_build_command("echo $$ > ../leader.pid; sleep 1000 & sleep 1000");
    AdoptOrphans adopt;
    const std::string script = "cd '" + work.path() + "' && LEXORIN_HOME='" + work.file("home") +
                               "' exec '" + LEXORIN_CLI +
                               "' --yes scan-code Demo German --verify >/dev/null 2>&1";
    const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
    pid_t cli_pid = 0;
    ASSERT_EQ(
        ::posix_spawn(&cli_pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    const auto start = Clock::now();
    pid_t group = 0;
    while (seconds_since(start) < 30 && (group = pid_in(work.file("leader.pid"))) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_GT(group, 0) << "the build never started";
    ASSERT_EQ(::kill(-group, 0), 0);

    ASSERT_EQ(::kill(cli_pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(cli_pid, &status, 0), cli_pid);
    const bool ended = group_ends_within(group, 3.0);
    if (!ended) {
        ::kill(-group, SIGKILL);  // what this test started does not outlive it
        group_ends_within(group, 3.0);
    }
    EXPECT_TRUE(ended) << "the build went on after lexorin-cli was killed";
}

}  // namespace
