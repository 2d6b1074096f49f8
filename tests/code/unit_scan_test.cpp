// ScanUnit on real files and tables: the rows it stores, the file it writes, and units it must
// leave alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/errors.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;

const std::string kUnit =
    "unit U;\ninterface\nimplementation\nprocedure P;\nbegin\n  Show('Hello  ');\nend;\nend.";

class ScanUnitTest : public ::testing::Test, protected test::CodeTables {};

TEST_F(ScanUnitTest, StoresRowsAndRewritesWithCrLf) {
    std::string path = sources.file("u.pas");
    write_test_file(path, kUnit);
    ::chmod(path.c_str(), 0640);
    EXPECT_EQ(ScanUnit(path), 1);

    EXPECT_EQ(read_test_file(path),
              "unit U;\r\ninterface\r\nimplementation uses lx_lang;\r\nprocedure P;\r\nbegin\r\n"
              "//TL:Show('Hello  ');\r\n  Show(''+s_1+'');\r\nend;\r\nend.\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    ASSERT_EQ(count(pasfiles), 1);
    pasfiles.first();
    EXPECT_EQ(pasfiles.text("UnitName"), "u.pas");
    EXPECT_EQ(pasfiles.text("Directory"), path);

    ASSERT_EQ(count(pascal), 1);
    pascal.first();
    EXPECT_EQ(pascal.integer("Index"), 1);
    EXPECT_EQ(pascal.text("OriginalString"), "Hello");  // the store drops trailing blanks
    EXPECT_EQ(pascal.integer("SpacesAtEnd"), 2);
    EXPECT_EQ(pascal.text("TranslateString"), "");
    EXPECT_EQ(pascal.integer("UnitName"), pasfiles.integer("Index"));
    EXPECT_FALSE(pascal.logical("Translated"));
    EXPECT_FALSE(pascal.logical("Ignore"));
    EXPECT_EQ(pascal.integer("NewLine"), 7);
    EXPECT_EQ(pascal.integer("OriginalLine"), 6);
    EXPECT_EQ(pascal.text("Context"), "procedure P;\rbegin\r  Show('Hello  ');\rend;\rend.\r");
}

TEST_F(ScanUnitTest, AUnitWithNothingToChangeKeepsItsBytes) {
    // No literal, a uses clause, LF line ends: nothing refers to the glue unit.
    const std::string unit = "unit U;\ninterface\nuses Classes;\nimplementation\nend.\n";
    std::string path = sources.file("u.pas");
    write_test_file(path, unit);
    EXPECT_EQ(ScanUnit(path), 0);
    EXPECT_EQ(read_test_file(path), unit);
}

TEST_F(ScanUnitTest, UnitRowsAreFoundByNameAndPath) {
    std::string first = sources.file("a/u.pas"), second = sources.file("b/u.pas");
    write_test_file(first, kUnit);
    write_test_file(second, kUnit);
    pasfiles.append_record({store::Value(0), store::Value(store::kShowAll), store::Value("")});
    ScanUnit(first);
    ScanUnit(second);
    write_test_file(first, kUnit);  // a literal added to an already scanned unit
    ScanUnit(first);
    EXPECT_EQ(count(pasfiles), 3);
    EXPECT_EQ(count(pascal), 3);
    pascal.first();
    EXPECT_EQ(pascal.integer("UnitName"), 2);
    pascal.next();
    EXPECT_EQ(pascal.integer("UnitName"), 3);
    pascal.next();
    EXPECT_EQ(pascal.integer("UnitName"), 2);
}

TEST_F(ScanUnitTest, SecondScanAddsNothingAndKeepsTheFile) {
    std::string path = sources.file("u.pas");
    write_test_file(path, kUnit);
    ScanUnit(path);
    std::string once = read_test_file(path);
    EXPECT_EQ(ScanUnit(path), 0);
    EXPECT_EQ(read_test_file(path), once);
    EXPECT_EQ(count(pascal), 1);
}

TEST_F(ScanUnitTest, OddLineEndsAndEmptyFiles) {
    std::string path = sources.file("cr.pas");
    write_test_file(
        path, "implementation uses lx_lang; procedure T; begin\rx := 'abc';\r\ny := 'de';\nend.");
    EXPECT_EQ(ScanUnit(path), 2);
    EXPECT_EQ(read_test_file(path),
              "implementation uses lx_lang; procedure T; begin\r\n//TL:x := 'abc';\r\nx := "
              "''+s_1+'';\r\n//TL:y "
              ":= 'de';\r\n"
              "y := ''+s_2+'';\r\nend.\r\n");
    std::string empty = sources.file("empty.pas");
    write_test_file(empty, "");
    EXPECT_EQ(ScanUnit(empty), 0);
    EXPECT_EQ(read_test_file(empty), "");
}

TEST_F(ScanUnitTest, HighBytesPassThrough) {
    std::string path = sources.file("u.pas");
    write_test_file(
        path, "implementation uses lx_lang; procedure T; begin\r\nx := 'Gr\xFC\xDF Gott';\r\n");
    EXPECT_EQ(ScanUnit(path), 1);
    pascal.first();
    EXPECT_EQ(pascal.text("OriginalString"), "Gr\xFC\xDF Gott");
}

// Each of these units must fail with a clear error, add no rows and stay byte for byte.
TEST_F(ScanUnitTest, BadUnitsAreLeftAsTheyWere) {
    std::string nul = sources.file("nul.pas");
    std::string nul_bytes = "implementation uses lx_lang; procedure T; begin\nx := 'abc';\n" +
                            std::string(1, '\0') + "\n";
    write_test_file(nul, nul_bytes);
    try {
        ScanUnit(nul);
        ADD_FAILURE() << "a unit with NUL bytes was scanned";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("NUL"), std::string::npos) << e.what();
    }
    EXPECT_EQ(read_test_file(nul), nul_bytes);

    std::string locked = sources.file("locked.pas");
    write_test_file(locked, kUnit);
    ::chmod(locked.c_str(), 0444);
    EXPECT_THROW(ScanUnit(locked), Error);
    EXPECT_EQ(read_test_file(locked), kUnit);

    EXPECT_THROW(ScanUnit(sources.file("missing.pas")), Error);
    ASSERT_EQ(::mkfifo(sources.file("pipe.pas").c_str(), 0600), 0);
    EXPECT_THROW(ScanUnit(sources.file("pipe.pas")), Error);
    EXPECT_EQ(count(pascal), 0);
    EXPECT_EQ(count(pasfiles), 0);
}

TEST_F(ScanUnitTest, TableFailureLeavesTheUnit) {
    std::string path = sources.file("u.pas");
    write_test_file(path, kUnit);
    pascal_rows->table().close();  // no row can be written
    EXPECT_THROW(ScanUnit(path), Error);
    EXPECT_EQ(read_test_file(path), kUnit);
}

TEST_F(ScanUnitTest, LinkedUnitIsRewrittenWhereItLies) {
    std::string real = sources.file("real.pas"), link = sources.file("link.pas");
    write_test_file(real, kUnit);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ScanUnit(link);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(read_test_file(real).find("s_1"), std::string::npos);
}

struct RecordingReporter : SilentReporter {
    void status(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

TEST_F(ScanUnitTest, ProgressTexts) {
    std::string path = sources.file("u.pas");
    std::string text = "implementation uses lx_lang; procedure T; begin\n";
    for (int i = 0; i < 12; ++i) text += "x := 'abc';\n";
    write_test_file(path, text);
    RecordingReporter reporter;
    scanner = UnitScanner(test::LetterOptions(), RestoredLiterals::None(), &reporter);
    NewBatch({.reporter = &reporter});
    ScanUnit(path);
    EXPECT_EQ(reporter.texts,
              (std::vector<std::string>{"Processing " + path + " line 1",
                                        "Processing " + path + " line 11", "12 Strings found"}));
}

}  // namespace
}  // namespace lexorin::code
