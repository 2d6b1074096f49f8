#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_utils.h"
#include "cli/cli_fixture.h"
#include "project/spelling.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::CommandResult;
using lexorin::testing::TempDir;

namespace {

// lexorin-cli in a scratch working directory with its own program directory; the string rows
// a scan would make are appended to the tables directly.
class OperationCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lexorin::testing::write_test_file(work.file("src/a.pas"), "unit a;\r\nend.\r\n");
        lexorin::testing::write_test_file(work.file("src/form1.dfm"),
                                          "object Form1: TForm1\r\nend\r\n");
        std::filesystem::create_directories(work.file("home"));
        ASSERT_EQ(cli("project add Demo src").status, 0);
        ASSERT_EQ(cli("language add Demo German").status, 0);
    }
    CommandResult cli(const std::string& args) { return lexorin::testing::run_cli(work, args); }
    std::string home(const std::string& name) { return work.file("home/" + name); }
    void scanned_rows() {
        store::Session session;
        store::Table pasfiles(session, home(""), "Demo_pasfiles.db");
        pasfiles.open();
        if (pasfiles.record_count() == 0) pasfiles.append_record({0, store::kShowAll});
        pasfiles.append_record({0, "a.pas", work.file("src/a.pas")});
        store::Table units(session, home(""), "Demo_units.db");
        units.open();
        units.append_record({0, "form1.dfm", work.file("src/form1.dfm")});
        store::Table pascal(session, home(""), "Demo_German_pascal.db");
        pascal.open();
        pascal.append_record({0, "%d files", "%s Dateien", 2, true});
        pascal.append_record({0, "Caf\xE9", "Caf\xE9", 2, true});
        pascal.append_record({0, "open", "", 2});
    }

    TempDir work;
};

TEST_F(OperationCommandsTest, BackupStatusAndCheck) {
    auto r = cli("backup Demo");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Your files have been backed up successfully into " + home("Demo.zip")),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(file_exists(home("Demo.zip")));
    // Again: the archive gets the current files in place of the older members, and says so.
    const size_t end = r.err.find(" files added, 0 replaced, 0 left out.");
    ASSERT_NE(end, std::string::npos) << r.err;
    const std::string count =
        r.err.substr(r.err.rfind('\n', end) + 1, end - r.err.rfind('\n', end) - 1);
    r = cli("backup Demo");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("0 files added, " + count + " replaced, 0 left out."), std::string::npos)
        << r.err;

    r = cli("status Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Suggestions:\n\nScan the forms.\nScan the code.\n\nIf you cannot compile your "
              "code, please choose \"Write changes - code\"\n");
    EXPECT_NE(cli("project show Demo")
                  .out.find("Check German: Forms: 0 strings, 0 not "
                            "translated. Code: 0 strings, 0 not translated. on "),
              std::string::npos);

    scanned_rows();
    r = cli("status Demo german");  // languages are matched without regard to case
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nGerman: Forms: 0 strings, 0 not translated. Code: 3 strings, 1 not "
                         "translated. on "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nYou might want to check your translation.\n"), std::string::npos);

    r = cli("check Demo German");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "code\t1\tplaceholders\tthe original has %d, the translation %s\n");
    EXPECT_NE(r.err.find("1 problem found."), std::string::npos);

    EXPECT_EQ(cli("check Demo").status, 2);
    EXPECT_EQ(cli("check Demo Klingon").status, 1);
    EXPECT_EQ(cli("backup Nobody").status, 1);
}

TEST_F(OperationCommandsTest, CheckWithSpellingNamesTheUnknownWordsAndWhatTheDictionaryOffers) {
    const project::SpellChecker german("German", project::SpellChecker::DefaultDictionaryFolders());
    if (!german.available()) GTEST_SKIP() << "no German dictionary (package hunspell-de-de)";
    scanned_rows();
    {
        store::Session session;
        store::Table pascal(session, home(""), "Demo_German_pascal.db");
        pascal.open();
        pascal.append_record({0, "Open file",
                              "Dattei \xF6"
                              "ffnen",
                              2, true});  // Windows-1252
    }
    auto r = cli("check Demo German --spelling");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("code\t1\tplaceholders\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("code\t4\tspelling\tDattei ("), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\xF6"
                         "ffnen"),
              std::string::npos)
        << r.out;
    // Without the option the words are not looked up.
    EXPECT_EQ(cli("check Demo German").out.find("spelling"), std::string::npos);
    // A language without a dictionary says so and checks the rest.
    r = cli("language add Demo Klingon");
    r = cli("check Demo Klingon --spelling");
    EXPECT_NE(r.err.find("No dictionary for Klingon is installed"), std::string::npos) << r.err;
}

TEST_F(OperationCommandsTest, ExportAndImportPo) {
    scanned_rows();
    auto r = cli("export-po Demo German de.po");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("3 entries (2 translated) written to de.po."), std::string::npos) << r.err;
    auto check =
        lexorin::testing::run_command("msgfmt --check -o /dev/null '" + work.file("de.po") + "'");
    EXPECT_EQ(check.status, 0) << check.err;
    std::string po = lexorin::testing::read_test_file(work.file("de.po"));
    EXPECT_NE(po.find("msgid \"Caf\u00E9\""), std::string::npos);  // UTF-8 in the file

    // A translator's work comes back in; the tables take it as 8-bit text.
    po.replace(po.find("msgid \"open\"\nmsgstr \"\""), 22,
               "msgid \"open\"\nmsgstr \"\u00F6ffnen\"");
    lexorin::testing::write_test_file(work.file("de.po"), po);
    r = cli("import-po Demo German de.po");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("1 rows updated, 2 unchanged, 0 entries not applied."), std::string::npos)
        << r.err;
    EXPECT_NE(cli("strings Demo German")
                  .out.find("3\topen\t\xF6"
                            "ffnen\tFalsch\n"),
              std::string::npos);

    lexorin::testing::write_test_file(work.file("bad.po"), "msgid \"x\"\nmsgstr garbage\n");
    r = cli("import-po Demo German bad.po");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("malformed"), std::string::npos) << r.err;
    EXPECT_EQ(cli("export-po Demo German x.po --code-page nonsense").status, 1);
}

TEST_F(OperationCommandsTest, ProjectDeleteKeepsTheTablesOfDemo2) {
    ASSERT_EQ(cli("project add Demo_2 src").status, 0);
    ASSERT_EQ(cli("language add Demo_2 German").status, 0);
    const std::vector<std::string> demo2{"Demo_2_German_forms.db", "Demo_2_German_pascal.db",
                                         "Demo_2_units.db", "Demo_2_pasfiles.db"};

    // Without a terminal and without --yes the question is answered No.
    auto r = cli("project delete Demo --with-tables");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(cli("project list").out, "Demo\nDemo_2\n");

    r = cli("project delete Demo --with-tables --yes");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(cli("project list").out, "Demo_2\n");
    for (const auto& name : demo2) EXPECT_TRUE(file_exists(home(name))) << name;
    for (const char* name :
         {"Demo_German_forms.db", "Demo_German_pascal.db", "Demo_units.db", "Demo_pasfiles.db"})
        EXPECT_FALSE(file_exists(home(name))) << name;

    // Without --with-tables only the row goes.
    r = cli("--yes project delete Demo_2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(cli("project list").out, "");
    for (const auto& name : demo2) EXPECT_TRUE(file_exists(home(name))) << name;
}

}  // namespace
