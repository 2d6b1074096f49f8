#include <gtest/gtest.h>

#include <filesystem>

#include "app/command_frame.h"
#include "app/commands.h"
#include "base/errors.h"
#include "base/file_utils.h"
#include "project/language_list.h"
#include "project/languages.h"
#include "project/projects_table.h"
#include "project/status_line.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/transcopy.h"
#include "store/translation_tables.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::project;
using lexorin::testing::TempDir;

namespace {

using lexorin::testing::RecordingReporter;

TEST(ListEncoding, RoundTripsThroughCrLf) {
    EXPECT_EQ(encode_list({}), "");
    EXPECT_TRUE(decode_list("").empty());
    std::vector<std::string> items{"/src/a/", "/src/b c/", ""};
    EXPECT_EQ(encode_list(items), "/src/a/\r\n/src/b c/\r\n");
    EXPECT_EQ(decode_list(encode_list({"German", "French"})),
              (std::vector<std::string>{"German", "French"}));
    EXPECT_EQ(encode_list({"only"}), "only");
}

TEST(ExcludedEntries, EndWithSlashAndCompareAsWholeEntries) {
    std::vector<std::string> list;
    EXPECT_TRUE(add_excluded_entry(list, " /src/tools ", "/src"));
    EXPECT_EQ(list, (std::vector<std::string>{"/src/tools/"}));
    EXPECT_FALSE(add_excluded_entry(list, "/src/tools/", "/src"));
    EXPECT_FALSE(add_excluded_entry(list, "/src", "/src"));  // the project directory itself
    EXPECT_FALSE(add_excluded_entry(list, "   ", "/src"));
    // A parent of a stored entry, or a name that is a piece of one, is its own entry.
    EXPECT_TRUE(add_excluded_entry(list, "/src/to", "/src"));
    EXPECT_TRUE(add_excluded_entry(list, "/sr", "/src"));
    EXPECT_EQ(list.size(), 3u);
}

TEST(FileNameParts, RefuseWhatLeavesTheProgramDirectory) {
    EXPECT_NO_THROW(check_file_name_part("Demo", "project name"));
    EXPECT_NO_THROW(check_file_name_part("de_x", "language"));
    EXPECT_NO_THROW(check_file_name_part("Brazilian Portuguese", "language"));
    for (const char* bad : {"", "a/b", "..", "x..y", "a\\b", "c:d", "t\tab", " lead", "what?"})
        EXPECT_THROW(check_file_name_part(bad, "language"), Error) << bad;
}

class ProjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("src"));
        store::ensure_templates(home.path());
    }
    void add(const std::string& name) {
        add_project(data.Projects, {name, dir.file("src"), true, {dir.file("src/tools")}});
    }
    LanguageList languages_of(const std::string& name) {
        require_project(data.Projects, name);
        LanguageList list;
        list.fill(data.Projects.text(field::Languages));
        return list;
    }

    TempDir dir;
    TempDir home;
    store::Session session;
    ProjectsTable data{session, dir.path()};
    store::TableFolder folder{session, home.dir()};
    RecordingReporter reporter;
};

TEST_F(ProjectTest, NewProjectsGetUsefulDefaultsAndAreFoundByName) {
    add("Demo");
    add("Other");
    EXPECT_EQ(project_names(data.Projects), (std::vector<std::string>{"Demo", "Other"}));
    require_project(data.Projects, "Demo");
    store::Table& p = data.Projects;
    EXPECT_EQ(p.text(field::Directory), dir.file("src"));
    EXPECT_TRUE(p.logical(field::Recoursive));
    EXPECT_EQ(p.text(field::Excluded), dir.file("src/tools") + "/");
    EXPECT_EQ(p.text(field::SourceExtensions), "*.pas");
    EXPECT_EQ(p.text(field::FormsExtension), "*.dfm");
    EXPECT_TRUE(p.logical(field::Cignoreinterface));
    EXPECT_EQ(p.integer(field::Cminlength), 2);
    EXPECT_EQ(p.integer(field::Ccontextlines), 5);
    EXPECT_EQ(p.text(field::Ceditchars).size(), 52u);
    EXPECT_EQ(p.text(field::Languages), "");

    EXPECT_THROW(add("Demo"), Error);
    EXPECT_THROW(add_project(data.Projects, {"New", dir.file("missing"), true, {}}), Error);
    EXPECT_THROW(add_project(data.Projects, {"../up", dir.file("src"), true, {}}), Error);
    EXPECT_THROW(require_project(data.Projects, "demo"), Error);  // names match exactly
    // A name differing only in letter case would share the table files.
    try {
        add_project(data.Projects, {"DEMO", dir.file("src"), true, {}});
        ADD_FAILURE() << "DEMO was accepted beside Demo";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "A project named Demo already exists; names that differ only in letter case "
                  "would share their table files.");
    }
    EXPECT_EQ(project_names(data.Projects).size(), 2u);

    // A later list edit keeps the other entries.
    require_project(data.Projects, "Demo");
    EXPECT_TRUE(add_excluded_directory(data.Projects, dir.file("src/old")));
    EXPECT_EQ(decode_list(data.Projects.text(field::Excluded)).size(), 2u);
}

TEST_F(ProjectTest, TheProjectsFileIsCreatedOnceAndAForeignOneIsRefused) {
    add("Demo");
    store::Session again;
    ProjectsTable reopened(again, dir.path());
    EXPECT_EQ(project_names(reopened.Projects), (std::vector<std::string>{"Demo"}));

    TempDir other;
    store::create_table(other.file("Projects.DB"), store::pascal_schema());
    EXPECT_THROW(ProjectsTable(again, other.path()), StoreError);
}

TEST_F(ProjectTest, ReadyChecksInTheOrderOfItsRules) {
    LanguageList none;
    EXPECT_FALSE(commands::Ready({data.Projects, folder, CodePage(), none},
                                 commands::Needs::Language, reporter));
    EXPECT_EQ(reporter.errors.back(), "No project name found. Plase enter a project.");
    add("Demo");
    require_project(data.Projects, "Demo");
    EXPECT_TRUE(commands::Ready({data.Projects, folder, CodePage(), none}, commands::Needs::Project,
                                reporter));
    EXPECT_FALSE(commands::Ready({data.Projects, folder, CodePage(), none},
                                 commands::Needs::Language, reporter));
    EXPECT_EQ(reporter.errors.back(), "You have to add a language first.");
    LanguageList two{{"German", "French"}, -1};
    EXPECT_FALSE(commands::Ready({data.Projects, folder, CodePage(), two},
                                 commands::Needs::SelectedLanguage, reporter));
    EXPECT_EQ(reporter.errors.back(), "You did not select a language.");
    EXPECT_TRUE(commands::Ready({data.Projects, folder, CodePage(), two}, commands::Needs::Language,
                                reporter));
    EXPECT_EQ(two.selected, 0);  // the first is selected for the command
}

TEST_F(ProjectTest, StatusLinesReplaceTheirOlderKindAndMoveToTheEnd) {
    add("Demo");
    require_project(data.Projects, "Demo");
    data.Projects.edit();
    data.Projects.set_text(field::Reserve, "my notes");
    data.Projects.post();
    AddStatusLine(data.Projects, "Code scanned", "", "01.02.2026");
    AddStatusLine(data.Projects, "Forms scanned", "", "02.02.2026");
    AddStatusLine(data.Projects, "Code scanned", "", "03.02.2026");
    EXPECT_EQ(data.Projects.text(field::Reserve),
              "my notes\r\nForms scanned on 02.02.2026\r\nCode scanned on 03.02.2026");
    EXPECT_FALSE(short_date_today().empty());
}

TEST_F(ProjectTest, FirstLanguageGetsEmptyTablesAndTheProjectsFileTables) {
    add("Demo");
    LanguageList list = languages_of("Demo");
    ASSERT_TRUE(
        commands::AddLanguage({data.Projects, folder, CodePage(), list}, "German", reporter));
    EXPECT_EQ(list.items, (std::vector<std::string>{"German"}));
    EXPECT_EQ(list.selected, 0);
    for (const char* name :
         {"Demo_German_forms.db", "Demo_German_pascal.db", "Demo_units.db", "Demo_pasfiles.db"})
        EXPECT_TRUE(file_exists(home.file(name))) << name;
    EXPECT_TRUE(reporter.shown_statuses().empty());  // nothing to copy from
    EXPECT_NE(data.Projects.text(field::Reserve).find("Language added: German on "),
              std::string::npos);

    // The templates are left empty for the next copy.
    store::Table pascal_template(session, home.path(), "pascal_std.db");
    pascal_template.open();
    EXPECT_EQ(pascal_template.record_count(), 0);

    // Duplicates are refused without regard to case; an empty answer changes nothing.
    EXPECT_THROW(
        commands::AddLanguage({data.Projects, folder, CodePage(), list}, "german", reporter),
        Error);
    EXPECT_FALSE(commands::AddLanguage({data.Projects, folder, CodePage(), list}, "", reporter));
    EXPECT_THROW(commands::AddLanguage({data.Projects, folder, CodePage(), list}, "x/y", reporter),
                 Error);
    EXPECT_EQ(decode_list(data.Projects.text(field::Languages)),
              (std::vector<std::string>{"German"}));
}

TEST_F(ProjectTest, SecondLanguageStartsWithTheFirstLanguagesStrings) {
    add("Demo");
    LanguageList list = languages_of("Demo");
    AddLanguage(folder, data.Projects, list, "German", reporter);
    {
        store::LanguageTables german(folder, "Demo", "German");
        store::Table& pasfiles = german.unit_files.table();
        EXPECT_EQ(pasfiles.record_count(), 1);  // the "(Show all)" row
        pasfiles.first();
        EXPECT_EQ(pasfiles.text("UnitName"), "(Show all)");
        EXPECT_EQ(german.unit_files.file_name(), "Demo_pasfiles.db");
        german.pascal.table().append_record({0, "Hello", "Hallo", 2, true});
        german.forms.table().append_record(
            {0, "Caption", "Titel", 1, true, false, "Form1", "Caption"});
        pasfiles.append_record({0, "a.pas", "/src/a.pas"});
        EXPECT_EQ(pasfiles.integer("Index"), 2);
        EXPECT_EQ(german.form_files.file_name(), "Demo_units.db");
    }

    AddLanguage(folder, data.Projects, list, "French", reporter);
    EXPECT_EQ(reporter.shown_statuses(),
              (std::vector<std::string>{"Copying forms from language German",
                                        "Copying code language German"}));
    store::LanguageTables french(folder, "Demo", "French");
    store::Table& pascal = french.pascal.table();
    ASSERT_EQ(pascal.record_count(), 1);
    pascal.first();
    EXPECT_EQ(pascal.text("OriginalString"), "Hello");
    EXPECT_EQ(pascal.text("TranslateString"), "");
    ASSERT_EQ(french.forms.record_count(), 1);
    EXPECT_EQ(french.unit_files.record_count(), 2);  // the shared file list is left as it was
    EXPECT_EQ(list.selected, -1);                    // two entries: none selected
}

TEST_F(ProjectTest, AddingAListedLanguageAgainCompletesWhatAKilledAddLeft) {
    add("Demo");
    LanguageList list = languages_of("Demo");
    commands::AddLanguage({data.Projects, folder, CodePage(), list}, "German", reporter);
    {
        store::PascalRows german(folder, "Demo", "German");
        for (int i = 0; i < 3; ++i) german.table().append_record({0, "Text " + std::to_string(i)});
        german.flush();
    }
    commands::AddLanguage({data.Projects, folder, CodePage(), list}, "French", reporter);
    // What a kill would leave: French listed, its pascal table holding the first two rows of
    // the copy, its forms table not made yet.
    std::filesystem::remove(home.file("Demo_French_pascal.db"));
    std::filesystem::remove(home.file("Demo_French_forms.db"));
    store::CopyTableFile(session, home.path(), "pascal_std.db", home.path(),
                         "Demo_French_pascal.db");
    {
        store::Table french(session, home.path(), "Demo_French_pascal.db");
        french.open();
        for (int i = 0; i < 2; ++i) french.append_record({0, "Text " + std::to_string(i)});
    }

    EXPECT_TRUE(
        commands::AddLanguage({data.Projects, folder, CodePage(), list}, "french", reporter));
    EXPECT_EQ(store::LanguageTables(folder, "Demo", "French").pascal.record_count(), 3);
    EXPECT_TRUE(data.Projects.text(field::Reserve).find("Language completed: French") !=
                std::string::npos);
    EXPECT_EQ(decode_list(data.Projects.text(field::Languages)),
              (std::vector<std::string>{"German", "French"}));
    // Complete now: the duplicate is refused as ever.
    EXPECT_THROW(
        commands::AddLanguage({data.Projects, folder, CodePage(), list}, "French", reporter),
        Error);
}

TEST_F(ProjectTest, AFailedAddTakesBackTheListEntryAndTheTables) {
    add("Demo");
    LanguageList list = languages_of("Demo");
    AddLanguage(folder, data.Projects, list, "German", reporter);
    // The rows to copy cannot be read: the German pascal table is no table any more.
    lexorin::testing::write_test_file(home.file("Demo_German_pascal.db"), "not a table");
    EXPECT_THROW(AddLanguage(folder, data.Projects, list, "Spanish", reporter), Error);
    EXPECT_EQ(decode_list(data.Projects.text(field::Languages)),
              std::vector<std::string>{"German"});
    EXPECT_FALSE(std::filesystem::exists(home.file("Demo_Spanish_forms.db")));
    EXPECT_FALSE(std::filesystem::exists(home.file("Demo_Spanish_pascal.db")));
}

TEST_F(ProjectTest, DeletingALanguageRemovesOnlyItsOwnTables) {
    add("Demo");
    LanguageList list = languages_of("Demo");
    AddLanguage(folder, data.Projects, list, "de", reporter);
    AddLanguage(folder, data.Projects, list, "de_x", reporter);
    // A table of another project whose name meets the deletion pattern.
    lexorin::testing::write_test_file(home.file("Demo_de_other.db"), "not ours");
    list.selected = 0;
    RecordingReporter no(false);
    DeleteLanguage(folder, data.Projects, list, no);
    EXPECT_EQ(no.questions.size(), 1u);
    EXPECT_TRUE(file_exists(home.file("Demo_de_pascal.db")));

    auto failed = DeleteLanguage(folder, data.Projects, list, reporter);
    EXPECT_TRUE(failed.empty());
    ASSERT_GE(reporter.questions.size(), 2u);
    EXPECT_EQ(reporter.questions[1],
              "ALL database files like " + home.dir() + "Demo_de_*.* will be deleted!\r\rProceed?");
    EXPECT_FALSE(file_exists(home.file("Demo_de_pascal.db")));
    EXPECT_FALSE(file_exists(home.file("Demo_de_forms.db")));
    for (const char* kept : {"Demo_de_x_pascal.db", "Demo_de_x_forms.db", "Demo_units.db",
                             "Demo_pasfiles.db", "Demo_de_other.db"})
        EXPECT_TRUE(file_exists(home.file(kept))) << kept;
    EXPECT_EQ(list.items, (std::vector<std::string>{"de_x"}));
    EXPECT_EQ(list.selected, 0);  // the one left is selected
    EXPECT_EQ(data.Projects.text(field::Languages), "de_x");

    LanguageList nothing_selected{{"de_x"}, -1};
    DeleteLanguage(folder, data.Projects, nothing_selected, reporter);
    EXPECT_EQ(reporter.errors.back(), "You did not select a language.");
}

TEST_F(ProjectTest, ALanguageWhoseTablesBelongToAnotherProjectIsRefused) {
    add("A");
    add("A_b");
    LanguageList list = languages_of("A_b");
    AddLanguage(folder, data.Projects, list, "c", reporter);
    LanguageList other = languages_of("A");
    EXPECT_THROW(AddLanguage(folder, data.Projects, other, "b_c", reporter), Error);
    EXPECT_EQ(data.Projects.text(field::Languages), "");
}

TEST_F(ProjectTest, OpeningAMissingLanguageTableFailsWithItsName) {
    add("Demo");
    LanguageList list = languages_of("Demo");
    AddLanguage(folder, data.Projects, list, "German", reporter);
    std::filesystem::remove(home.file("Demo_German_pascal.db"));
    try {
        store::LanguageTables german(folder, "Demo", "German");
        FAIL();
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("Demo_German_pascal.db"), std::string::npos);
    }
}

}  // namespace
