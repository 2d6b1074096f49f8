#include "project/file_walker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "support/test_support.h"

namespace lexorin::project {
namespace {

using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;
using Names = std::vector<std::string>;

TEST(MatchesMask, WildcardsAndLiterals) {
    EXPECT_TRUE(MatchesMask("/src/unit1.pas", "*"));
    EXPECT_TRUE(MatchesMask("/src/unit1.pas", "*.*"));
    EXPECT_FALSE(MatchesMask("/src/makefile", "*.*x"));
    EXPECT_TRUE(MatchesMask("/src/unit1.pas", "*.pas"));
    EXPECT_TRUE(MatchesMask("/src/unit1.pas", "*unit?.pas"));
    EXPECT_FALSE(MatchesMask("/src/unit12.pas", "*unit?.pas"));
    EXPECT_TRUE(MatchesMask("/src/a.pas", "/src/?.pas"));
    EXPECT_FALSE(MatchesMask("/src/a.pas", "/src/??.pas"));
    EXPECT_FALSE(MatchesMask("ab", "ab?"));  // "?" past the end fails the length test
    EXPECT_TRUE(MatchesMask("ab", "ab*"));
}

TEST(MatchesMask, WholePathsAndNoBacktracking) {
    // Without a wildcard a mask must equal the whole (lower-cased) path.
    EXPECT_FALSE(MatchesMask("/src/unit1.pas", "unit1.pas"));
    EXPECT_TRUE(MatchesMask("/src/unit1.pas", "/src/unit1.pas"));
    // The first ".pas" lies in the folder name and the rest of the path is left over.
    EXPECT_FALSE(MatchesMask("c:/old.pascal/unit1.pas", "*.pas"));
    EXPECT_FALSE(MatchesMask("/src/unit1.pas", "*.PAS"));
}

TEST(SplitMasks, SeparatorsAndBlanks) {
    EXPECT_EQ(SplitMasks("*.pas; *.dfm"), (Names{"*.pas", "*.dfm"}));
    EXPECT_EQ(SplitMasks("*.pas,*.inc;*.dpr"), (Names{"*.pas", "*.inc", "*.dpr"}));
    EXPECT_EQ(SplitMasks("*.pas;;*.dfm"), (Names{"*.pas", "", "*.dfm"}));
    EXPECT_EQ(SplitMasks("*.pas;"), (Names{"*.pas"}));
    EXPECT_EQ(SplitMasks(""), Names{});
}

class CollectFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"b.pas", "A.pas", "c.dfm", "sub/s.pas", "sub/deeper/d.pas",
                                 "tools/t.pas", "tools/old/o.pas", ".svn/x.pas", "z.pas"})
            write_test_file(dir.file(name), "unit x;");
    }
    std::string at(const std::string& name) const { return dir.file(name); }
    TempDir dir;
};

TEST_F(CollectFilesTest, DepthFirstInNameOrderSkippingDotFolders) {
    EXPECT_EQ(CollectFiles(dir.path(), true, "*.pas", {}),
              (Names{at("A.pas"), at("b.pas"), at("sub/deeper/d.pas"), at("sub/s.pas"),
                     at("tools/old/o.pas"), at("tools/t.pas"), at("z.pas")}));
}

TEST_F(CollectFilesTest, RecursionOffListsTheRootOnly) {
    EXPECT_EQ(CollectFiles(dir.path(), false, "*.pas;*.dfm", {}),
              (Names{at("A.pas"), at("b.pas"), at("c.dfm"), at("z.pas")}));
}

TEST_F(CollectFilesTest, MasksMatchTheLowerCasedPath) {
    EXPECT_EQ(CollectFiles(dir.path(), false, "*/a.pas", {}), Names{at("A.pas")});
    EXPECT_EQ(CollectFiles(dir.path(), false, "*.PAS", {}), Names{});
    EXPECT_EQ(CollectFiles(dir.path(), false, "", {}), Names{});
}

TEST_F(CollectFilesTest, ExclusionIsExactAndIgnoresCase) {
    std::string tools = dir.path() + "/TOOLS/";
    // Subfolders of an excluded folder are still walked and taken.
    Names files = CollectFiles(dir.path(), true, "*.pas", {tools});
    EXPECT_EQ(std::count(files.begin(), files.end(), at("tools/t.pas")), 0);
    EXPECT_EQ(std::count(files.begin(), files.end(), at("tools/old/o.pas")), 1);
    // An entry typed without its final "/" names the same folder.
    files = CollectFiles(dir.path(), true, "*.pas", {dir.path() + "/tools"});
    EXPECT_EQ(std::count(files.begin(), files.end(), at("tools/t.pas")), 0);
}

TEST_F(CollectFilesTest, RootWithTrailingSlashAndMissingRoot) {
    EXPECT_EQ(CollectFiles(dir.path() + "/", false, "*.dfm", {}), Names{at("c.dfm")});
    EXPECT_EQ(CollectFiles(dir.path() + "/missing", true, "*", {}), Names{});
}

TEST_F(CollectFilesTest, LinkLoopsEndAndPipesAreNoFiles) {
    ASSERT_EQ(::symlink(dir.path().c_str(), at("sub/back").c_str()), 0);
    ASSERT_EQ(::mkfifo(at("pipe.pas").c_str(), 0600), 0);
    Names files = CollectFiles(dir.path(), true, "*.pas", {});
    // The link to the root is not walked again, and the pipe would block a scan.
    EXPECT_EQ(files.size(), 7u);
    EXPECT_EQ(std::count(files.begin(), files.end(), at("pipe.pas")), 0);
}

TEST_F(CollectFilesTest, AFolderThatCannotBeReadIsReported) {
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::filesystem::permissions(at("sub"), std::filesystem::perms::none);
    EXPECT_TRUE(lexorin::testing::check_without_privileges([&] {
        std::vector<UnreadableFolder> unreadable;
        const Names files = CollectFiles(dir.path(), true, "*.pas", {}, &unreadable);
        return std::count(files.begin(), files.end(), at("z.pas")) == 1 && unreadable.size() == 1 &&
               unreadable[0].folder == at("sub") && unreadable[0].reason == "Permission denied";
    }));
    std::filesystem::permissions(at("sub"), std::filesystem::perms::owner_all);
}

TEST_F(CollectFilesTest, AFileReachedTwiceIsWorkedOnOnce) {
    // A linked folder beside the real one leads to the same units.
    ASSERT_EQ(::symlink(at("sub").c_str(), at("alias").c_str()), 0);
    Names files = CollectFiles(dir.path(), true, "*.pas", {});
    ASSERT_EQ(std::count(files.begin(), files.end(), at("alias/s.pas")), 1);
    files.push_back(at("b.pas"));        // named twice
    files.push_back(at("missing.pas"));  // kept, so that the command reports it
    EXPECT_EQ(OncePerFile(files),
              (Names{at("A.pas"), at("alias/deeper/d.pas"), at("alias/s.pas"), at("b.pas"),
                     at("tools/old/o.pas"), at("tools/t.pas"), at("z.pas"), at("missing.pas")}));
}

TEST_F(CollectFilesTest, TheWalkerGivesFilesFoldersAndLinksOfOneWalk) {
    TempDir elsewhere;
    write_test_file(elsewhere.file("far.pas"), "unit far;");
    ASSERT_EQ(::symlink(elsewhere.file("far.pas").c_str(), at("sub/far.pas").c_str()), 0);
    FileWalker walker;
    walker.root = at("sub");
    walker.masks = {"*.pas"};
    walker.outside_links = OutsideLinks::Skip;
    const SourceWalk found = walker.Walk();
    EXPECT_EQ(found.files, (Names{at("sub/deeper/d.pas"), at("sub/s.pas")}));
    EXPECT_TRUE(found.unreadable_folders.empty());
    ASSERT_EQ(found.skipped_links.size(), 1u);
    EXPECT_EQ(found.skipped_links[0].path, at("sub/far.pas"));
    EXPECT_EQ(found.skipped_links[0].target,
              std::filesystem::canonical(elsewhere.file("far.pas")).string());
    EXPECT_FALSE(found.skipped_links[0].folder);
    // Each walk starts afresh from the settings as they are then.
    walker.recursive = false;
    EXPECT_EQ(walker.Walk().files, Names{at("sub/s.pas")});
}

}  // namespace
}  // namespace lexorin::project
