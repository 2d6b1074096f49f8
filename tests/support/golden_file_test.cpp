// What a failing golden-file comparison shows and leaves behind.
#include "support/golden_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace lexorin::testing {
namespace {

TEST(GoldenFile, EqualTextsHaveNoDifference) {
    EXPECT_EQ(FirstDifference("a\r\nb\r\n", "a\r\nb\r\n"), "");
    EXPECT_EQ(FirstDifference("", ""), "");
}

TEST(GoldenFile, NamesTheLineColumnAndByteWhereTheTextsPart) {
    EXPECT_EQ(FirstDifference("unit a;\nbegin x := 1;\nend.\n", "unit a;\nbegin x := 2;\nend.\n"),
              "first difference at line 2, column 12 (byte offset 19; expected 27 bytes, actual "
              "27)\n  expected: \"begin x := 1;\\n\"\n  actual:   \"begin x := 2;\\n\"");
}

// Line ends, a missing last line end and 8-bit bytes must be visible, or the two lines would
// look the same.
TEST(GoldenFile, ShowsLineEndsAndBytesThatDoNotPrint) {
    EXPECT_EQ(FirstDifference("x\r\n", "x\n"),
              "first difference at line 1, column 2 (byte offset 1; expected 3 bytes, actual 2)\n"
              "  expected: \"x\\r\\n\"\n  actual:   \"x\\n\"");
    EXPECT_EQ(FirstDifference("a\nb\n", "a\nb"),
              "first difference at line 2, column 2 (byte offset 3; expected 4 bytes, actual 3)\n"
              "  expected: \"b\\n\"\n  actual:   \"b\"");
    EXPECT_EQ(FirstDifference("a\n", "a\n\xDC\t\"\x01"),
              "first difference at line 2, column 1 (byte offset 2; expected 2 bytes, actual 6)\n"
              "  expected: (end of file)\n  actual:   \"\\xDC\\t\\\"\\x01\"");
}

TEST(GoldenFile, ShowsAWindowOfALongLine) {
    const std::string expected(1000, 'a');
    std::string actual = expected;
    actual[500] = 'b';
    const std::string difference = FirstDifference(expected, actual);
    EXPECT_NE(difference.find("  expected: ...\"" + std::string(40, 'a') + std::string(80, 'a') +
                              "\"..."),
              std::string::npos)
        << difference;
    EXPECT_NE(difference.find("  actual:   ...\"" + std::string(40, 'a') + "b" +
                              std::string(79, 'a') + "\"..."),
              std::string::npos)
        << difference;
}

TEST(GoldenFile, AMismatchLeavesTheActualOutputBesideTheGoldenFile) {
    TempDir dir;
    const std::string golden = dir.file("expected.pas");
    write_test_file(golden, "s_1 = 'Hello';\r\n");

    const std::string difference = CompareWithGoldenFile("s_1 = 'Hallo';\r\n", golden);
    EXPECT_EQ(difference,
              golden + " differs; the actual output is in " + golden +
                  ".actual\nfirst difference at line 1, column 9 (byte offset 8; "
                  "expected 16 bytes, actual 16)\n  expected: \"s_1 = 'Hello';\\r\\n\"\n"
                  "  actual:   \"s_1 = 'Hallo';\\r\\n\"");
    EXPECT_EQ(read_test_file(ActualFileFor(golden)), "s_1 = 'Hallo';\r\n");
    EXPECT_EQ(read_test_file(golden), "s_1 = 'Hello';\r\n");

    // Once the output is right again, the stale ".actual" goes.
    EXPECT_EQ(CompareWithGoldenFile("s_1 = 'Hello';\r\n", golden), "");
    EXPECT_FALSE(std::filesystem::exists(ActualFileFor(golden)));
}

TEST(GoldenFile, AMissingGoldenFileFailsAndKeepsTheOutput) {
    TempDir dir;
    const std::string golden = dir.file("strings.org");
    EXPECT_EQ(CompareWithGoldenFile("resourcestring\r\n", golden),
              "cannot read the golden file " + golden + "; the actual output is in " + golden +
                  ".actual");
    EXPECT_EQ(read_test_file(golden + ".actual"), "resourcestring\r\n");
    EXPECT_FALSE(std::filesystem::exists(golden));
}

}  // namespace
}  // namespace lexorin::testing
