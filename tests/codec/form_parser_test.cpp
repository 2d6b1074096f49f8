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

TEST(FormParser, LinesOfAnyLength) {
    EXPECT_EQ(Tokens("a\n'" + std::string(4090, 'x') + "'\n").size(), 2u);
    // A line far longer than the buffer: its tokens come out whole, on their own line.
    std::string many;
    for (int i = 0; i < 2000; ++i) many += " Name" + std::to_string(i) + " = -" + std::to_string(i);
    const std::vector<Token> tokens = Tokens("a\n" + many + " 'tail'\nb");
    ASSERT_EQ(tokens.size(), 1u + 3 * 2000 + 2);
    EXPECT_EQ(tokens[3 * 1999 + 1], (Token{K::Symbol, "Name1999", 2}));
    EXPECT_EQ(tokens[3 * 1999 + 3], (Token{K::Integer, "-1999", 2}));
    EXPECT_EQ(tokens[tokens.size() - 2], (Token{K::String, "tail", 2}));
    EXPECT_EQ(tokens.back(), (Token{K::Symbol, "b", 3}));
    // One string of a megabyte, quoted runs and codes, and the line after it.
    std::string text, value;
    for (int i = 0; value.size() < 1024 * 1024; ++i) {
        const std::string run = "run " + std::to_string(i) + " it''s";
        text += "'" + run + "'#13#10";
        value += "run " + std::to_string(i) + " it's\r\n";
    }
    EXPECT_EQ(
        Tokens("a = " + text + "\r\nend"),
        (std::vector<Token>{
            {K::Symbol, "a", 1}, {K::Char, "=", 1}, {K::String, value, 1}, {K::Symbol, "end", 2}}));
    // A string that does not end on its long line fails on that line.
    EXPECT_EQ(ErrorOf("a\n'" + std::string(5000, 'x') + "\nb'"),
              "Ung\xFC"
              "ltige Stringkonstante in Zeile 2");
    // The last line needs no line break.
    EXPECT_EQ(Tokens("'" + std::string(4094, 'x') + "'").size(), 1u);
    EXPECT_EQ(Tokens("'" + std::string(10000, 'x') + "'").size(), 1u);
}

TEST(FormParser, TokensAcrossTheEndOfTheBuffer) {
    // Every kind of token, and the look-ahead of "-", "$" and a doubled quote, placed at each
    // byte around the end of the first buffer ("2.5d" is a float of type d, written "2.5").
    const std::vector<Token> expected{
        {K::Symbol, "Symbol9", 1}, {K::Integer, "-42", 1}, {K::Integer, "$7FfF", 1},
        {K::Float, "1.5E-3", 1},   {K::Float, "2.5", 1},   {K::String, "a'b", 1},
        {K::String, "\r\n", 1},    {K::Char, "-", 1},      {K::Symbol, "x", 1}};
    const std::string hex_bytes("\x00\x11\x22\x33\x44\x55\x66\x77\x88\x99\xAA\xBB\xCC\xDD\xEE\xFF",
                                16);
    for (std::size_t pad = 4070; pad < 4100; ++pad) {
        SCOPED_TRACE(pad);
        EXPECT_EQ(Tokens(std::string(pad, ' ') + "Symbol9 -42 $7FfF 1.5E-3 2.5d 'a''b' #13#10 - x"),
                  expected);
        std::istringstream in(std::string(pad, ' ') + "{00112233445566778899AaBbCcDdEeFf}z");
        FormParser parser(in);
        std::string data;
        parser.HexToBinary(data);
        EXPECT_EQ(data, hex_bytes);
        parser.NextToken();
        EXPECT_TRUE(parser.TokenSymbolIs("z"));
    }
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
