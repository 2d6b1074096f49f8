#include "base/temporary_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

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

std::uint64_t inode_of(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_ino;
}

// What users keep that looks like ours: the old six-character names, a name with sixteen hex
// digits, a folder; and a copy of a real temporary, which has another inode.
void PlaceLookAlikes(const TempDir& dir) {
    write_test_file(dir.file(".~lexorin.notes.txt.abc123"), "the user's");
    write_test_file(dir.file(".~lexorin.unit1.pas.AbC123"), "the user's");
    write_test_file(dir.file(".~lexorin.unit1.pas.0123456789abcdef"), "the user's");
    std::filesystem::create_directory(dir.file(".~lexorin.photos.2024ab"));
    write_test_file(dir.file(".~lexorin.photos.2024ab/holiday.jpg"), "photo");
}

void ExpectLookAlikesKept(const TempDir& dir) {
    for (const char* name :
         {".~lexorin.notes.txt.abc123", ".~lexorin.unit1.pas.AbC123",
          ".~lexorin.unit1.pas.0123456789abcdef", ".~lexorin.photos.2024ab/holiday.jpg"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << name;
}

TEST(TemporaryFiles, ANameProvesOnlyTheInodeItWasMadeFor) {
    const std::string name = temporary_name("unit1.pas", 1234567);
    EXPECT_TRUE(name.starts_with(".~lexorin.unit1.pas.")) << name;
    EXPECT_EQ(name.size(), std::string(".~lexorin.unit1.pas.").size() + 16);
    EXPECT_TRUE(names_its_inode(name, 1234567));
    EXPECT_FALSE(names_its_inode(name, 1234568));
    // The stem is part of the proof: the same check under another stem proves nothing.
    const std::string other = ".~lexorin.unit2.pas" + name.substr(name.rfind('.'));
    EXPECT_FALSE(names_its_inode(other, 1234567));
    EXPECT_FALSE(names_its_inode(".~lexorin.unit1.pas.aB3xYz", 1234567));
    EXPECT_FALSE(names_its_inode(name.substr(1), 1234567));
    // A stem too long for a file name is cut, and the name still proves its inode.
    const std::string long_name = temporary_name(std::string(400, 'u'), 99);
    EXPECT_EQ(long_name.size(), 255u);
    EXPECT_TRUE(names_its_inode(long_name, 99));

    TempDir dir;
    write_test_file(dir.file("unit1.pas"), "old");
    AtomicFileWriter writer(dir.file("unit1.pas"));
    EXPECT_EQ(directory_of(writer.temp_path()), dir.dir());
    EXPECT_TRUE(names_its_inode(file_name_of(writer.temp_path()), inode_of(writer.temp_path())))
        << writer.temp_path();
}

TEST(TemporaryFiles, SweepTakesOnlyAbandonedFilesOfOurs) {
    TempDir dir;
    write_test_file(dir.file("unit1.pas"), "unit");
    PlaceLookAlikes(dir);
    // A link of a proven name is neither removed nor followed.
    write_test_file(dir.file("precious.txt"), "precious");
    const std::string link_name = temporary_name("x.pas", inode_of(dir.file("precious.txt")));
    std::filesystem::create_symlink(dir.file("precious.txt"), dir.file(link_name));
    // The temporary file of a writer at work is held locked and stays.
    AtomicFileWriter living(dir.file("unit1.pas"));
    living.write("new");
    living.finish(false);
    // A copy of one of ours (a user's backup of the folder, say) is a new file: not ours.
    std::filesystem::copy_file(living.temp_path(), dir.file("copy"));
    std::filesystem::rename(dir.file("copy"), living.temp_path() + "x");
    const std::string copied = file_name_of(living.temp_path()) + "x";

    EXPECT_EQ(sweep_temporary_files(dir.path()), 0);
    EXPECT_EQ(sweep_temporary_files(dir.path(), true), 0);
    ExpectLookAlikesKept(dir);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file(link_name)));
    EXPECT_EQ(read_test_file(dir.file("precious.txt")), "precious");
    EXPECT_TRUE(std::filesystem::exists(living.temp_path()));
    EXPECT_TRUE(std::filesystem::exists(dir.file(copied)));
    living.replace();
    EXPECT_EQ(read_test_file(dir.file("unit1.pas")), "new");
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
    EXPECT_TRUE(names_its_inode(left[0], inode_of(dir.file(left[0])))) << left[0];
    EXPECT_EQ(read_test_file(dir.file("unit1.pas")), "old text");
    PlaceLookAlikes(dir);

    EXPECT_EQ(sweep_temporary_files_beside({dir.file("unit1.pas")}), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file(left[0])));
    ExpectLookAlikesKept(dir);
    EXPECT_EQ(read_test_file(dir.file("unit1.pas")), "old text");
}

TEST(TemporaryFiles, ATableKilledWhileBuiltGoesWithItsJournal) {
    TempDir dir;
    KillHalfWay([&](int ready) {
        TemporaryFile table(dir.file("Demo_units.db"));
        write_test_file(table.path(), "half a table");
        write_test_file(table.path() + "-journal", "its journal");
        SignalAndWait(ready);
    });
    ASSERT_EQ(names_in(dir.path()).size(), 2u);
    // A user's file named like the journal of a look-alike is no journal of ours.
    write_test_file(dir.file(".~lexorin.notes.txt.abc123"), "the user's");
    write_test_file(dir.file(".~lexorin.notes.txt.abc123-journal"), "the user's");
    EXPECT_EQ(sweep_temporary_files(dir.path()), 1);
    EXPECT_EQ(names_in(dir.path()),
              (std::vector<std::string>{".~lexorin.notes.txt.abc123",
                                        ".~lexorin.notes.txt.abc123-journal"}));
}

TEST(TemporaryFiles, AFileGivenUpOnGoesAndOnePutInPlaceStays) {
    TempDir dir;
    {
        TemporaryFile given_up(dir.file("a.db"));
        write_test_file(given_up.path() + "-journal", "journal");
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
    {
        TemporaryFile linked(dir.file("a.db"));
        ASSERT_EQ(linked.link_as(dir.file("a.db")), 0);
        TemporaryFile second(dir.file("a.db"));
        EXPECT_EQ(second.link_as(dir.file("a.db")), EEXIST);  // never replaces
    }
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"a.db"});
    {
        TemporaryFile renamed(dir.file("a.db"));
        write_test_file(renamed.path(), "new");
        ASSERT_EQ(renamed.rename_over(dir.file("a.db")), 0);
    }
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"a.db"});
    EXPECT_EQ(read_test_file(dir.file("a.db")), "new");
}

class TmpdirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("TMPDIR")) saved_ = old;
        ::setenv("TMPDIR", base.path().c_str(), 1);
    }
    void TearDown() override {
        if (saved_)
            ::setenv("TMPDIR", saved_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    TempDir base;

  private:
    std::optional<std::string> saved_;
};

TEST_F(TmpdirTest, AFormFolderOfAKilledRunIsRemovedByTheNext) {
    KillHalfWay([](int ready) {
        forms::PrivateTempDirectory temp;
        write_test_file(temp.file("Tempform.txt"), "object A: TA\r\nend\r\n");
        SignalAndWait(ready);
    });
    std::vector<std::string> left = names_in(base.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(names_its_inode(left[0], inode_of(base.file(left[0])))) << left[0];
    PlaceLookAlikes(base);
    std::filesystem::create_directory(base.file(".~lexorin.forms.Q1w2E3"));
    write_test_file(base.file(".~lexorin.forms.Q1w2E3/Tempform.txt"), "the user's");
    {
        forms::PrivateTempDirectory next;
        // (The new folder may well get the freed inode, and so the same name.)
        EXPECT_FALSE(std::filesystem::exists(base.file(left[0] + "/Tempform.txt")));
        // A second run at the same time keeps the folder of the first.
        forms::PrivateTempDirectory beside;
        EXPECT_TRUE(std::filesystem::exists(next.path()));
        EXPECT_TRUE(std::filesystem::exists(beside.path()));
    }
    ExpectLookAlikesKept(base);
    EXPECT_TRUE(std::filesystem::exists(base.file(".~lexorin.forms.Q1w2E3/Tempform.txt")));
    EXPECT_EQ(names_in(base.path()).size(), 5u);
}

}  // namespace
