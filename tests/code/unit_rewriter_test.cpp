// Whole units rewritten in memory: comment states across lines, the uses insertion, the form
// switch block, marker lines, and rescanning.
#include <gtest/gtest.h>

#include "base/text_utils.h"
#include "scan_helpers.h"
#include "support/golden_file_gtest.h"
#include "support/test_support.h"

namespace lexorin::code {
namespace {

using lexorin::testing::MatchesGoldenFile;
using test::InImplementation;
using test::LetterTranslator;
using test::RunScan;
using Texts = std::vector<std::string>;

std::string Golden(const std::string& name) {
    return lexorin::testing::read_test_file(std::string(LEXORIN_TEST_DATA) + "/code/" + name);
}

TEST(RewriteUnit, GoldenFormUnit) {
    TTranslator t = LetterTranslator();
    auto scan = RunScan(t, read_text_lines(Golden("form_unit/input.pas")));
    EXPECT_TRUE(MatchesGoldenFile(join_text_lines(scan.lines),
                                  LEXORIN_TEST_DATA "/code/form_unit/expected.pas"));
    EXPECT_EQ(scan.originals(), (Texts{"Hello", "After comment", "Closing line", "a{b",
                                       "Still code", "one", "two", "z z"}));
}

TEST(RewriteUnit, RescanOfRewrittenUnitChangesNothing) {
    TTranslator t = LetterTranslator();
    Texts once = RunScan(t, read_text_lines(Golden("form_unit/input.pas"))).lines;
    auto twice = RunScan(t, once);
    EXPECT_TRUE(twice.rows.empty());
    EXPECT_EQ(twice.lines, once);
}

TEST(RewriteUnit, FormDirectiveOnlyOnALineOfItsOwn) {
    TTranslator t = LetterTranslator();
    EXPECT_EQ(RunScan(t, {"{$R *.DFM} // form", "{$R *.RES}"}).lines,
              (Texts{"{$R *.DFM} // form", "{$R *.RES}"}));
    Texts converted = {"{$ifndef TranslatedForm}", "{$R *.DFM}"};
    EXPECT_EQ(RunScan(t, converted).lines, converted);
}

TEST(RewriteUnit, UsesClause) {
    TTranslator t = LetterTranslator();
    EXPECT_EQ(RunScan(t, {"  uses Windows, SysUtils;"}).lines,
              Texts{"uses lx_lang, Windows, SysUtils;"});
    EXPECT_EQ(RunScan(t, {"uses", "  Windows;"}).lines, (Texts{"uses lx_lang, ", "  Windows;"}));
    EXPECT_EQ(RunScan(t, {"uses LX_Lang, Windows;"}).lines, Texts{"uses LX_Lang, Windows;"});
    // Only the first uses line counts, and an identifier starting with "uses" is none.
    EXPECT_EQ(RunScan(t, {"UsesCount := 1;", "uses A;", "uses B;"}).lines,
              (Texts{"UsesCount := 1;", "uses lx_lang, A;", "uses B;"}));
    // No marker for a line changed only by the insertion.
    EXPECT_EQ(RunScan(t, {"uses A;"}).lines.size(), 1u);
}

TEST(RewriteUnit, MarkersOfLinesEndingInABrace) {
    auto scan = RunScan(LetterTranslator(), InImplementation({"  x := 'abc'; {note}"}));
    EXPECT_EQ(scan.lines, (Texts{test::kImplementationLine, "//TL:x := 'abc'; {note",
                                 "  x := ''+s_1+''; {note}"}));
}

TEST(RewriteUnit, UnterminatedCommentRunsToTheEnd) {
    auto scan = RunScan(LetterTranslator(), InImplementation({"{ open", "x := 'abc';"}));
    EXPECT_TRUE(scan.rows.empty());
    // "(*)" opens a comment and does not close it.
    scan = RunScan(LetterTranslator(), InImplementation({"(*) x := 'abc';", "*) y := 'def';"}));
    EXPECT_EQ(scan.originals(), Texts{"def"});
}

TEST(RewriteUnit, LineNumbersCountMarkersAndBlocks) {
    auto scan = RunScan(LetterTranslator(), {"implementation", "{$R *.DFM}",
                                             "procedure P; begin a := 'one';", "b := 'two';"});
    ASSERT_EQ(scan.rows.size(), 2u);
    // implementation, six block lines, marker, a, marker, b
    EXPECT_EQ(scan.rows[0].second.new_line, 9);
    EXPECT_EQ(scan.rows[1].second.new_line, 11);
    EXPECT_EQ(scan.lines[scan.rows[1].second.new_line - 1], "b := ''+s_2+'';");
    EXPECT_EQ(scan.rows[1].second.original_line, 4);
}

TEST(RewriteUnit, UnitWithoutUsesClauseGetsOneWhereNoLineMoves) {
    TTranslator t = LetterTranslator();
    auto scan = RunScan(t, {"unit u;", "interface", "implementation", "initialization",
                            "  Message := 'Some text';", "end."});
    EXPECT_EQ(scan.lines[2], "implementation uses lx_lang;");
    EXPECT_EQ(scan.rows[0].second.new_line, 6);
    EXPECT_EQ(scan.lines[5], "  Message := ''+s_1+'';");
    // A rescan adds no second clause, and a unit without references gets none.
    EXPECT_EQ(RunScan(t, scan.lines).lines, scan.lines);
    EXPECT_EQ(RunScan(t, {"unit u;", "implementation", "end."}).lines,
              (Texts{"unit u;", "implementation", "end."}));
    // A program without uses gets it after its heading.
    t.Pas_IgnoreInterface = false;
    EXPECT_EQ(RunScan(t, {"program p; // demo", "begin", "  Writeln('Hello');", "end."}).lines[0],
              "program p; uses lx_lang; // demo");
}

}  // namespace
}  // namespace lexorin::code
