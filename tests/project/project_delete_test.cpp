#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/file_utils.h"
#include "project/language_list.h"
#include "project/language_tables.h"
#include "project/languages.h"
#include "project/project_delete.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "store/translation_tables.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::project;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

// Answers the questions in turn and records them.
using ScriptedReporter = lexorin::testing::RecordingReporter;

class DeleteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("src"));
        store::ensure_templates(home.path());
        for (const char* name : {"Demo", "Demo_2"}) {
            add_project(data.Projects, {name, dir.file("src"), true, {}});
            require_project(data.Projects, name);
            LanguageList list;
            SilentReporter quiet;
            AddLanguage(daten, data.Projects, list, "German", quiet);
            AddLanguage(daten, data.Projects, list, "French", quiet);
        }
        write_test_file(home.file("Demo.zip"), "archive");
        write_test_file(home.file("strings.tra"), "keep");
    }
    std::vector<std::string> home_files() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(home.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    bool has(const std::string& name) { return file_exists(home.file(name)); }
    static std::vector<std::string> demo_2_tables() {
        return {"Demo_2_German_forms.db",  "Demo_2_German_pascal.db", "Demo_2_French_forms.db",
                "Demo_2_French_pascal.db", "Demo_2_units.db",         "Demo_2_pasfiles.db"};
    }

    TempDir dir;
    TempDir home;
    store::Session session;
    TDataProjects data{session, dir.path()};
    store::TDaten daten{session, home.dir()};
    LanguageList languages;
};

TEST_F(DeleteTest, DeletingDemoWithTablesLeavesEveryTableOfDemo2) {
    require_project(data.Projects, "Demo");
    // The shared handles hold Demo's tables, as after any command.
    PrepareLanguageTables(daten, "Demo", "German", true);
    ScriptedReporter reporter({true, true});
    auto result = DeleteProject(daten, data.Projects, languages, reporter);
    EXPECT_EQ(reporter.questions,
              (std::vector<std::string>{"This function deletes your translation project. Proceed?",
                                        "Do you also want to delete your translation files?"}));
    EXPECT_TRUE(result.row_deleted);
    EXPECT_TRUE(result.tables_deleted);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.removed.size(), 6u);
    EXPECT_TRUE(reporter.warnings.empty());

    for (const auto& name : demo_2_tables()) EXPECT_TRUE(has(name)) << name;
    for (const char* name : {"Demo_German_forms.db", "Demo_German_pascal.db",
                             "Demo_French_forms.db", "Demo_units.db", "Demo_pasfiles.db"})
        EXPECT_FALSE(has(name)) << name;
    EXPECT_TRUE(has("Demo.zip"));
    EXPECT_TRUE(has("strings.tra"));
    EXPECT_TRUE(has("forms_std.db"));
    EXPECT_EQ(project_names(data.Projects), (std::vector<std::string>{"Demo_2"}));
    // The window shows the row now current, and no handle is left on a deleted table.
    EXPECT_EQ(languages.items, (std::vector<std::string>{"German", "French"}));
    EXPECT_EQ(daten.tblForms.table_name(), "forms_std.db");
}

TEST_F(DeleteTest, AnsweringNoKeepsTheTablesOrEverything) {
    auto before = home_files();
    require_project(data.Projects, "Demo");
    ScriptedReporter no({false});
    auto result = DeleteProject(daten, data.Projects, languages, no);
    EXPECT_FALSE(result.row_deleted);
    EXPECT_EQ(project_names(data.Projects).size(), 2u);

    require_project(data.Projects, "Demo");
    ScriptedReporter row_only({true, false});
    result = DeleteProject(daten, data.Projects, languages, row_only);
    EXPECT_TRUE(result.row_deleted);
    EXPECT_FALSE(result.tables_deleted);
    EXPECT_EQ(project_names(data.Projects), (std::vector<std::string>{"Demo_2"}));
    // The deleted project's lock file goes with its row; every table stays.
    before.erase(std::remove(before.begin(), before.end(), "Demo.lock"), before.end());
    EXPECT_EQ(home_files(), before);
}

TEST_F(DeleteTest, FilesThatCannotBeRemovedAreReported) {
    // A user who may write the tables and the project table but not remove other users' files
    // from the program directory (a sticky folder, as /tmp is).
    session.flush_all();
    write_test_file(project_lock_path(home.path(), "Demo"), "");
    for (const auto& entry : std::filesystem::directory_iterator(home.path()))
        ::chmod(entry.path().c_str(), 0666);
    ::chmod(home.path().c_str(), 01777);
    ::chmod(dir.path().c_str(), 0777);
    ::chmod(dir.file(kProjectsFile).c_str(), 0666);
    const std::string top = dir.path();
    const std::string program = home.dir();
    EXPECT_TRUE(lexorin::testing::check_without_privileges([&] {
        store::Session own;  // handles of this process only
        TDataProjects projects{own, top};
        store::TDaten tables{own, program};
        LanguageList none;
        require_project(projects.Projects, "Demo");
        ScriptedReporter reporter({true, true});
        auto result = DeleteProject(tables, projects.Projects, none, reporter);
        return result.row_deleted && result.failed.size() == 6u &&
               result.failed[0].rfind(program, 0) == 0 && result.removed.empty() &&
               reporter.warnings.size() == 1u &&
               reporter.warnings[0].rfind("These files could not be deleted:\r", 0) == 0;
    }));
    EXPECT_TRUE(has("Demo_units.db"));
}

TEST_F(DeleteTest, ATableThatAnotherProjectAlsoNamesIsKept) {
    // Project "A" with language "b_c" and project "A_b" with "c" meet in A_b_c_forms.db.
    require_project(data.Projects, "Demo");
    data.Projects.edit();
    data.Projects.set_text(field::Languages, encode_list({"German", "2_German"}));
    data.Projects.post();
    ScriptedReporter reporter({true, true});
    auto result = DeleteProject(daten, data.Projects, languages, reporter);
    EXPECT_EQ(result.kept,
              (std::vector<std::string>{"Demo_2_German_forms.db", "Demo_2_German_pascal.db"}));
    for (const auto& name : demo_2_tables()) EXPECT_TRUE(has(name)) << name;
    EXPECT_EQ(reporter.warnings.size(), 1u);
}

}  // namespace
