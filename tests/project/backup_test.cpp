#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <map>
#include <random>

#include "app/commands.h"
#include "base/errors.h"
#include "base/file_utils.h"
#include "project/backup.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::project;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

using lexorin::testing::RecordingReporter;

struct Member {
    std::string bytes;
    zip_uint16_t method;
};

// The archive read back with libzip: member name -> contents and compression method.
std::map<std::string, Member> read_archive(const std::string& path) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive) throw std::runtime_error("cannot open " + path);
    std::map<std::string, Member> members;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st);
        std::string bytes(st.size, '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        zip_fread(file, bytes.data(), st.size);
        zip_fclose(file);
        members[st.name] = {bytes, st.comp_method};
    }
    zip_close(archive);
    return members;
}

std::string member(const std::string& path) {
    return path.substr(1);  // full path without the leading "/"
}

class BackupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        write_test_file(src.file("main.pas"), unit_text);
        write_test_file(src.file("sub/form1.dfm"), random_bytes(3000));
        write_test_file(src.file("tools/tool.pas"), "unit tool;\r\nend.\r\n");
        write_test_file(src.file("tools/old/old.pas"), "unit old;\r\nend.\r\n");
        write_test_file(src.file("readme.txt"), "not a source");
        write_test_file(src.file(".svn/hidden.pas"), "unit hidden;");
    }
    static std::string random_bytes(size_t n) {
        std::mt19937 gen(42);
        std::string s(n, '\0');
        for (auto& c : s) c = static_cast<char>(gen());
        return s;
    }

    std::string unit_text = std::string(2000, 'a') + "\r\nunit main;\r\nend.\r\n";
    TempDir src;
    TempDir home;
    RecordingReporter reporter;
};

TEST_F(BackupTest, MembersAreTheSourcesByTheirFullPathsReadBackByteForByte) {
    auto result =
        BackupProject(home.dir(), "Demo", src.path(), true, {src.file("tools") + "/"}, reporter);
    EXPECT_EQ(result.added, 3);
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(result.message,
              "Your files have been backed up successfully into " + home.dir() + "Demo.zip");
    EXPECT_EQ(reporter.progress_calls.back(), (std::pair<int, int>{3, 3}));

    auto members = read_archive(home.file("Demo.zip"));
    ASSERT_EQ(members.size(), 3u);
    // The excluded folder's own files stay out, those of its subfolders come in.
    EXPECT_EQ(members.count(member(src.file("tools/tool.pas"))), 0u);
    EXPECT_EQ(members.at(member(src.file("tools/old/old.pas"))).bytes,
              read_test_file(src.file("tools/old/old.pas")));
    // A member that shrinks is deflated; one that does not is stored.
    EXPECT_EQ(members.at(member(src.file("main.pas"))).bytes, unit_text);
    EXPECT_EQ(members.at(member(src.file("main.pas"))).method, ZIP_CM_DEFLATE);
    EXPECT_EQ(members.at(member(src.file("sub/form1.dfm"))).bytes,
              read_test_file(src.file("sub/form1.dfm")));
    EXPECT_EQ(members.at(member(src.file("sub/form1.dfm"))).method, ZIP_CM_STORE);
}

TEST_F(BackupTest, WithoutRecursionOnlyTheRootsFilesAreSaved) {
    BackupProject(home.dir(), "Demo", src.path(), false, {}, reporter);
    auto members = read_archive(home.file("Demo.zip"));
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members.begin()->first, member(src.file("main.pas")));
}

// A Lazarus project's program file, .pp units and .lfm forms are rewritten or written beside
// like a Delphi project's: they are saved too, and so is whatever the project's own masks take.
TEST_F(BackupTest, LazarusFilesAndTheProjectsOwnMasksAreSaved) {
    write_test_file(src.file("hello.lpr"), "program hello;\nbegin\nend.\n");
    write_test_file(src.file("unit2.pp"), "unit unit2;\nend.\n");
    write_test_file(src.file("unit2.lfm"), "object Form2: TForm2\nend\n");
    write_test_file(src.file("texts.inc"), "'text'");
    write_test_file(src.file("notes.txt"), "not a source");
    BackupProject(home.dir(), "Demo", src.path(), false, {}, reporter, OutsideLinks::Skip, "*.inc");
    auto members = read_archive(home.file("Demo.zip"));
    for (const char* name : {"main.pas", "hello.lpr", "unit2.pp", "unit2.lfm", "texts.inc"})
        EXPECT_EQ(members.count(member(src.file(name))), 1u) << name;
    EXPECT_EQ(members.count(member(src.file("notes.txt"))), 0u);
}

TEST_F(BackupTest, MemberNamesAreNormalisedAbsolutePaths) {
    EXPECT_EQ(backup_member_name("/src/app/./x/../unit1.pas"), "src/app/unit1.pas");
    EXPECT_EQ(backup_member_name("//src/a.pas"), "src/a.pas");
    std::string relative = backup_member_name("rel/a.pas");
    EXPECT_EQ(relative, member(std::filesystem::current_path().string() + "/rel/a.pas"));
}

TEST_F(BackupTest, AnExistingArchiveGetsTheCurrentFilesInPlaceOfItsOlderMembers) {
    BackupProject(home.dir(), "Demo", src.path(), false, {}, reporter);
    // The sources change after the first backup: a later one must save them as they are now.
    write_test_file(src.file("main.pas"), "unit main; { changed }");
    write_test_file(src.file("second.pas"), "unit second;");
    auto result = BackupProject(home.dir(), "Demo", src.path(), false, {}, reporter);
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.replaced, 1);
    EXPECT_TRUE(result.failures.empty());
    EXPECT_TRUE(reporter.warnings.empty());
    EXPECT_FALSE(result.message.empty());
    auto members = read_archive(home.file("Demo.zip"));
    EXPECT_EQ(members.size(), 2u);
    EXPECT_EQ(members.at(member(src.file("main.pas"))).bytes, "unit main; { changed }");
}

TEST_F(BackupTest, AFileThatCannotBeReadIsLeftOutAndTheOthersAreSaved) {
    std::string dangling = src.file("gone.pas");
    ASSERT_EQ(::symlink(src.file("nowhere.pas").c_str(), dangling.c_str()), 0);
    std::vector<std::string> files{src.file("main.pas"), dangling, src.file("sub"),
                                   src.file("tools/tool.pas")};
    bool as_root = ::geteuid() == 0;
    if (!as_root) {
        write_test_file(src.file("locked.pas"), "secret");
        ::chmod(src.file("locked.pas").c_str(), 0);
        files.push_back(src.file("locked.pas"));
    }
    auto result = BackupFiles(home.file("Demo.zip"), files, reporter);
    EXPECT_EQ(result.added, 2);
    ASSERT_EQ(result.failures.size(), as_root ? 2u : 3u);
    for (const auto& f : result.failures) EXPECT_EQ(f.rfind("Backup: ", 0), 0u) << f;
    EXPECT_NE(result.failures[0].find(dangling), std::string::npos);
    EXPECT_NE(result.failures[1].find("not a regular file"), std::string::npos);
    EXPECT_EQ(read_archive(home.file("Demo.zip")).size(), 2u);
}

TEST_F(BackupTest, AnArchiveThatCannotBeWrittenIsReportedAndTheOldOneStays) {
    // A program directory that is not there: the failure comes when the archive is closed.
    std::vector<std::string> files{src.file("main.pas")};
    EXPECT_THROW(BackupFiles(home.file("missing/Demo.zip"), files, reporter), Error);
    EXPECT_FALSE(file_exists(home.file("missing/Demo.zip")));

    // Something that is no archive is not overwritten.
    write_test_file(home.file("Demo.zip"), "not a zip");
    try {
        BackupFiles(home.file("Demo.zip"), files, reporter);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(home.file("Demo.zip")), std::string::npos);
    }
    EXPECT_EQ(read_test_file(home.file("Demo.zip")), "not a zip");

    if (::geteuid() != 0) {
        TempDir locked;
        BackupFiles(locked.file("Demo.zip"), files, reporter);
        std::string before = read_test_file(locked.file("Demo.zip"));
        write_test_file(src.file("new.pas"), "unit new;");
        ::chmod(locked.path().c_str(), 0555);
        EXPECT_THROW(BackupFiles(locked.file("Demo.zip"), {src.file("new.pas")}, reporter), Error);
        ::chmod(locked.path().c_str(), 0755);
        EXPECT_EQ(read_test_file(locked.file("Demo.zip")), before);
    }
}

TEST_F(BackupTest, TheSourceCheckWarnsAndTheOfferStillMakesAnEmptyArchive) {
    TempDir empty;
    auto files = SourceCheck(empty.path(), true, {}, reporter);
    EXPECT_TRUE(files.empty());
    ASSERT_EQ(reporter.warnings.size(), 1u);
    EXPECT_EQ(reporter.warnings[0], "Warning: The directory " + empty.path() +
                                        " does not countain files with the extensions *.pas "
                                        "or *.dfm.");

    BackupResult result;
    ASSERT_TRUE(commands::OfferBackup(home.dir(), "Empty", files, reporter, &result));
    EXPECT_EQ(reporter.questions.back(),
              "Do you want all your .pas and .dfm files to be automatically backed up\rinto "
              "Empty.zip in the Lexorin directory?");
    EXPECT_EQ(read_archive(home.file("Empty.zip")).size(), 0u);
    EXPECT_EQ(result.message,
              "Your files have been backed up successfully into " + home.dir() + "Empty.zip");

    RecordingReporter no(false);
    EXPECT_FALSE(commands::OfferBackup(home.dir(), "Declined", {src.file("main.pas")}, no));
    EXPECT_FALSE(file_exists(home.file("Declined.zip")));
}

TEST_F(BackupTest, TheOfferIsMadeOnlyWhileNoDirectoryIsStored) {
    EXPECT_FALSE(commands::CheckSourcesAndOfferBackup(home.dir(), "Demo", src.path(), true, {},
                                                      src.path(), reporter));
    EXPECT_TRUE(reporter.questions.empty());
    EXPECT_FALSE(file_exists(home.file("Demo.zip")));
    auto result = commands::CheckSourcesAndOfferBackup(home.dir(), "Demo", src.path(), true, {}, "",
                                                       reporter);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->added, 4);  // .svn and readme.txt stay out
    EXPECT_EQ(reporter.questions.size(), 1u);
}

}  // namespace
