#include "project/project_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "base/errors.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;

namespace {

using std::chrono::milliseconds;

// Tries the lock in a child process (a second command) and gives back what happened: "taken",
// or the text of the error.
std::string TryInAnotherProcess(const std::string& home, milliseconds wait) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        std::string result;
        try {
            ProjectLock lock(home, "Demo", wait);
            result = "taken";
        } catch (const Error& e) {
            result = e.what();
        }
        (void)!::write(out[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<size_t>(n));
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

TEST(ProjectLock, ASecondProcessWaitsThenNamesTheHolder) {
    TempDir home;
    {
        ProjectLock lock(home.dir(), "Demo");
        EXPECT_TRUE(lock.owns());
        EXPECT_EQ(read_test_file(home.file("Demo.lock")), std::to_string(::getpid()) + "\n");
        EXPECT_EQ(TryInAnotherProcess(home.dir(), milliseconds(200)),
                  "Project Demo is in use by another Lexorin command (pid " +
                      std::to_string(::getpid()) + ").");
        // Another project is not held.
        ProjectLock other(home.dir(), "Other", milliseconds(0));
        EXPECT_TRUE(other.owns());
        // A command function inside a command of this process neither waits for itself nor
        // lets go of the outer lock.
        {
            ProjectLock nested(home.dir(), "Demo", milliseconds(0));
            EXPECT_FALSE(nested.owns());
        }
        EXPECT_NE(TryInAnotherProcess(home.dir(), milliseconds(0)), "taken");
    }
    EXPECT_EQ(TryInAnotherProcess(home.dir(), milliseconds(0)), "taken");
    EXPECT_EQ(read_test_file(home.file("Demo.lock")), "");  // no pid of a holder that is gone
}

TEST(ProjectLock, TheKernelDropsTheLockOfAKilledCommand) {
    TempDir home;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ProjectLock lock(home.dir(), "Demo");
        (void)!::write(ready[1], "x", 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(
        TryInAnotherProcess(home.dir(), milliseconds(0)),
        "Project Demo is in use by another Lexorin command (pid " + std::to_string(child) + ").");
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // The lock file stays with the dead holder's pid, but the lock is free.
    ProjectLock lock(home.dir(), "Demo", milliseconds(0));
    EXPECT_TRUE(lock.owns());
    EXPECT_EQ(read_test_file(home.file("Demo.lock")), std::to_string(::getpid()) + "\n");
}

TEST(ProjectLock, AWaitingCommandGetsTheLockWhenTheHolderEnds) {
    TempDir home;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        {
            ProjectLock lock(home.dir(), "Demo");
            (void)!::write(ready[1], "x", 1);
            ::usleep(100 * 1000);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ProjectLock lock(home.dir(), "Demo", milliseconds(10000));
    EXPECT_TRUE(lock.owns());
    ::waitpid(child, nullptr, 0);
}

}  // namespace
