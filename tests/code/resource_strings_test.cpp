// The resource-string files byte for byte, and the glue files beside them.
#include "code/resource_strings.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

class ResourceStringsTest : public ::testing::Test, protected test::CodeTables {
  protected:
    void AddRow(const std::string& original, const std::string& translation, int spaces) {
        pascal.append_record({store::Value(0), store::Value(original), store::Value(translation),
                              store::Value(1), store::Value(false), store::Value(false),
                              store::Value("ctx\r"), store::Value(2), store::Value(1),
                              store::Value(spaces)});
    }
    std::string Written(const char* name) { return read_test_file(sources.file(name)); }
};

TEST_F(ResourceStringsTest, EmptyTableGivesTheHeaderOnly) {
    WriteResourceStringFiles(session, pascal, sources.path());
    EXPECT_EQ(Written(kStringsOriginal), "resourcestring\r\n");
    EXPECT_EQ(Written(kStringsTranslation), "resourcestring\r\n");
}

TEST_F(ResourceStringsTest, RowsInIndexOrderWithTheirBlanks) {
    AddRow("Hello", "", 2);
    AddRow("it", "es", 0);
    AddRow("Don''t", "Nicht ' doppelt", 0);  // written as typed
    // A view's filter on the shared handle must not drop rows from the files.
    pascal.set_filter("Translated=1");
    pascal.set_filtered(true);
    WriteResourceStringFiles(session, pascal, sources.dir());
    EXPECT_EQ(Written(kStringsOriginal),
              "resourcestring\r\n  s_1 = 'Hello  ';\r\n  s_2 = 'it';\r\n  s_3 = 'Don''t';\r\n");
    EXPECT_EQ(Written(kStringsTranslation),
              "resourcestring\r\n  s_1 = 'Hello  ';\r\n  s_2 = 'es';\r\n"
              "  s_3 = 'Nicht ' doppelt';\r\n");
}

TEST_F(ResourceStringsTest, UnwritableDirectoryRaises) {
    AddRow("Hello", "", 0);
    EXPECT_THROW(WriteResourceStringFiles(session, pascal, sources.file("missing")), Error);
}

TEST_F(ResourceStringsTest, LongTextsAreLiteralsOfAtMost255CharactersJoined) {
    AddRow(std::string(600, 'x'), "", 0);
    // 254 characters, then an apostrophe pair that must not be cut, then blanks at the end.
    AddRow(std::string(254, 'a') + "''b", std::string(255, 'c') + "'#13'" + std::string(300, 'd'),
           2);
    WriteResourceStringFiles(session, pascal, sources.path());
    const std::string first = "  s_1 = '" + std::string(255, 'x') + "' +\r\n    '" +
                              std::string(255, 'x') + "' +\r\n    '" + std::string(90, 'x') +
                              "';\r\n";
    EXPECT_EQ(Written(kStringsOriginal), "resourcestring\r\n" + first + "  s_2 = '" +
                                             std::string(254, 'a') + "' +\r\n    '''b  ';\r\n");
    // A literal counts from its own quote: after '#13' the next one starts afresh.
    EXPECT_EQ(Written(kStringsTranslation),
              "resourcestring\r\n" + first + "  s_2 = '" + std::string(255, 'c') + "'#13'" +
                  std::string(255, 'd') + "' +\r\n    '" + std::string(45, 'd') + "  ';\r\n");
}

TEST_F(ResourceStringsTest, FreePascalCompilesA1000CharacterResourceString) {
    if (lexorin::testing::run_command("fpc -iV").status != 0) GTEST_SKIP() << "no fpc";
    std::string text;
    for (int i = 0; text.size() < 1000; ++i)
        text += i % 50 == 49 ? std::string("''") : std::string(1, static_cast<char>('a' + i % 26));
    AddRow(text, "", 0);
    WriteResourceStringFiles(session, pascal, sources.path());
    write_test_file(sources.file("long.pas"),
                    "program long;\r\n{$mode delphi}\r\n{$I strings.org}\r\nbegin\r\n"
                    "  Writeln(Length(s_1));\r\n  Writeln(s_1);\r\nend.\r\n");
    auto build = lexorin::testing::run_command("cd '" + sources.path() + "' && fpc -B long.pas");
    ASSERT_EQ(build.status, 0) << build.out << build.err;
    auto run = lexorin::testing::run_command("'" + sources.file("long") + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    std::string shown = text;
    for (auto at = shown.find("''"); at != std::string::npos; at = shown.find("''", at + 1))
        shown.erase(at, 1);
    EXPECT_EQ(run.out, std::to_string(shown.size()) + "\n" + shown + "\n");
}

TEST(ProjectDirectoryForFiles, AddsOneSlash) {
    EXPECT_EQ(ProjectDirectoryForFiles("/src/demo"), "/src/demo/");
    EXPECT_EQ(ProjectDirectoryForFiles("/src/demo/"), "/src/demo/");
    EXPECT_EQ(ProjectDirectoryForFiles(""), "");
}

TEST(CopyGlueFiles, CopiesBothOrNamesTheMissingOne) {
    TempDir program, project;
    write_test_file(program.file(kGlueInclude), "{$define x}\r\n");
    write_test_file(project.file(kGlueInclude), "old");
    try {
        CopyGlueFiles(program.path(), project.path());
        ADD_FAILURE() << "a missing lx_lang.pas was not reported";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(kGlueUnit), std::string::npos) << e.what();
    }
    EXPECT_EQ(read_test_file(project.file(kGlueInclude)), "{$define x}\r\n");
    write_test_file(program.file(kGlueUnit), "unit lx_lang;");
    CopyGlueFiles(program.dir(), project.path());
    EXPECT_EQ(read_test_file(project.file(kGlueUnit)), "unit lx_lang;");
}

TEST(CodeWrittenMessage, Text) {
    EXPECT_EQ(CodeWrittenMessage("/src/demo"),
              "Code written successfully.\r\rThe files lx_lang.pas and lx_lang.inc are now copied "
              "to /src/demo.\r\rIn order to compile the translated form, make sure that "
              "lx_lang.inc contains  the string \"{$define translatedform}\".");
}

}  // namespace
}  // namespace lexorin::code
