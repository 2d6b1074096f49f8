// The copy-free text helpers the scanners use on every line: each must give what its copying
// counterpart gives, on the line ends and letter cases that real files hold.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "base/text_routines.h"
#include "base/text_utils.h"
#include "support/test_support.h"

namespace lexorin {
namespace {

using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

TEST(TextViews, LineViewsSplitAsTheCopiesDo) {
    const std::vector<std::string> texts = {
        "", "a", "a\n", "a\r\n", "a\r", "\n\n", "\r\r\n\n", "a\rb\r\nc\nd",
        "one\r\ntwo\r\n\r\nthree", std::string("x\0y\r\nz", 6),
        // A file of CRs alone, the old Macintosh way, and a long one, whose LF comes late.
        "a\rb\rc\rd", std::string(5000, 'x') + "\r" + std::string(3000, 'y') + "\n"};
    for (const std::string& text : texts) {
        const std::vector<std::string> copies = read_text_lines(text);
        const std::vector<std::string_view> views = read_text_line_views(text);
        ASSERT_EQ(views.size(), copies.size()) << text;
        for (size_t i = 0; i < views.size(); ++i) EXPECT_EQ(views[i], copies[i]) << text;
        EXPECT_EQ(join_text_line_views(views), join_text_lines(copies));
    }
    EXPECT_EQ(read_text_line_views("a\rb\r\nc").size(), 3u);
    EXPECT_EQ(join_text_line_views({"a", ""}), "a\r\n\r\n");
}

TEST(TextViews, FindNoCaseMatchesTheUpperCasedSearch) {
    const std::vector<std::string> texts = {
        "", "NOTRANS", "x notrans y", "stdCall;", "\xE4nd\xC4ND", "aaa", "lx_lang, LX_Lang"};
    const std::vector<std::string> parts = {"",       "a",  "NOTRANS", "StdCall",
                                            "\xE4ND", "aa", "LX_LANG", "longer than any text here"};
    for (const std::string& text : texts)
        for (const std::string& part : parts)
            for (size_t from = 0; from <= text.size() + 1; ++from)
                EXPECT_EQ(FindNoCase(text, part, from),
                          upper_case(text).find(upper_case(part), from))
                    << text << " / " << part << " from " << from;
    EXPECT_TRUE(ContainsNoCase("external 'x' name 'y'; STDCALL", "stdcall"));
    EXPECT_FALSE(ContainsNoCase("anything", ""));
    EXPECT_EQ(ReplaceAllNoCase("It's it'S", "'s", "-"), "It- it-");
}

TEST(TextViews, TrimAndPrefixWithoutCopies) {
    EXPECT_EQ(trim_view(" \t\x01 uses a; \r"), "uses a;");
    EXPECT_EQ(trim_view("   "), "");
    EXPECT_EQ(trim_view("\xA0x\xA0"), "\xA0x\xA0");  // only codes up to 32 are blanks
    EXPECT_TRUE(starts_with_no_case("Implementation", "IMPLEMENTATION"));
    EXPECT_TRUE(starts_with_no_case("const x", "CONST "));
    EXPECT_FALSE(starts_with_no_case("con", "CONST "));
    EXPECT_FALSE(starts_with_no_case("\xE4nd", "\xC4ND"));  // only a to z fold
}

TEST(TextViews, ReadFileInOneGo) {
    TempDir dir;
    const std::string big(3 * 1024 * 1024 + 7, 'q');
    write_test_file(dir.file("big.pas"), big);
    EXPECT_EQ(read_file(dir.file("big.pas")), big);
    write_test_file(dir.file("empty.pas"), "");
    EXPECT_EQ(read_file(dir.file("empty.pas")), "");
    // A file whose size says nothing is read to its end all the same.
    EXPECT_NE(read_file("/proc/self/status").find("Name:"), std::string::npos);
    // A folder reads as nothing, as it did from a stream.
    EXPECT_EQ(read_file(dir.path()), "");
    try {
        read_file(dir.file("missing.pas"));
        FAIL() << "a missing file was read";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file " + dir.file("missing.pas") + ": No such file or directory");
    }
}

}  // namespace
}  // namespace lexorin
