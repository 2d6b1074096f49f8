// Temporary files and folders of killed runs are removed by the next command that writes their
// folder; files and folders of the user that merely look alike stay, whatever the command.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "base/file_utils.h"
#include "base/temporary_files.h"
#include "cli/cli_fixture.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

// A file (or a folder holding a form text) named as a temporary of ours for `stem` is named: its
// name proves its own inode, just as a run killed half-way leaves it.
std::string MakeLeftover(const std::string& folder, const std::string& stem,
                         bool as_folder = false) {
    const std::string scratch = folder + "/scratch";
    if (as_folder) {
        std::filesystem::create_directory(scratch);
        write_test_file(scratch + "/Tempform.txt", "half a form");
    } else {
        write_test_file(scratch, "half a file");
    }
    struct stat st {};
    ::lstat(scratch.c_str(), &st);
    const std::string path = folder + "/" + temporary_name(stem, st.st_ino);
    std::filesystem::rename(scratch, path);
    return path;
}

// The commands run with their own $TMPDIR, where the form commands keep their folders.
class LeftoverFilesTest : public lexorin::testing::DemoProjectTest {
  protected:
    void SetUp() override {
        DemoProjectTest::SetUp();
        if (const char* old = std::getenv("TMPDIR")) saved_tmpdir_ = old;
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
    }
    void TearDown() override {
        if (saved_tmpdir_)
            ::setenv("TMPDIR", saved_tmpdir_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    bool exists(const std::string& path) { return std::filesystem::exists(path); }

    // What a user may keep in the source folder, the program directory and $TMPDIR: the names
    // earlier versions swept, one with sixteen hex digits, libzip's pattern, folders.
    void PlaceLookAlikes() {
        for (const std::string& folder : {work.file("src"), work.file("home"), tmp.path()}) {
            for (const char* name :
                 {".~lexorin.notes.txt.abc123", ".~lexorin.greetings.pas.Ab12Cd",
                  ".~lexorin.strings.tra.0123456789abcdef",
                  ".~lexorin.Demo_German_pascal.db.Zz9Yy8", ".~lexorin.Demo.zip.Xy7Zq1",
                  "Demo.zip.Xy7Zq1", ".~lexorin.photos.2024ab/a.jpg",
                  ".~lexorin.forms.Q1w2E3/Tempform.txt"}) {
                const std::string path = folder + "/" + name;
                std::filesystem::create_directories(directory_of(path));
                write_test_file(path, "the user's own");
                look_alikes_.push_back(path);
            }
        }
    }
    // "" when every look-alike is there as it was, else the first that is not.
    std::string MissingLookAlike() {
        for (const auto& path : look_alikes_)
            if (!exists(path) || read_test_file(path) != "the user's own") return path;
        return {};
    }

    TempDir tmp;

  private:
    std::optional<std::string> saved_tmpdir_;
    std::vector<std::string> look_alikes_;
};

TEST_F(LeftoverFilesTest, EveryCommandThatSweepsKeepsTheUsersLookAlikes) {
    PlaceLookAlikes();
    write_test_file(work.file("src/messages.po"), "");
    const std::vector<std::string> commands = {
        "--yes scan-code Demo German",
        "write-code Demo German",
        "restore-code Demo German",
        "project set Demo Cbuildcommand true",
        "--yes scan-code Demo German --verify",
        "scan-forms Demo German",
        "write-forms Demo German",
        "backup Demo",
        "language add Demo Spanish",
        "export-po Demo German src/messages.po",
        "import-po Demo German src/messages.po",
    };
    for (const auto& command : commands) {
        const auto r = cli(command);
        ASSERT_EQ(r.status, 0) << command << ": " << r.err;
        EXPECT_EQ(MissingLookAlike(), "") << "after " << command;
    }
    EXPECT_TRUE(exists(work.file("home/Demo.zip")));
}

TEST_F(LeftoverFilesTest, LeftoversOfKilledRunsGoWithTheNextCommandThatWritesTheirFolder) {
    PlaceLookAlikes();
    const std::string unit = MakeLeftover(work.file("src"), "greetings.pas");
    const std::string table = MakeLeftover(work.file("home"), "Demo_German_pascal.db");
    write_test_file(table + "-journal", "its journal");
    ASSERT_EQ(cli("--yes scan-code Demo German").status, 0);
    EXPECT_FALSE(exists(unit));
    EXPECT_FALSE(exists(table));
    EXPECT_FALSE(exists(table + "-journal"));

    const std::string strings = MakeLeftover(work.file("src"), "strings.tra");
    ASSERT_EQ(cli("write-code Demo German").status, 0);
    EXPECT_FALSE(exists(strings));

    const std::string form_folder = MakeLeftover(tmp.path(), "forms", true);
    const std::string form = MakeLeftover(work.file("src"), "aboutbox.tra.res");
    ASSERT_EQ(cli("scan-forms Demo German").status, 0);
    EXPECT_FALSE(exists(form_folder));
    ASSERT_EQ(cli("write-forms Demo German").status, 0);
    EXPECT_FALSE(exists(form));

    const std::string restored = MakeLeftover(work.file("src"), "greetings.pas");
    ASSERT_EQ(cli("restore-code Demo German").status, 0);
    EXPECT_FALSE(exists(restored));

    // The new archive is written to a temporary file of ours and renamed into place.
    const std::string archive = MakeLeftover(work.file("home"), "Demo.zip");
    ASSERT_EQ(cli("backup Demo").status, 0);
    EXPECT_FALSE(exists(archive));
    EXPECT_TRUE(exists(work.file("home/Demo.zip")));
    EXPECT_EQ(MissingLookAlike(), "");

    // Nothing of ours is left anywhere, and none of the commands left a temporary behind.
    for (const std::string& folder : {work.file("src"), work.file("home"), tmp.path()})
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            struct stat st {};
            ::lstat(entry.path().c_str(), &st);
            EXPECT_FALSE(names_its_inode(entry.path().filename().string(), st.st_ino))
                << entry.path();
        }
}

}  // namespace
