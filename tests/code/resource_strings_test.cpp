// The resource-string files byte for byte, and the glue files beside them.
#include "code/resource_strings.h"

#include <gtest/gtest.h>

#include "app/errors.h"
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
