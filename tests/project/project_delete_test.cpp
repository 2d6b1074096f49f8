#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/file_utils.h"
#include "project/language_list.h"
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
            AddLanguage(folder, data.Projects, list, "German", quiet);
            AddLanguage(folder, data.Projects, list, "French", quiet);
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
    ProjectsTable data{session, dir.path()};
    store::TableFolder folder{session, home.dir()};
    LanguageList languages;
};

// Two projects, Demo and Demo_2, each with German and French, as the fixture below; made in a
// session of its own that is closed again, so that a child process may be forked afterwards.
void MakeTwoProjects(const TempDir& dir, const TempDir& home) {
    std::filesystem::create_directories(dir.file("src"));
    store::ensure_templates(home.path());
    store::Session session;
    ProjectsTable data{session, dir.path()};
    store::TableFolder folder{session, home.dir()};
    for (const char* name : {"Demo", "Demo_2"}) {
        add_project(data.Projects, {name, dir.file("src"), true, {}});
        require_project(data.Projects, name);
        LanguageList list;
        SilentReporter quiet;
        AddLanguage(folder, data.Projects, list, "German", quiet);
        AddLanguage(folder, data.Projects, list, "French", quiet);
    }
}

// The files of the program directory whose names begin with "Demo_" but not "Demo_2".
std::vector<std::string> DemoFiles(const TempDir& home) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(home.path())) {
        const std::string name = e.path().filename().string();
        if (name.starts_with("Demo_") && !name.starts_with("Demo_2")) names.push_back(name);
    }
    return names;
}

// Answers Yes to everything and dies with SIGKILL when it is told the status text of step
// `kill_at` (0 = the first): the deletion says one before each table and one before the row.
class KillingReporter : public lexorin::testing::RecordingReporter {
  public:
    explicit KillingReporter(int kill_at) : kill_at_(kill_at) {}
    void status(const std::string& text) override {
        if (!text.empty() && step_++ == kill_at_) ::raise(SIGKILL);
    }

  private:
    int kill_at_;
    int step_ = 0;
};

// Runs Project -> Delete with its tables on Demo in a child process killed at `step`; true when
// it was killed, false when it ran to its end.
bool DeleteKilledAt(const TempDir& dir, const TempDir& home, int step) {
    const pid_t child = ::fork();
    if (child == 0) {
        store::Session session;  // handles of the child alone
        ProjectsTable data{session, dir.path()};
        store::TableFolder folder{session, home.dir()};
        LanguageList languages;
        require_project(data.Projects, "Demo");
        KillingReporter reporter(step);
        DeleteProject(folder, data.Projects, languages, reporter);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(DeleteKilled, AKillBeforeAnyStepLeavesTheRowAndRunningItAgainFinishes) {
    const int steps =
        static_cast<int>(project_table_names("Demo", {"German", "French"}).size()) + 1;
    int step = 0;
    for (;; ++step) {
        TempDir dir, home;
        MakeTwoProjects(dir, home);
        const bool killed = DeleteKilledAt(dir, home, step);
        store::Session session;
        ProjectsTable data{session, dir.path()};
        store::TableFolder folder{session, home.dir()};
        if (killed) {
            // The row is the last to go: the project is still there to be deleted again.
            ASSERT_TRUE(locate_project(data.Projects, "Demo")) << "killed at step " << step;
            LanguageList languages;
            ScriptedReporter yes({true, true});
            const ProjectDeletion again = DeleteProject(folder, data.Projects, languages, yes);
            EXPECT_TRUE(again.failed.empty()) << "killed at step " << step;
        }
        EXPECT_EQ(project_names(data.Projects), (std::vector<std::string>{"Demo_2"}))
            << "killed at step " << step;
        EXPECT_EQ(DemoFiles(home), std::vector<std::string>{}) << "killed at step " << step;
        EXPECT_TRUE(LeftoverProjectFiles(home.dir(), data.Projects, "Demo").empty());
        for (const char* name : {"Demo_2_German_forms.db", "Demo_2_French_pascal.db",
                                 "Demo_2_units.db", "Demo_2_pasfiles.db"})
            EXPECT_TRUE(file_exists(home.file(name))) << name << ", killed at step " << step;
        if (!killed) break;
    }
    EXPECT_EQ(step, steps);  // every step was cut short once, and the last run went through
}

TEST_F(DeleteTest, DeletingDemoWithTablesLeavesEveryTableOfDemo2) {
    require_project(data.Projects, "Demo");
    ScriptedReporter reporter({true, true});
    auto result = DeleteProject(folder, data.Projects, languages, reporter);
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
    EXPECT_FALSE(session.is_in_use(home.file("Demo_German_forms.db")));
}

TEST_F(DeleteTest, TablesLeftByADeletionAreNamedForANewProjectOfTheName) {
    EXPECT_TRUE(LeftoverProjectFiles(home.dir(), data.Projects, "Demo").empty());
    require_project(data.Projects, "Demo");
    ScriptedReporter row_only({true, false});
    DeleteProject(folder, data.Projects, languages, row_only);
    // A journal beside a table, and a table spelt in other letters, belong to it too.
    write_test_file(home.file("Demo_units.db-journal"), "");
    write_test_file(home.file("DEMO_Old_pascal.db"), "");
    write_test_file(home.file("Demo_notes.txt"), "the user's");
    std::vector<std::string> expected;
    for (const char* name : {"Demo_German_forms.db", "Demo_German_pascal.db",
                             "Demo_French_forms.db", "Demo_French_pascal.db", "Demo_units.db",
                             "Demo_units.db-journal", "Demo_pasfiles.db", "DEMO_Old_pascal.db"})
        expected.push_back(home.dir() + name);
    std::sort(expected.begin(), expected.end());
    // Demo_2's tables, which also begin with "Demo_", are its own: not listed.
    EXPECT_EQ(LeftoverProjectFiles(home.dir(), data.Projects, "Demo"), expected);
    // The languages whose forms and pascal tables are both there come back with a project
    // that takes the files over.
    EXPECT_EQ(LeftoverLanguages(expected, "Demo"), (std::vector<std::string>{"French", "German"}));
    EXPECT_TRUE(LeftoverProjectFiles(home.dir(), data.Projects, "Demo_2").empty());
    EXPECT_TRUE(LeftoverProjectFiles(home.dir(), data.Projects, "Other").empty());
}

TEST_F(DeleteTest, AnsweringNoKeepsTheTablesOrEverything) {
    auto before = home_files();
    require_project(data.Projects, "Demo");
    ScriptedReporter no({false});
    auto result = DeleteProject(folder, data.Projects, languages, no);
    EXPECT_FALSE(result.row_deleted);
    EXPECT_EQ(project_names(data.Projects).size(), 2u);

    require_project(data.Projects, "Demo");
    ScriptedReporter row_only({true, false});
    result = DeleteProject(folder, data.Projects, languages, row_only);
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
        ProjectsTable projects{own, top};
        store::TableFolder tables{own, program};
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
    auto result = DeleteProject(folder, data.Projects, languages, reporter);
    EXPECT_EQ(result.kept,
              (std::vector<std::string>{"Demo_2_German_forms.db", "Demo_2_German_pascal.db"}));
    for (const auto& name : demo_2_tables()) EXPECT_TRUE(has(name)) << name;
    EXPECT_EQ(reporter.warnings.size(), 1u);
}

}  // namespace
