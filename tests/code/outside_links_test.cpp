// Units and folders reached through symbolic links that lead out of the project folder are left
// out of the unit list (a rewrite would change a file elsewhere) and of the backup, each named
// with the reason, unless the project allows them; links that stay inside work as before.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "code/code_scan.h"
#include "project/backup.h"
#include "project/file_walker.h"
#include "project/projects_table.h"
#include "store/table_store.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"

namespace lexorin::project {
namespace {

using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;
using Names = std::vector<std::string>;

class OutsideLinksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"own.pas", "real/inside.pas", "sub/deep.pas"})
            write_test_file(project.file(name), "unit x;");
        for (const char* name : {"ext.pas", "shared/lib.pas"})
            write_test_file(elsewhere.file(name), "unit y;");
        link(elsewhere.file("ext.pas"), "ext.pas");
        link(elsewhere.file("shared"), "shared");
        link("real/inside.pas", "inside.pas");  // relative, inside
        link(project.file("sub"), "alias");     // absolute, inside
    }
    void link(const std::string& target, const std::string& name) {
        ASSERT_EQ(::symlink(target.c_str(), project.file(name).c_str()), 0);
    }
    std::string at(const std::string& name) const { return project.file(name); }
    static Names paths(const std::vector<OutsideLink>& links) {
        Names names;
        for (const auto& link : links) names.push_back(link.path);
        return names;
    }

    TempDir project;
    TempDir elsewhere;
};

TEST_F(OutsideLinksTest, LinksOutAreListedAndLeftOutLinksInsideAreWalked) {
    std::vector<OutsideLink> skipped;
    const Names files =
        CollectFiles(project.path(), true, "*.pas", {}, nullptr, OutsideLinks::Skip, &skipped);
    EXPECT_EQ(files, (Names{at("alias/deep.pas"), at("inside.pas"), at("own.pas"),
                            at("real/inside.pas"), at("sub/deep.pas")}));
    ASSERT_EQ(paths(skipped), (Names{at("ext.pas"), at("shared")}));
    EXPECT_FALSE(skipped[0].folder);
    EXPECT_EQ(skipped[0].target, std::filesystem::canonical(elsewhere.file("ext.pas")).string());
    EXPECT_TRUE(skipped[1].folder);
    EXPECT_EQ(project.path() + "/ext.pas: " + OutsideLinkReason(skipped[0]),
              project.path() + "/ext.pas: it is a link to a file outside the project folder (" +
                  skipped[0].target +
                  "), left as it is; allow links out of the project folder with the project "
                  "option Cfollowlinks (\"Follow outside links\" in Scan code)");

    // Followed, they are walked like the rest (and nothing is listed).
    skipped.clear();
    const Names all =
        CollectFiles(project.path(), true, "*.pas", {}, nullptr, OutsideLinks::Follow, &skipped);
    EXPECT_EQ(std::count(all.begin(), all.end(), at("ext.pas")), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), at("shared/lib.pas")), 1);
    EXPECT_TRUE(skipped.empty());
}

TEST_F(OutsideLinksTest, OnlyWhatTheWalkWouldTakeIsListed) {
    std::vector<OutsideLink> skipped;
    // Not recursive: the linked folder would not be entered anyway; a mask the linked unit does
    // not match leaves it unlisted.
    CollectFiles(project.path(), false, "*.pas", {}, nullptr, OutsideLinks::Skip, &skipped);
    EXPECT_EQ(paths(skipped), Names{at("ext.pas")});
    CollectFiles(project.path(), true, "*.dfm", {}, nullptr, OutsideLinks::Skip, &skipped);
    EXPECT_EQ(paths(skipped), Names{at("shared")});
}

TEST_F(OutsideLinksTest, TheProjectRowDecidesForItsUnits) {
    TempDir work;
    store::Session session;
    ProjectsTable data(session, work.path());
    store::Table& projects = data.Projects;
    add_project(projects, {"Demo", project.path(), true, {}});
    ASSERT_TRUE(locate_project(projects, "Demo"));
    EXPECT_FALSE(projects.logical(field::Cfollowlinks));  // the default

    std::vector<OutsideLink> skipped;
    Names units = code::ProjectUnitFiles(projects, nullptr, &skipped);
    EXPECT_EQ(std::count(units.begin(), units.end(), at("ext.pas")), 0);
    EXPECT_EQ(std::count(units.begin(), units.end(), at("shared/lib.pas")), 0);
    EXPECT_EQ(std::count(units.begin(), units.end(), at("inside.pas")), 1);
    EXPECT_EQ(paths(skipped), (Names{at("ext.pas"), at("shared")}));

    projects.edit();
    projects.set_logical(field::Cfollowlinks, true);
    projects.post();
    units = code::ProjectUnitFiles(projects, nullptr, &skipped);
    EXPECT_EQ(std::count(units.begin(), units.end(), at("ext.pas")), 1);
    EXPECT_EQ(std::count(units.begin(), units.end(), at("shared/lib.pas")), 1);
    EXPECT_TRUE(skipped.empty());
}

TEST_F(OutsideLinksTest, TheBackupLeavesOutWhatTheScanLeavesOutAndSaysSo) {
    lexorin::testing::RecordingReporter reporter;
    std::vector<std::string> problems;
    const Names files = SourceCheck(project.path(), true, {}, reporter, &problems);
    EXPECT_EQ(std::count(files.begin(), files.end(), at("ext.pas")), 0);
    EXPECT_EQ(std::count(files.begin(), files.end(), at("inside.pas")), 1);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].rfind("Backup: " + at("ext.pas") +
                                    ": it is a link to a file outside "
                                    "the project folder",
                                0),
              0u)
        << problems[0];
    EXPECT_EQ(
        problems[1].rfind("Backup: " + at("shared") + ": it is a link to a folder outside", 0), 0u)
        << problems[1];
    EXPECT_EQ(reporter.warnings, problems);

    const Names followed =
        SourceCheck(project.path(), true, {}, reporter, nullptr, OutsideLinks::Follow);
    EXPECT_EQ(std::count(followed.begin(), followed.end(), at("shared/lib.pas")), 1);
}

}  // namespace
}  // namespace lexorin::project
