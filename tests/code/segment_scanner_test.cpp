// The decisions on single code lines: which literals become strings, what they are stored with
// and how the line is rewritten.
#include <gtest/gtest.h>

#include "code/segment_rules.h"
#include "scan_helpers.h"

namespace lexorin::code {
namespace {

using test::InImplementation;
using test::LetterOptions;
using test::RunScan;
using Texts = std::vector<std::string>;

// The rewritten form of one implementation line: the marker and the line, or the line alone.
Texts RewriteOne(const CodeScanOptions& options, const std::string& line) {
    Texts out = RunScan(options, InImplementation({line})).lines;
    out.erase(out.begin());
    return out;
}

TEST(ScanSegment, ReplacesLiteralsAndKeepsTrailingBlanks) {
    auto scan =
        RunScan(LetterOptions(), InImplementation({"  ShowMessage('Hello ' + Name + ' !');"}));
    ASSERT_EQ(scan.rows.size(), 1u);
    EXPECT_EQ(scan.rows[0].second.original, "Hello ");
    EXPECT_EQ(scan.rows[0].second.spaces_at_end, 1);
    EXPECT_EQ(scan.lines,
              (Texts{test::kImplementationLine, "//TL:ShowMessage('Hello ' + Name + ' !');",
                     "  ShowMessage(''+s_1+'' + Name + ' !');"}));
    EXPECT_EQ(scan.rows[0].second.new_line, 3);
    EXPECT_EQ(scan.rows[0].second.original_line, 2);
}

TEST(ScanSegment, LineTestsReject) {
    CodeScanOptions t = LetterOptions();
    EXPECT_EQ(RewriteOne(t, "    // Caption := 'Hello';"), Texts{"    // Caption := 'Hello';"});
    EXPECT_EQ(RewriteOne(t, "Caption := 'Hello'; // NOTRANS").size(), 1u);
    EXPECT_EQ(RewriteOne(t, "Caption := 'Hello'; // notrans").size(), 1u);
    EXPECT_EQ(RewriteOne(t, "function F: Integer; stdcall; external 'kernel32.dll';").size(), 1u);
    EXPECT_EQ(RewriteOne(t, "  const Title = 'Hello';").size(), 1u);
    // Only a line that opens with the keyword is caught.
    EXPECT_EQ(RewriteOne(t, "  Title = 'Hello';").size(), 2u);
    // The marker inside a brace comment is not handed to the scanner.
    EXPECT_EQ(RewriteOne(t, "Caption := 'Hello'; { NOTRANS }"),
              (Texts{"//TL:Caption := 'Hello'; { NOTRANS ", "Caption := ''+s_1+''; { NOTRANS }"}));
}

TEST(ScanSegment, CandidateTestsReject) {
    CodeScanOptions t = LetterOptions();
    t.min_length = 3;
    EXPECT_EQ(RunScan(t, InImplementation({"a := ' ab ' + 'abc';"})).originals(), Texts{"abc"});
    t.min_length = 2;
    EXPECT_EQ(RunScan(t, InImplementation({"a := '' + '12' + 'x1';"})).originals(), Texts{"x1"});
    t.required_chars = "";
    EXPECT_TRUE(RunScan(t, InImplementation({"a := 'Hello';"})).rows.empty());
}

TEST(ScanSegment, UnwantedStartIsTestedOnlyWithUnwantedStrings) {
    CodeScanOptions t = LetterOptions();
    t.rejected_starts = "#";
    EXPECT_EQ(RunScan(t, InImplementation({"a := '#abc';"})).rows.size(), 1u);
    t.skipped_pieces = {"SQL.Add"};
    EXPECT_TRUE(RunScan(t, InImplementation({"a := '#abc';"})).rows.empty());
    EXPECT_TRUE(RunScan(t, InImplementation({"q.sql.add('select');"})).rows.empty());
    EXPECT_EQ(RunScan(t, InImplementation({"a := 'abc';"})).rows.size(), 1u);
}

TEST(ScanSegment, UnwantedWordPartStoresAsIgnored) {
    CodeScanOptions t = LetterOptions();
    t.ignored_word_parts = {"", ".DLL"};
    auto scan = RunScan(t, InImplementation({"a := 'user32.dll'; b := 'Hello';"}));
    ASSERT_EQ(scan.rows.size(), 2u);
    EXPECT_TRUE(scan.rows[0].second.ignore);
    EXPECT_FALSE(scan.rows[1].second.ignore);
    EXPECT_EQ(scan.lines.back(), "a := ''+s_1+''; b := ''+s_2+'';");
}

TEST(ScanSegment, DoubledApostrophesAndConcatenations) {
    // A doubled apostrophe is part of its literal, which is stored as it stands; each quoted
    // part of a concatenation is a literal of its own.
    CodeScanOptions t = LetterOptions();
    auto scan = RunScan(t, InImplementation({"s := 'it''s' + #13 + 'ok'#10'fine';"}));
    EXPECT_EQ(scan.originals(), (Texts{"it''s", "ok", "fine"}));
    EXPECT_EQ(scan.lines.back(), "s := ''+s_1+'' + #13 + ''+s_2+''#10''+s_3+'';");
    scan = RunScan(t, InImplementation({"s := '''ok''';"}));
    EXPECT_EQ(scan.originals(), Texts{"''ok''"});
    EXPECT_EQ(scan.lines.back(), "s := ''+s_1+'';");
}

TEST(ScanSegment, EachLiteralKeepsItsOwnRow) {
    // Letter case counts, and a repeated literal refers to its own row.
    auto scan = RunScan(LetterOptions(), InImplementation({"a('OK', 'ok', 'OK');"}));
    EXPECT_EQ(scan.originals(), (Texts{"OK", "ok", "OK"}));
    EXPECT_EQ(scan.lines.back(), "a(''+s_1+'', ''+s_2+'', ''+s_3+'');");
}

TEST(ScanSegment, QuotedTextSpanningOtherLiteralsIsLeftAlone) {
    // ' + c + ' is also the text between the literals 'a' and 'b'; replacing it there would
    // merge them into one literal and change the program.
    CodeScanOptions t = LetterOptions();
    t.min_length = 1;
    auto scan = RunScan(t, InImplementation({"x := 'a' + c + 'b'; y := ' + c + ';"}));
    EXPECT_EQ(scan.lines.back(), "x := ''+s_1+'' + c + ''+s_2+''; y := ''+s_3+'';");
}

TEST(ScanSegment, LoneApostropheAndTrailingLineComment) {
    CodeScanOptions t = LetterOptions();
    EXPECT_TRUE(RunScan(t, InImplementation({"a := 'unterminated"})).rows.empty());
    auto scan = RunScan(t, InImplementation({"a := 'Hello'; // don't 'quote' me"}));
    EXPECT_EQ(scan.originals(), Texts{"Hello"});
    EXPECT_EQ(scan.lines.back(), "a := ''+s_1+''; // don't 'quote' me");
}

TEST(ScanSegment, RescanOfRewrittenLineFindsNothing) {
    EXPECT_EQ(RewriteOne(LetterOptions(), "ShowMessage(''+s_12+'');"),
              Texts{"ShowMessage(''+s_12+'');"});
}

TEST(ScanSegment, InterfaceIsSkippedUnlessAsked) {
    CodeScanOptions t = LetterOptions();
    // A program or library has no interface part: its statement part is taken.
    for (const char* heading : {"program p;", "library l;", "Program p(input, output);"}) {
        Texts program = {heading, "begin", "  writeln('Hello');", "end."};
        EXPECT_EQ(RunScan(t, program).originals(), Texts{"Hello"}) << heading;
    }
    // A file without a heading is taken for a part of a unit until its implementation.
    EXPECT_TRUE(RunScan(t, {"begin", "  writeln('Hello');", "end."}).rows.empty());
    t.ignore_interface = false;
    EXPECT_EQ(RunScan(t, {"begin", "  writeln('Hello');", "end."}).rows.size(), 1u);
    // Interface literals are skipped, the implementation line's own literal counts.
    t.ignore_interface = true;
    EXPECT_EQ(RunScan(t, {"interface", "x = 'one';",
                          "implementation {'two'} procedure P; begin y := 'three';"})
                  .originals(),
              Texts{"three"});
}

TEST(ScanSegment, ContextLines) {
    CodeScanOptions t = LetterOptions();
    auto scan = RunScan(
        t, {"implementation procedure P; begin a := 'first';", "l2", "l3", "l4", "b := 'last';"});
    ASSERT_EQ(scan.rows.size(), 2u);
    EXPECT_EQ(scan.rows[0].second.context,
              "implementation procedure P; begin a := 'first';\rl2\rl3\r");
    EXPECT_EQ(scan.rows[1].second.context, "l3\rl4\rb := 'last';\r");
    t.context_lines = 1;
    scan = RunScan(t, {"implementation procedure P; begin", "a := 'mid';", "z"});
    EXPECT_EQ(scan.rows[0].second.context, "a := 'mid';\r");
}

TEST(ScanSegment, ContextOfALongLineIsCutAroundTheLiteral) {
    CodeScanOptions t = LetterOptions();
    std::string line = "  S := ";
    for (int i = 0; i < 2000; ++i) line += "'text" + std::to_string(i) + "' + ";
    line += "'end';";
    auto scan = RunScan(t, InImplementation({line, "x := 1;"}));
    ASSERT_EQ(scan.rows.size(), 2001u);
    for (const auto& [index, row] : scan.rows) {
        // The short lines whole, the long one cut to its limit and marked.
        EXPECT_LE(row.context.size(), kContextLineLimit + 100) << index;
        EXPECT_NE(row.context.find("'" + row.original + "'"), std::string::npos) << index;
    }
    const std::string& middle = scan.rows[1000].second.context;
    EXPECT_EQ(middle.rfind(test::kImplementationLine, 0), 0u);
    EXPECT_NE(middle.find("\r..."), std::string::npos);
    EXPECT_NE(middle.find("...\rx := 1;\r"), std::string::npos);
    // The first literal's window starts with the line itself.
    EXPECT_NE(scan.rows[0].second.context.find("\r  S := 'text0'"), std::string::npos);
}

}  // namespace
}  // namespace lexorin::code
