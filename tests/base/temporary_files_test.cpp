#include "base/temporary_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "base/file_utils.h"
#include "forms/private_temp_directory.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

std::vector<std::string> names_in(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `work` in a child that reports on a pipe when it is half-way, then kills it with SIGKILL
// there: what a user's kill -9 leaves.
template <class Work>
void KillHalfWay(Work work) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        work(ready[1]);
        ::_exit(0);  // not reached: the parent kills the child while it waits
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
}

// Tells the parent that the child is half-way, then waits to be killed.
[[noreturn]] void SignalAndWait(int fd) {
    (void)!::write(fd, "x", 1);
    for (;;) ::pause();
}

TEST(TemporaryFiles, NamesAreOursAndRecognised) {
    EXPECT_EQ(temporary_pattern_beside("/p/src/unit1.pas"), "/p/src/.~lexorin.unit1.pas.XXXXXX");
    EXPECT_EQ(temporary_pattern_beside("unit1.pas"), ".~lexorin.unit1.pas.XXXXXX");
    EXPECT_TRUE(is_temporary_name(".~lexorin.unit1.pas.aB3xYz"));
    EXPECT_TRUE(is_temporary_name(".~lexorin.forms.Q1w2E3"));
    EXPECT_FALSE(is_temporary_name(".~lexorin.unit1.pas"));         // no random part
    EXPECT_FALSE(is_temporary_name(".~lexorin.unit1.pas.aB3xY"));   // five characters
    EXPECT_FALSE(is_temporary_name(".~lexorin.unit1.pas.aB3x-z"));  // not mkstemp's alphabet
    EXPECT_FALSE(is_temporary_name(".unit1.pas.aB3xYz"));           // the older, unknown form
    EXPECT_FALSE(is_temporary_name("~lexorin.unit1.pas.aB3xYz"));
    EXPECT_FALSE(is_temporary_name(".~lexorin..aB3xYz"));  // no name

    TempDir dir;
    write_test_file(dir.file("unit1.pas"), "old");
    AtomicFileWriter writer(dir.file("unit1.pas"));
    EXPECT_TRUE(is_temporary_name(file_name_of(writer.temp_path()))) << writer.temp_path();
    EXPECT_EQ(directory_of(writer.temp_path()), dir.dir());
}

TEST(TemporaryFiles, SweepTakesOnlyAbandonedFilesOfOurs) {
    TempDir dir;
    write_test_file(dir.file("unit1.pas"), "unit");
    write_test_file(dir.file(".~lexorin.unit1.pas.AbC123"), "left by a killed run");
    write_test_file(dir.file(".~lexorin.notes"), "the user's own");
    write_test_file(dir.file(".unit1.pas.AbC123"), "not our pattern");
    // A link of that name is neither removed nor followed.
    write_test_file(dir.file("precious.txt"), "precious");
    std::filesystem::create_symlink(dir.file("precious.txt"), dir.file(".~lexorin.x.pas.Lnk001"));
    // A folder of that name is left unless folders are asked for.
    std::filesystem::create_directory(dir.file(".~lexorin.sub.Dir001"));
    write_test_file(dir.file(".~lexorin.sub.Dir001/inner.pas"), "inner");
    // The temporary file of a writer at work is held locked and stays.
    AtomicFileWriter living(dir.file("unit1.pas"));
    living.write("new");
    living.finish(false);

    EXPECT_EQ(sweep_temporary_files(dir.path()), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file(".~lexorin.unit1.pas.AbC123")));
    EXPECT_EQ(read_test_file(dir.file(".~lexorin.notes")), "the user's own");
    EXPECT_EQ(read_test_file(dir.file(".unit1.pas.AbC123")), "not our pattern");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file(".~lexorin.x.pas.Lnk001")));
    EXPECT_EQ(read_test_file(dir.file("precious.txt")), "precious");
    EXPECT_TRUE(std::filesystem::exists(dir.file(".~lexorin.sub.Dir001/inner.pas")));
    EXPECT_TRUE(std::filesystem::exists(living.temp_path()));
    living.replace();
    EXPECT_EQ(read_test_file(dir.file("unit1.pas")), "new");

    EXPECT_EQ(sweep_temporary_files(dir.path(), true), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file(".~lexorin.sub.Dir001")));
    EXPECT_EQ(sweep_temporary_files(dir.file("missing")), 0);  // an unreadable folder is skipped
}

TEST(TemporaryFiles, AWriterKilledHalfWayLeavesAFileTheNextSweepRemoves) {
    TempDir dir;
    write_test_file(dir.file("unit1.pas"), "old text");
    KillHalfWay([&](int ready) {
        AtomicFileWriter writer(dir.file("unit1.pas"));
        writer.write("half of the new");
        writer.finish(false);
        SignalAndWait(ready);
    });
    std::vector<std::string> left = names_in(dir.path());
    ASSERT_EQ(left.size(), 2u);
    EXPECT_TRUE(is_temporary_name(left[0])) << left[0];
    EXPECT_EQ(read_test_file(dir.file("unit1.pas")), "old text");

    EXPECT_EQ(sweep_temporary_files_beside({dir.file("unit1.pas")}), 1);
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"unit1.pas"});
}

TEST(TemporaryFiles, AFormFolderOfAKilledRunIsRemovedByTheNext) {
    TempDir base;
    const char* old_tmpdir = std::getenv("TMPDIR");
    const std::string saved = old_tmpdir ? old_tmpdir : "";
    ::setenv("TMPDIR", base.path().c_str(), 1);
    KillHalfWay([](int ready) {
        forms::PrivateTempDirectory temp;
        write_test_file(temp.file("Tempform.txt"), "object A: TA\r\nend\r\n");
        SignalAndWait(ready);
    });
    std::vector<std::string> left = names_in(base.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(is_temporary_name(left[0])) << left[0];
    {
        forms::PrivateTempDirectory next;
        EXPECT_FALSE(std::filesystem::exists(base.file(left[0])));
        // A second run at the same time keeps the folder of the first.
        forms::PrivateTempDirectory beside;
        EXPECT_TRUE(std::filesystem::exists(next.path()));
        EXPECT_EQ(names_in(base.path()).size(), 2u);
    }
    EXPECT_TRUE(names_in(base.path()).empty());
    if (old_tmpdir)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

}  // namespace
