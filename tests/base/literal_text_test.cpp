#include "base/literal_text.h"

#include <gtest/gtest.h>

namespace lexorin {
namespace {

TEST(LiteralText, BodiesAreReadAsTheTextTheyStandFor) {
    EXPECT_EQ(LiteralText("Don''t"), "Don't");
    EXPECT_EQ(LiteralText("Line'#13#10'two"), "Line\r\ntwo");
    EXPECT_EQ(LiteralText("a'#$41'b"), "aAb");
    EXPECT_EQ(LiteralText("''''"), "''");
    EXPECT_EQ(LiteralText(""), "");
    EXPECT_EQ(LiteralText("f\xfcr"), "f\xfcr");  // 8-bit text stays as it is
}

TEST(LiteralText, TextThatIsNoBodyComesBackAsTyped) {
    // An older version stored translations as the translator typed them.
    for (const char* typed : {"gell's", "it's 'quoted", "a'#13", "x'#300'y", "a'b'c", "'"}) {
        EXPECT_FALSE(IsLiteralBody(typed)) << typed;
        EXPECT_EQ(LiteralText(typed), typed);
    }
}

TEST(LiteralText, TypedTextBecomesABodyThatReadsBackTheSame) {
    EXPECT_EQ(LiteralBody("Don't"), "Don''t");
    EXPECT_EQ(LiteralBody("Line\r\ntwo"), "Line'#13#10'two");
    EXPECT_EQ(LiteralBody("\tTab"), "'#9'Tab");
    EXPECT_EQ(LiteralBody("end\n"), "end'#10'");
    for (const std::string text : {"Don't", "''", "\r\n", "a\tb'c\n", "", "gell's", "x'#13'y"}) {
        const std::string body = LiteralBody(text);
        EXPECT_TRUE(IsLiteralBody(body)) << body;
        EXPECT_EQ(LiteralText(body), text) << body;
    }
}

TEST(LiteralText, WritableBodiesKeepValidOnesAndMendTypedOnes) {
    EXPECT_EQ(WritableLiteralBody("Don''t"), "Don''t");
    EXPECT_EQ(WritableLiteralBody("Zeile'#13'zwei"), "Zeile'#13'zwei");
    EXPECT_EQ(WritableLiteralBody("gell's"), "gell''s");
    EXPECT_EQ(WritableLiteralBody("two\r\nlines"), "two'#13#10'lines");
}

}  // namespace
}  // namespace lexorin
