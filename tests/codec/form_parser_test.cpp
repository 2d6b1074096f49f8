#include "codec/form_parser.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "codec/form_errors.h"

namespace lexorin::codec {
namespace {

struct Token {
    FormParser::Kind kind;
    std::string text;
    int line;
    bool operator==(const Token&) const = default;
};

std::vector<Token> Tokens(const std::string& text) {
    std::istringstream in(text);
    FormParser parser(in);
    std::vector<Token> tokens;
    while (parser.Token() != FormParser::Kind::End) {
        tokens.push_back({parser.Token(), parser.TokenString(), parser.SourceLine()});
        parser.NextToken();
    }
    return tokens;
}

std::string ErrorOf(const std::string& text) {
    try {
        Tokens(text);
    } catch (const EParserError& e) {
        return e.what();
    }
    return "no error";
}

using K = FormParser::Kind;

TEST(FormParser, TokenKinds) {
    EXPECT_EQ(Tokens("object Form1: TForm1\r\n  Left = -12 $1F 1.5E-3 7e2\r\n"),
              (std::vector<Token>{{K::Symbol, "object", 1},
                                  {K::Symbol, "Form1", 1},
                                  {K::Char, ":", 1},
                                  {K::Symbol, "TForm1", 1},
                                  {K::Symbol, "Left", 2},
                                  {K::Char, "=", 2},
                                  {K::Integer, "-12", 2},
                                  {K::Integer, "$1F", 2},
                                  {K::Float, "1.5E-3", 2},
                                  {K::Float, "7e2", 2}}));
    EXPECT_EQ(Tokens("_a1.b - x \xFC"), (std::vector<Token>{{K::Symbol, "_a1", 1},
                                                            {K::Char, ".", 1},
                                                            {K::Symbol, "b", 1},
                                                            {K::Char, "-", 1},
                                                            {K::Symbol, "x", 1},
                                                            {K::Char, "\xFC", 1}}));
}

TEST(FormParser, StringsJoinQuotedRunsAndCodes) {
    EXPECT_EQ(Tokens("'It'#39's'"), (std::vector<Token>{{K::String, "It's", 1}}));
    EXPECT_EQ(Tokens("'a''b'"), (std::vector<Token>{{K::String, "a'b", 1}}));
    EXPECT_EQ(Tokens("#13#10'x'#0 'y'"),
              (std::vector<Token>{{K::String, std::string("\r\nx\0", 4), 1}, {K::String, "y", 1}}));
    // A code above 255 makes the token wide; its text is then the UTF-8 form.
    EXPECT_EQ(Tokens("#300#65"), (std::vector<Token>{{K::String,
                                                      "\xC4\xAC"
                                                      "A",
                                                      1}}));
    EXPECT_EQ(Tokens("''"), (std::vector<Token>{{K::String, "", 1}}));
    EXPECT_EQ(ErrorOf("\n'abc\r\n'"),
              "Ung\xFC"
              "ltige Stringkonstante in Zeile 2");
    EXPECT_EQ(ErrorOf("'abc"),
              "Ung\xFC"
              "ltige Stringkonstante in Zeile 1");
    EXPECT_EQ(ErrorOf("'a'#x"),
              "Ung\xFC"
              "ltige Stringkonstante in Zeile 1");
}

TEST(FormParser, NumbersAndKeywords) {
    std::istringstream in("2147483647 -2147483648 $FFFFFFFF 2147483648 $100000000 End");
    FormParser parser(in);
    EXPECT_EQ(parser.TokenInt(), 2147483647);
    parser.NextToken();
    EXPECT_EQ(parser.TokenInt(), -2147483647 - 1);
    parser.NextToken();
    EXPECT_EQ(parser.TokenInt(), -1);
    parser.NextToken();
    EXPECT_THROW(parser.TokenInt(), EParserError);
    parser.NextToken();
    try {
        parser.TokenInt();
        FAIL();
    } catch (const EParserError& e) {
        EXPECT_STREQ(e.what(),
                     "'$100000000' ist kein g\xFC"
                     "ltiger Integerwert in Zeile 1");
    }
    parser.NextToken();
    EXPECT_TRUE(parser.TokenSymbolIs("END"));
    EXPECT_TRUE(parser.TokenSymbolIs("end"));
    EXPECT_FALSE(parser.TokenSymbolIs("ENDE"));
}

TEST(FormParser, ReadsLinesAcrossBufferRefills) {
    // Many lines of varying length: tokens must come out whole whatever the buffer boundaries.
    std::string text;
    std::vector<Token> expected;
    for (int i = 1; i <= 2000; ++i) {
        std::string name = "Name" + std::to_string(i) + std::string(i % 37, 'x');
        text += name + " = '" + std::string(i % 50, 'v') + "'\r\n";
        expected.push_back({K::Symbol, name, i});
        expected.push_back({K::Char, "=", i});
        expected.push_back({K::String, std::string(i % 50, 'v'), i});
    }
    EXPECT_EQ(Tokens(text), expected);
}

TEST(FormParser, LongLines) {
    EXPECT_EQ(Tokens("a\n'" + std::string(4090, 'x') + "'\n").size(), 2u);
    EXPECT_EQ(ErrorOf("a\n'" + std::string(5000, 'x') + "'\n"), "Zeile zu lang in Zeile 2");
    // The last line needs no line break, and may fill the buffer.
    EXPECT_EQ(Tokens("'" + std::string(4094, 'x') + "'").size(), 1u);
}

TEST(FormParser, HexBinary) {
    std::istringstream in("{0A0b\r\n  FF 10}x");
    FormParser parser(in);
    ASSERT_TRUE(parser.TokenIs('{'));
    std::string data;
    parser.HexToBinary(data);
    EXPECT_EQ(data, "\x0A\x0B\xFF\x10");
    EXPECT_TRUE(parser.TokenIs('}'));
    parser.NextToken();
    EXPECT_TRUE(parser.TokenSymbolIs("x"));

    for (const char* bad : {"{0\r\nA}", "{0}", "{0G}", "{00", "{"}) {
        std::istringstream bad_in(bad);
        FormParser bad_parser(bad_in);
        std::string ignored;
        try {
            bad_parser.HexToBinary(ignored);
            FAIL() << bad;
        } catch (const EParserError& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, 20),
                      "Ung\xFC"
                      "ltiger Bin\xE4"
                      "rwert")
                << bad;
        }
    }
}

TEST(HexToBytes, StopsAtNonHexOrMaximum) {
    char out[8];
    EXPECT_EQ(HexToBytes("0aFf1", out, 8), 2u);
    EXPECT_EQ(std::string(out, 2), "\x0A\xFF");
    EXPECT_EQ(HexToBytes("00112233", out, 3), 3u);
    EXPECT_EQ(HexToBytes("0g11", out, 8), 0u);
    EXPECT_EQ(HexToBytes("", out, 8), 0u);
}

}  // namespace
}  // namespace lexorin::codec
