// project delete --with-tables cut short by a kill, and project add where a deletion left
// tables: nothing of an old project is ever taken over without a word.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

#include "base/file_utils.h"
#include "cli/cli_fixture.h"
#include "support/test_support.h"

using namespace lexorin;

namespace {

class ProjectAddDeleteTest : public lexorin::testing::DemoProjectTest {
  protected:
    std::string home(const std::string& name) { return work.file("home/" + name); }

    // The files of the program directory that belong to Demo and not to Demo_2.
    std::vector<std::string> DemoTables() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(work.file("home"))) {
            const std::string name = e.path().filename().string();
            if (name.starts_with("Demo_") && !name.starts_with("Demo_2")) names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Starts `--yes project delete Demo --with-tables` in its own process group.
    pid_t StartDeletion() {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setpgid(0, 0);
            if (::chdir(work.path().c_str()) != 0) ::_exit(126);
            ::setenv("LEXORIN_HOME", work.file("home").c_str(), 1);
            if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
                ::_exit(126);
            ::execl(LEXORIN_CLI, "lexorin-cli", "--yes", "project", "delete", "Demo",
                    "--with-tables", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (pid > 0) ::setpgid(pid, pid);  // either side may come first
        return pid;
    }
};

TEST_F(ProjectAddDeleteTest, AddingANameWhoseTablesADeletionLeftIsRefusedNamingThem) {
    const std::vector<std::string> tables{"Demo_French_forms.db", "Demo_French_pascal.db",
                                          "Demo_German_forms.db", "Demo_German_pascal.db",
                                          "Demo_pasfiles.db",     "Demo_units.db"};
    ASSERT_EQ(DemoTables(), tables);
    ASSERT_EQ(cli("--yes project delete Demo").status, 0);  // the row only
    auto r = cli("project add Demo src");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("already holds table files of a project named Demo"), std::string::npos)
        << r.err;
    for (const auto& name : tables) EXPECT_NE(r.err.find(home(name)), std::string::npos) << name;
    EXPECT_EQ(cli("project list").out, "");
    EXPECT_EQ(DemoTables(), tables);

    // A project whose name merely begins the same way is not concerned; and once the tables
    // are gone, the name is free again.
    ASSERT_EQ(cli("project add Demo_2 src").status, 0);
    for (const auto& name : tables) std::filesystem::remove(home(name));
    r = cli("project add Demo src");
    EXPECT_EQ(r.status, 0) << r.err;
}

// Killed at moments spread over its run, a deletion leaves the project listed until its tables
// are gone; run again, it ends as an uninterrupted one, and the name can be added afresh.
TEST_F(ProjectAddDeleteTest, ADeletionKilledAtAnyMomentIsFinishedByRunningItAgain) {
    ASSERT_EQ(cli("project add Demo_2 src").status, 0);
    ASSERT_EQ(cli("language add Demo_2 German").status, 0);
    int cut_short = 0;
    for (int round = 0; round < 12; ++round) {
        const pid_t pid = StartDeletion();
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * round));
        ::kill(-pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);

        const std::string list = "\n" + cli("project list").out;
        const bool listed = list.find("\nDemo\n") != std::string::npos;
        if (listed) {
            if (DemoTables().size() < 6) ++cut_short;
            const auto again = cli("--yes project delete Demo --with-tables");
            ASSERT_EQ(again.status, 0) << "round " << round << ": " << again.err;
        } else {
            // Only the row's own deletion comes after the tables.
            EXPECT_EQ(DemoTables(), std::vector<std::string>{}) << "round " << round;
        }
        EXPECT_EQ(cli("project list").out, "Demo_2\n") << "round " << round;
        EXPECT_EQ(DemoTables(), std::vector<std::string>{}) << "round " << round;
        for (const char* name : {"Demo_2_German_forms.db", "Demo_2_units.db"})
            EXPECT_TRUE(file_exists(home(name))) << name << ", round " << round;

        auto added = cli("project add Demo src");
        ASSERT_EQ(added.status, 0) << "round " << round << ": " << added.err;
        ASSERT_EQ(cli("language add Demo German").status, 0);
        ASSERT_EQ(cli("language add Demo French").status, 0);
    }
    std::cout << cut_short << " of 12 deletions were killed after some of their tables\n";
}

}  // namespace
