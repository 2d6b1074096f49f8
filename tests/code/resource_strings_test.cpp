// The resource-string files byte for byte, and the glue files beside them.
#include "code/resource_strings.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/file_utils.h"
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
    void Write(const std::string& directory) {
        WriteResourceStringFiles(*pascal_rows, directory, code_page);
    }
    void Write() { Write(sources.path()); }
    std::string Written(const char* name) { return read_test_file(sources.file(name)); }
    // strings.tra without its byte order mark.
    std::string Translations() {
        std::string text = Written(kStringsTranslation);
        EXPECT_EQ(text.substr(0, 3), kUtf8ByteOrderMark);
        return text.substr(3);
    }
    CodePage code_page;
};

TEST_F(ResourceStringsTest, EmptyTableGivesTheHeaderOnly) {
    Write();
    EXPECT_EQ(Written(kStringsOriginal), "resourcestring\r\n");
    EXPECT_EQ(Translations(), "resourcestring\r\n");
}

TEST_F(ResourceStringsTest, RowsInIndexOrderWithTheirBlanks) {
    AddRow("Hello", "", 2);
    AddRow("it", "es", 0);
    // An older version stored this translation as typed; it is written as a valid literal.
    AddRow("Don''t", "Nicht ' doppelt", 0);
    AddRow("Two", "Zwei'#13#10'Zeilen", 0);  // stored as a body, kept as it is
    // A view's filter on the table's handle must not drop rows from the files.
    pascal_rows->table().set_filter("Translated=1");
    pascal_rows->table().set_filtered(true);
    Write(sources.dir());
    EXPECT_EQ(Written(kStringsOriginal),
              "resourcestring\r\n  s_1 = 'Hello  ';\r\n  s_2 = 'it';\r\n  s_3 = 'Don''t';\r\n"
              "  s_4 = 'Two';\r\n");
    EXPECT_EQ(Translations(),
              "resourcestring\r\n  s_1 = 'Hello  ';\r\n  s_2 = 'es';\r\n"
              "  s_3 = 'Nicht '' doppelt';\r\n  s_4 = 'Zwei'#13#10'Zeilen';\r\n");
}

TEST_F(ResourceStringsTest, TranslationsAreUtf8AndOriginalsKeepTheirBytes) {
    AddRow("f\xfcr", "\xc4nderungen speichern?", 0);
    Write();
    EXPECT_EQ(Written(kStringsOriginal), "resourcestring\r\n  s_1 = 'f\xfcr';\r\n");
    EXPECT_EQ(Translations(), "resourcestring\r\n  s_1 = '\xc3\x84nderungen speichern?';\r\n");
    // A long translation is cut between characters, never inside one.
    AddRow("long", std::string(254, 'a') + "\xe4\xe4", 0);
    Write();
    EXPECT_NE(Translations().find("'" + std::string(254, 'a') + "\xc3\xa4' +\r\n    '\xc3\xa4';"),
              std::string::npos);
}

TEST_F(ResourceStringsTest, ATextTheCodePageCannotConvertWritesNothing) {
    code_page = CodePage("CP1251");
    AddRow("fine", "", 0);
    AddRow("bad", "\x98", 0);  // no character in CP1251
    write_test_file(sources.file(kStringsTranslation), "older");
    try {
        Write();
        ADD_FAILURE() << "the row was not refused";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("s_2"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Written(kStringsTranslation), "older");
    EXPECT_FALSE(lexorin::file_exists(sources.file(kStringsOriginal)));
}

TEST_F(ResourceStringsTest, BeyondTheResourceStringLimitConstantsAreDeclared) {
    EXPECT_EQ(ResourceStringSection(kMostResourceStrings), "resourcestring");
    EXPECT_EQ(ResourceStringSection(kMostResourceStrings + 1), "const");
    for (size_t i = 0; i <= kMostResourceStrings; ++i) AddRow("Text", "", 0);
    Write();
    EXPECT_EQ(Written(kStringsOriginal).substr(0, 7), "const\r\n");
    EXPECT_EQ(Translations().substr(0, 7), "const\r\n");
}

TEST_F(ResourceStringsTest, UnwritableDirectoryRaises) {
    AddRow("Hello", "", 0);
    EXPECT_THROW(Write(sources.file("missing")), Error);
}

TEST_F(ResourceStringsTest, LongTextsAreLiteralsOfAtMost255CharactersJoined) {
    AddRow(std::string(600, 'x'), "", 0);
    // 254 characters, then an apostrophe pair that must not be cut, then blanks at the end.
    AddRow(std::string(254, 'a') + "''b", std::string(255, 'c') + "'#13'" + std::string(300, 'd'),
           2);
    Write();
    const std::string first = "  s_1 = '" + std::string(255, 'x') + "' +\r\n    '" +
                              std::string(255, 'x') + "' +\r\n    '" + std::string(90, 'x') +
                              "';\r\n";
    EXPECT_EQ(Written(kStringsOriginal), "resourcestring\r\n" + first + "  s_2 = '" +
                                             std::string(254, 'a') + "' +\r\n    '''b  ';\r\n");
    // A literal counts from its own quote: after '#13' the next one starts afresh.
    EXPECT_EQ(Translations(), "resourcestring\r\n" + first + "  s_2 = '" + std::string(255, 'c') +
                                  "'#13'" + std::string(255, 'd') + "' +\r\n    '" +
                                  std::string(45, 'd') + "  ';\r\n");
}

TEST_F(ResourceStringsTest, FreePascalCompilesA1000CharacterResourceString) {
    if (lexorin::testing::run_command("fpc -iV").status != 0) GTEST_SKIP() << "no fpc";
    std::string text;
    for (int i = 0; text.size() < 1000; ++i)
        text += i % 50 == 49 ? std::string("''") : std::string(1, static_cast<char>('a' + i % 26));
    AddRow(text, "", 0);
    Write();
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

// Whatever a translation holds, strings.tra compiles and the program prints the text the row
// stands for: a valid literal body as it reads, anything else as typed. Nothing a translator
// can type makes the written file fail to compile, so the writer has no row to refuse.
TEST_F(ResourceStringsTest, FreePascalCompilesEveryTranslationAsTheTextItStandsFor) {
    if (lexorin::testing::run_command("fpc -iV").status != 0) GTEST_SKIP() << "no fpc";
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Don't", "Don't"},
        {"It''s", "It's"},
        {"a'#13#10'b", "a\r\nb"},
        {"50% {x} (* y *) // z", "50% {x} (* y *) // z"},
        {"tab\there", "tab\there"},
        {"'", "'"},
        {"end.';", "end.';"},
        {"#39", "#39"},
        {"Gr\xFC\xDF"
         "e",
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
    };
    std::string program =
        "program hostile;\r\n{$mode delphi}{$H+}\r\n{$I strings.tra}\r\nbegin\r\n";
    std::string expected;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        AddRow("original " + std::to_string(i), rows[i].first, 0);
        program += "  Writeln('[', s_" + std::to_string(i + 1) + ", ']');\r\n";
        expected += "[" + rows[i].second + "]\n";
    }
    Write();
    write_test_file(sources.file("hostile.pas"), program + "end.\r\n");
    auto build = lexorin::testing::run_command("cd '" + sources.path() + "' && fpc -B hostile.pas");
    ASSERT_EQ(build.status, 0) << build.out << build.err << Translations();
    auto run = lexorin::testing::run_command("LANG=C.UTF-8 '" + sources.file("hostile") + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);
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
    EXPECT_EQ(read_test_file(project.file(kGlueInclude)), "old") << "nothing is written";
    write_test_file(program.file(kGlueUnit), "unit lx_lang;");
    CopyGlueFiles(program.dir(), project.path());
    EXPECT_EQ(read_test_file(project.file(kGlueUnit)), "unit lx_lang;");
    EXPECT_EQ(read_test_file(project.file(kGlueInclude)), "{$define x}\r\n");
}

TEST(CopyGlueFiles, TheSwitchesTheUserTurnedOnStayOn) {
    TempDir program, project;
    write_test_file(program.file(kGlueUnit), "unit lx_lang;");
    const std::string shipped =
        "{ switches }\r\n{.$define TranslatedForm}\r\n"
        "{.$define TranslatedStrings}\r\n";
    write_test_file(program.file(kGlueInclude), shipped);
    CopyGlueFiles(program.path(), project.path());
    EXPECT_EQ(read_test_file(project.file(kGlueInclude)), shipped);
    // As the closing message of Write changes -> Code tells: a line anywhere, any case.
    write_test_file(project.file(kGlueInclude), shipped +
                                                    "{$define translatedform}\r\n"
                                                    "{$DEFINE  MyOwnSwitch }\r\n");
    CopyGlueFiles(program.path(), project.path());
    const std::string kept = read_test_file(project.file(kGlueInclude));
    EXPECT_EQ(kept,
              "{ switches }\r\n{$define TranslatedForm}\r\n{.$define TranslatedStrings}\r\n"
              "{$define MyOwnSwitch}\r\n");
    // Writing again changes nothing; a switch turned off again stays off.
    CopyGlueFiles(program.path(), project.path());
    EXPECT_EQ(read_test_file(project.file(kGlueInclude)), kept);
    write_test_file(project.file(kGlueInclude), shipped);
    CopyGlueFiles(program.path(), project.path());
    EXPECT_EQ(read_test_file(project.file(kGlueInclude)), shipped);
    EXPECT_EQ(ActiveDefines("{.$define A} {$define B} {$defineC} {$define D E}"),
              std::vector<std::string>{"B"});
}

TEST(CodeWrittenMessage, Text) {
    EXPECT_EQ(CodeWrittenMessage("/src/demo"),
              "Code written successfully.\r\rThe files lx_lang.pas and lx_lang.inc are now copied "
              "to /src/demo.\r\rTo build the program in the translation, turn its switches on "
              "in lx_lang.inc: remove the dot from \"{.$define TranslatedStrings}\" for the "
              "translated strings, and from \"{.$define TranslatedForm}\" for the translated "
              "forms as well.");
}

}  // namespace
}  // namespace lexorin::code
