// lexorin-cli and the kind of a project: project add finds it, project set changes it with its
// defaults, and the PO exchange of a Lazarus project keeps its UTF-8 text.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::read_test_file;
using lexorin::testing::run_cli;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

// "Größe" in UTF-8, and as Windows-1252 would show its bytes.
const std::string kSizeUtf8 =
    "Gr\xC3\xB6\xC3\x9F"
    "e";
const std::string kSizeMisread =
    "Gr\xC3\x83\xC2\xB6\xC3\x83\xC5\xB8"
    "e";

class ProjectKindCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(work.file("home"));
        write_test_file(work.file("laz/hello.lpr"), "program hello;\nuses main;\nbegin\nend.\n");
        write_test_file(work.file("laz/main.lfm"), "object Form1: TForm1\nend\n");
        write_test_file(work.file("laz/main.pas"),
                        "unit main;\ninterface\nprocedure Greet;\nimplementation\n"
                        "procedure Greet;\nbegin\n  WriteLn('" +
                            kSizeUtf8 + "');\nend;\nend.\n");
        std::filesystem::copy(LEXORIN_SOURCE_DIR "/examples/demo/src", work.file("demo"),
                              std::filesystem::copy_options::recursive);
    }
    lexorin::testing::CommandResult cli(const std::string& args) { return run_cli(work, args); }
    // The value `project show` prints for a field.
    std::string shown(const std::string& project, const std::string& field) {
        const std::string out = cli("project show " + project).out;
        const std::string head = "\n" + field + ":";
        const size_t at = ("\n" + out).find(head);
        if (at == std::string::npos) return "<missing>";
        const size_t start = at + head.size() - 1;  // "\n" was put before out
        const size_t end = out.find('\n', start);
        std::string value = out.substr(start, end - start);
        if (!value.empty() && value[0] == '\t') value.erase(0, 1);
        return value;
    }

    TempDir work;
};

TEST_F(ProjectKindCommandsTest, ProjectAddFindsTheKindInTheFolder) {
    auto r = cli("project add Laz laz");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Project Laz added.\nKind Lazarus: units *.pas;*.pp;*.lpr, forms *.lfm, "
                         "code page UTF-8.\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(shown("Laz", "Ckind"), "Lazarus");
    EXPECT_EQ(shown("Laz", "Ccodepage"), "UTF-8");
    EXPECT_EQ(shown("Laz", "Source extensions"), "*.pas;*.pp;*.lpr");
    EXPECT_EQ(shown("Laz", "Forms extension"), "*.lfm");

    // A Delphi folder: the project starts as projects always have, and says no more.
    r = cli("project add Demo demo");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "Project Demo added.\n");
    EXPECT_EQ(shown("Demo", "Ckind"), "Delphi");
    EXPECT_EQ(shown("Demo", "Ccodepage"), "");
    EXPECT_EQ(shown("Demo", "Source extensions"), "*.pas");
    EXPECT_EQ(shown("Demo", "Cbuildcommand"), "");

    // --kind overrides what the folder says; a kind that is none is refused.
    r = cli("project add Forced demo --kind lazarus");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(shown("Forced", "Ckind"), "Lazarus");
    r = cli("project add Other demo --kind Kylix");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("There is no project kind Kylix; the kinds are Delphi and Lazarus."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(cli("project list").out, "Laz\nDemo\nForced\n");
}

TEST_F(ProjectKindCommandsTest, ProjectSetKindBringsTheKindsDefaults) {
    ASSERT_EQ(cli("project add Laz laz").status, 0);
    auto r = cli("project set Laz kind Delphi");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(shown("Laz", "Ckind"), "Delphi");
    EXPECT_EQ(shown("Laz", "Source extensions"), "*.pas");
    EXPECT_EQ(shown("Laz", "Forms extension"), "*.dfm");
    EXPECT_EQ(shown("Laz", "Ccodepage"), "");
    EXPECT_EQ(shown("Laz", "Cbuildcommand"), "");

    // A mask the user set stays when the kind changes; the field may be named in full.
    ASSERT_EQ(cli("project set Laz \"Source extensions\" '*.pas;*.inc'").status, 0);
    ASSERT_EQ(cli("project set Laz Ckind Lazarus").status, 0);
    EXPECT_EQ(shown("Laz", "Ckind"), "Lazarus");
    EXPECT_EQ(shown("Laz", "Source extensions"), "*.pas;*.inc");
    EXPECT_EQ(shown("Laz", "Forms extension"), "*.lfm");
    EXPECT_EQ(shown("Laz", "Ccodepage"), "UTF-8");

    r = cli("project set Laz kind Kylix");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("There is no project kind Kylix"), std::string::npos) << r.err;
    EXPECT_EQ(shown("Laz", "Ckind"), "Lazarus");
    r = cli("project set Laz codepage no-such-page");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unknown code page no-such-page."), std::string::npos) << r.err;
    EXPECT_EQ(shown("Laz", "Ccodepage"), "UTF-8");
    ASSERT_EQ(cli("project set Laz codepage CP1250").status, 0);
    EXPECT_EQ(shown("Laz", "Ccodepage"), "CP1250");
    EXPECT_EQ(cli("project set Laz NoField 1").status, 2);
}

TEST_F(ProjectKindCommandsTest, APoExportOfALazarusProjectKeepsItsUtf8Text) {
    ASSERT_EQ(cli("project add Laz laz").status, 0);
    ASSERT_EQ(cli("language add Laz German").status, 0);
    auto r = cli("--yes scan-code Laz German");
    ASSERT_EQ(r.status, 0) << r.err;
    r = cli("strings Laz German");
    ASSERT_NE(r.out.find(kSizeUtf8), std::string::npos) << r.out;

    r = cli("export-po Laz German de.po");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string po = read_test_file(work.file("de.po"));
    EXPECT_NE(po.find("msgid \"" + kSizeUtf8 + "\""), std::string::npos) << po;
    EXPECT_EQ(po.find(kSizeMisread), std::string::npos) << po;
    EXPECT_NE(po.find("X-Lexorin-Code-Page: UTF-8"), std::string::npos) << po;

    // Read in another code page on request, the bytes are taken for that page's characters.
    ASSERT_EQ(cli("export-po Laz German cp.po --code-page Windows-1252").status, 0);
    EXPECT_NE(read_test_file(work.file("cp.po")).find(kSizeMisread), std::string::npos);
}

}  // namespace
