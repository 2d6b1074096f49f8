#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_utils.h"
#include "cli/cli_fixture.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::CommandResult;
using lexorin::testing::TempDir;

namespace {

// Runs lexorin-cli in a scratch working directory with its own program directory.
class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(work.file("src/tools"));
        lexorin::testing::write_test_file(work.file("src/a.pas"), "unit a;\r\nend.\r\n");
        std::filesystem::create_directories(work.file("home"));
    }
    CommandResult cli(const std::string& args, const std::string& input = {}) {
        return lexorin::testing::run_cli(work, args, input);
    }
    std::string home(const std::string& name) { return work.file("home/" + name); }

    TempDir work;
};

TEST_F(CliTest, ProjectAddListShowSet) {
    auto r = cli("project add Demo src --exclude src/tools");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(file_exists(work.file("Projects.DB")));  // in the working directory
    // The empty program directory was seeded with the templates.
    for (const char* t : {"forms_std.db", "units_std.db", "pascal_std.db", "pasfiles_std.db"})
        EXPECT_TRUE(file_exists(home(t))) << t;

    EXPECT_EQ(cli("project add Second src --no-recursive").status, 0);
    r = cli("project list");
    EXPECT_EQ(r.out, "Demo\nSecond\n");

    r = cli("project show Demo");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Directory:\t" + work.file("src") + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Recoursive:\tWahr\n"), std::string::npos);
    EXPECT_NE(r.out.find("excluded:\t" + work.file("src/tools") + "/\n"), std::string::npos);
    EXPECT_NE(r.out.find("Source extensions:\t*.pas\n"), std::string::npos);
    EXPECT_NE(cli("project show Second").out.find("Recoursive:\tFalsch\n"), std::string::npos);

    EXPECT_EQ(cli("project set Demo Cminlength 4").status, 0);
    EXPECT_EQ(cli("project set Demo cignoreinterface false").status, 0);
    EXPECT_EQ(cli("project set Demo Cunwantedstrings 'Debug\nLog'").status, 0);
    r = cli("project show Demo");
    EXPECT_NE(r.out.find("Cminlength:\t4\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Cignoreinterface:\tFalsch\n"), std::string::npos);
    EXPECT_NE(r.out.find("Cunwantedstrings:\n\tDebug\n\tLog\n"), std::string::npos);

    // Failures: one line on stderr, exit 1; wrong usage exit 2.
    r = cli("project set Demo Cminlength many");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(cli("project set Demo Name Other").status, 1);
    EXPECT_EQ(cli("project set Demo NoField 1").status, 2);
    EXPECT_EQ(cli("project add Demo src").status, 1);
    EXPECT_EQ(cli("project add Bad/Name src").status, 1);
    EXPECT_EQ(cli("project add New missing-dir").status, 1);
    EXPECT_EQ(cli("project show Nobody").status, 1);
    EXPECT_EQ(cli("project add OnlyName").status, 2);
    EXPECT_EQ(cli("project add X src --bogus").status, 2);
    EXPECT_EQ(cli("frobnicate").status, 2);
    EXPECT_EQ(cli("project list").out, "Demo\nSecond\n");
}

TEST_F(CliTest, HelpOnEveryCommand) {
    auto r = cli("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* c : {"project add", "language delete", "strings"}) {
        EXPECT_NE(r.out.find(c), std::string::npos) << c;
        auto one = cli(std::string(c) + " --help");
        EXPECT_EQ(one.status, 0) << c;
        EXPECT_NE(one.out.find("usage: lexorin-cli " + std::string(c)), std::string::npos);
    }
}

TEST_F(CliTest, LanguagesAndStrings) {
    ASSERT_EQ(cli("project add Demo src").status, 0);
    auto r = cli("language add Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* t :
         {"Demo_German_forms.db", "Demo_German_pascal.db", "Demo_units.db", "Demo_pasfiles.db"})
        EXPECT_TRUE(file_exists(home(t))) << t;
    EXPECT_EQ(cli("language add Demo german").status, 1);

    // Put strings in the first language; the second language starts with them.
    {
        store::Session session;
        store::Table t(session, work.file("home"), "Demo_German_pascal.db");
        t.open();
        t.append_record({0, "Hello", "Hallo", 1, true, false});
        t.append_record({0, "Tab\there", "", 1, false, true});
        t.append_record({0, "Bye", "", 1, false, false});
    }
    ASSERT_EQ(cli("language add Demo French").status, 0);
    r = cli("strings Demo German");
    EXPECT_EQ(r.out, "1\tHello\tHallo\tFalsch\n2\tTab\\there\t\tWahr\n3\tBye\t\tFalsch\n");
    r = cli("strings Demo German --filter \"Ignore=0 and TranslateString=''\"");
    EXPECT_EQ(r.out, "3\tBye\t\tFalsch\n");
    r = cli("strings Demo French");
    EXPECT_EQ(r.out, "1\tHello\t\tFalsch\n2\tTab\\there\t\tFalsch\n3\tBye\t\tFalsch\n");
    EXPECT_EQ(cli("strings Demo French --kind forms").out, "");
    EXPECT_EQ(cli("strings Demo French --kind sideways").status, 2);
    EXPECT_EQ(cli("strings Demo French --filter 'Nonsense=1'").status, 1);
    EXPECT_EQ(cli("strings Demo Klingon").status, 1);

    // Without a terminal and without --yes, the question is answered No and nothing goes.
    r = cli("language delete Demo French");
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(file_exists(home("Demo_French_pascal.db")));
    EXPECT_EQ(cli("--no language delete Demo French").status, 1);
    EXPECT_TRUE(file_exists(home("Demo_French_pascal.db")));
    r = cli("--yes language delete Demo French");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(file_exists(home("Demo_French_pascal.db")));
    EXPECT_FALSE(file_exists(home("Demo_French_forms.db")));
    EXPECT_TRUE(file_exists(home("Demo_German_pascal.db")));
    EXPECT_TRUE(file_exists(home("Demo_units.db")));
    EXPECT_NE(cli("project show Demo").out.find("languages:\tGerman\n"), std::string::npos);
}

TEST_F(CliTest, StringsPrintsCodeTextsAsTheyReadAndFormTextsAsStored) {
    ASSERT_EQ(cli("project add Demo src").status, 0);
    ASSERT_EQ(cli("language add Demo German").status, 0);
    {
        // A code row keeps its literal's body; a form row keeps the form's text.
        store::Session session;
        store::Table pascal(session, work.file("home"), "Demo_German_pascal.db");
        pascal.open();
        pascal.append_record({0, "Don''t'#13#10'stop", "Geh''s", 1, true, false});
        pascal.append_record({0, "gell's", "gell's", 1, true, false});  // no body: as it stands
        store::Table forms(session, work.file("home"), "Demo_German_forms.db");
        forms.open();
        forms.append_record({0, "It'#39's", "Es''s", 1, true, false, "Form1", "Caption"});
    }
    EXPECT_EQ(cli("strings Demo German").out,
              "1\tDon't\\r\\nstop\tGeh's\tFalsch\n2\tgell's\tgell's\tFalsch\n");
    EXPECT_EQ(cli("strings Demo German --kind forms").out, "1\tIt'#39's\tEs''s\tFalsch\n");
}

TEST_F(CliTest, HomeOptionWinsOverTheEnvironment) {
    std::filesystem::create_directories(work.file("other"));
    ASSERT_EQ(cli("--home other project add Demo src").status, 0);
    ASSERT_EQ(cli("language add --home other Demo German").status, 0);
    EXPECT_TRUE(file_exists(work.file("other/Demo_German_pascal.db")));
    EXPECT_FALSE(file_exists(home("Demo_German_pascal.db")));
    EXPECT_EQ(cli("--home nowhere project list").status, 1);
}

TEST_F(CliTest, TheDemoProjectWorksEndToEnd) {
    std::filesystem::copy(LEXORIN_SOURCE_DIR "/examples/demo/src", work.file("demo"),
                          std::filesystem::copy_options::recursive);
    ASSERT_EQ(cli("project add Demo demo --exclude demo/tools").status, 0);
    ASSERT_EQ(cli("language add Demo German").status, 0);
    auto r = cli("strings Demo German");
    EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace
