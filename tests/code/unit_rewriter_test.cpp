// Whole units rewritten in memory: comment states across lines, the uses insertion, the form
// switch block, marker lines, and rescanning.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "base/text_utils.h"
#include "scan_helpers.h"
#include "support/golden_file_gtest.h"
#include "support/test_support.h"

namespace lexorin::code {
namespace {

using lexorin::testing::MatchesGoldenFile;
using test::InImplementation;
using test::LetterOptions;
using test::RunScan;
using Texts = std::vector<std::string>;

std::string Golden(const std::string& name) {
    return lexorin::testing::read_test_file(std::string(LEXORIN_TEST_DATA) + "/code/" + name);
}

TEST(RewriteUnit, GoldenFormUnit) {
    CodeScanOptions t = LetterOptions();
    auto scan = RunScan(t, read_text_lines(Golden("form_unit/input.pas")));
    EXPECT_TRUE(MatchesGoldenFile(join_text_lines(scan.lines),
                                  LEXORIN_TEST_DATA "/code/form_unit/expected.pas"));
    EXPECT_EQ(scan.originals(), (Texts{"Hello", "After comment", "Closing line", "a{b",
                                       "Still code", "one", "two", "z z"}));
}

TEST(RewriteUnit, RescanOfRewrittenUnitChangesNothing) {
    CodeScanOptions t = LetterOptions();
    Texts once = RunScan(t, read_text_lines(Golden("form_unit/input.pas"))).lines;
    auto twice = RunScan(t, once);
    EXPECT_TRUE(twice.rows.empty());
    EXPECT_EQ(twice.lines, once);
}

TEST(RewriteUnit, FormDirectiveOnlyOnALineOfItsOwn) {
    CodeScanOptions t = LetterOptions();
    EXPECT_EQ(RunScan(t, {"{$R *.DFM} // form", "{$R *.RES}"}).lines,
              (Texts{"{$R *.DFM} // form", "{$R *.RES}"}));
    Texts converted = {"{$ifndef TranslatedForm}", "{$R *.dfm}"};
    EXPECT_EQ(RunScan(t, converted).lines, converted);
}

// The first uses line of a unit that refers to a resource string, and what follows it.
Texts UsesLinesAfterScan(const Texts& uses_lines) {
    Texts unit = uses_lines;
    unit.insert(unit.end(), {"implementation", "procedure P; begin x := 'text'; end;"});
    Texts lines = RunScan(LetterOptions(), unit).lines;
    return Texts(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(uses_lines.size()));
}

TEST(RewriteUnit, UsesClause) {
    EXPECT_EQ(UsesLinesAfterScan({"  uses Windows, SysUtils;"}),
              Texts{"uses lx_lang, Windows, SysUtils;"});
    EXPECT_EQ(UsesLinesAfterScan({"uses", "  Windows;"}), (Texts{"uses lx_lang, ", "  Windows;"}));
    EXPECT_EQ(UsesLinesAfterScan({"uses LX_Lang, Windows;"}), Texts{"uses LX_Lang, Windows;"});
    // Only the first uses line counts, and an identifier starting with "uses" is none.
    EXPECT_EQ(UsesLinesAfterScan({"UsesCount := 1;", "uses A;", "uses B;"}),
              (Texts{"UsesCount := 1;", "uses lx_lang, A;", "uses B;"}));
    // No marker for a line changed only by the insertion.
    EXPECT_EQ(UsesLinesAfterScan({"uses A;"}), Texts{"uses lx_lang, A;"});
}

TEST(RewriteUnit, UnitThatRefersToNoStringKeepsItsUses) {
    CodeScanOptions t = LetterOptions();
    const Texts unit = {"unit u;",        "interface",  "  uses Classes;",
                        "implementation", "{$R *.dfm}", "end."};
    auto scan = RunScan(t, unit);
    EXPECT_EQ(scan.lines[2], "  uses Classes;");
    EXPECT_FALSE(scan.original_uses_line) << "nothing to give back";
    // The form unit still gets its switch block.
    EXPECT_EQ(scan.lines[5], "{$ifndef TranslatedForm}");
    // A unit that refers to strings from an earlier scan keeps the glue unit on a rescan.
    const Texts rewritten = {"uses lx_lang, Classes;", "implementation", "//TL:x := 'text';",
                             "x := ''+s_1+'';"};
    EXPECT_EQ(RunScan(t, rewritten).lines, rewritten);
    const Texts old_uses = {"uses Classes;", "implementation", "//TL:x := 'text';",
                            "x := ''+s_1+'';"};
    EXPECT_EQ(RunScan(t, old_uses).lines[0], "uses lx_lang, Classes;");
}

TEST(RewriteUnit, FormDirectiveStaysAsWrittenInsideTheSwitchBlock) {
    CodeScanOptions t = LetterOptions();
    const std::map<std::string, std::string> translated = {
        {"{$R *.dfm}", "{$R *.tra.res}"},
        {"  {$r Order_Form.DFM}", "{$R Order_Form.tra.res}"},
        {"{$RESOURCE 'forms/main.dfm'}", "{$R forms/main.tra.res}"},
        // A Lazarus form: its translation is written under the same name.
        {"{$R *.lfm}", "{$R *.tra.res}"},
        {"  {$r Unit1.LFM}  ", "{$R Unit1.tra.res}"},
        {"{$resource 'main_form.lfm'}", "{$R main_form.tra.res}"}};
    for (const auto& [directive, translation] : translated) {
        EXPECT_EQ(RunScan(t, {"implementation", directive, "end."}).lines,
                  (Texts{"implementation", "{$i lx_lang.inc}", "{$ifndef TranslatedForm}",
                         directive, "{$else}", translation, "{$endif}", "end."}))
            << directive;
    }
    // Other resources, and a directive with more on its line, stay as they are.
    for (const char* other : {"{$R *.res}", "{$R *.dfm} // form", "{$R *.dfm}{$R x.res}",
                              "{$IFDEF FPC}{$R *.lfm}{$ENDIF}", "{$R *.lrs}"})
        EXPECT_EQ(RunScan(t, {other}).lines, Texts{other});
}

// A Lazarus form unit: switched once, the rescan finds its block and leaves it.
TEST(RewriteUnit, LazarusFormUnitIsSwitchedOnce) {
    CodeScanOptions t = LetterOptions();
    const Texts unit = {"unit unit1;",
                        "{$mode objfpc}{$H+}",
                        "interface",
                        "uses Classes;",
                        "implementation",
                        "{$R *.lfm}",
                        "procedure P; begin x := 'text'; end;",
                        "end."};
    auto once = RunScan(t, unit, "/p/unit1.pas");
    EXPECT_EQ(once.original_form_line, "{$R *.lfm}");
    EXPECT_EQ(Texts(once.lines.begin() + 5, once.lines.begin() + 11),
              (Texts{"{$i lx_lang.inc}", "{$ifndef TranslatedForm}", "{$R *.lfm}", "{$else}",
                     "{$R *.tra.res}", "{$endif}"}));
    auto twice = RunScan(t, once.lines, "/p/unit1.pas");
    EXPECT_TRUE(twice.rows.empty());
    EXPECT_EQ(twice.lines, once.lines);
    EXPECT_FALSE(twice.original_form_line);
    std::array<std::string_view, kFormSwitchBlockLines> block;
    std::copy(once.lines.begin() + 5, once.lines.begin() + 11, block.begin());
    EXPECT_TRUE(IsFormSwitchBlock(block));
}

// Whether a file is a program comes from its heading, not its name: a Lazarus program file
// (.lpr) has its statement part scanned although the interface parts are left alone, and a unit
// in a file of any name keeps its interface part alone.
TEST(RewriteUnit, ProgramFileIsKnownByItsHeading) {
    CodeScanOptions t = LetterOptions();
    ASSERT_TRUE(t.ignore_interface);
    const Texts program = {"program project1;",
                           "",
                           "{$mode objfpc}{$H+}",
                           "",
                           "uses",
                           "  {$IFDEF UNIX}",
                           "  cthreads,",
                           "  {$ENDIF}",
                           "  Classes, unit1",
                           "  { you can add units after this };",
                           "",
                           "{$R *.res}",
                           "",
                           "begin",
                           "  Writeln('Hello from Lazarus');",
                           "end."};
    for (const char* path : {"/p/project1.lpr", "/p/project1.dpr", "/p/project1.pas"}) {
        auto scan = RunScan(t, program, path);
        EXPECT_EQ(scan.originals(), Texts{"Hello from Lazarus"}) << path;
        EXPECT_EQ(scan.lines[4], "uses lx_lang, ") << path;
        EXPECT_EQ(scan.lines[11], "{$R *.res}") << "the project resource is no form";
        EXPECT_EQ(RunScan(t, scan.lines, path).lines, scan.lines) << path;
    }
    const Texts unit = {"unit u;", "interface", "const Title = 'Interface text';", "implementation",
                        "end."};
    EXPECT_TRUE(RunScan(t, unit, "/p/u.lpr").rows.empty());
}

TEST(RewriteUnit, MarkersOfLinesEndingInABrace) {
    auto scan = RunScan(LetterOptions(), InImplementation({"  x := 'abc'; {note}"}));
    EXPECT_EQ(scan.lines, (Texts{test::kImplementationLine, "//TL:x := 'abc'; {note",
                                 "  x := ''+s_1+''; {note}"}));
}

TEST(RewriteUnit, UnterminatedCommentRunsToTheEnd) {
    auto scan = RunScan(LetterOptions(), InImplementation({"{ open", "x := 'abc';"}));
    EXPECT_TRUE(scan.rows.empty());
    // "(*)" opens a comment and does not close it.
    scan = RunScan(LetterOptions(), InImplementation({"(*) x := 'abc';", "*) y := 'def';"}));
    EXPECT_EQ(scan.originals(), Texts{"def"});
}

TEST(RewriteUnit, LineNumbersCountMarkersAndBlocks) {
    auto scan = RunScan(LetterOptions(), {"implementation", "{$R *.DFM}",
                                          "procedure P; begin a := 'one';", "b := 'two';"});
    ASSERT_EQ(scan.rows.size(), 2u);
    // implementation, six block lines, marker, a, marker, b
    EXPECT_EQ(scan.rows[0].second.new_line, 9);
    EXPECT_EQ(scan.rows[1].second.new_line, 11);
    EXPECT_EQ(scan.lines[scan.rows[1].second.new_line - 1], "b := ''+s_2+'';");
    EXPECT_EQ(scan.rows[1].second.original_line, 4);
}

TEST(RewriteUnit, UnitWithoutUsesClauseGetsOneWhereNoLineMoves) {
    CodeScanOptions t = LetterOptions();
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
    t.ignore_interface = false;
    EXPECT_EQ(RunScan(t, {"program p; // demo", "begin", "  Writeln('Hello');", "end."}).lines[0],
              "program p; uses lx_lang; // demo");
}

TEST(RewriteUnit, OlderSwitchBlockGetsTheFormFileAsItIsSpeltOnDisk) {
    const Texts older = {"implementation",
                         "{$i lx_lang.inc}",
                         "{$ifndef TranslatedForm}",
                         "{$R *.DFM}",
                         "{$else}",
                         "{$R *.TRA}",
                         "{$endif}",
                         "end."};
    auto block = [](const std::string& form, const std::string& translated) {
        return Texts{"implementation",
                     "{$i lx_lang.inc}",
                     "{$ifndef TranslatedForm}",
                     form,
                     "{$else}",
                     translated,
                     "{$endif}",
                     "end."};
    };
    lexorin::testing::TempDir dir;
    CodeScanOptions t = LetterOptions();
    lexorin::testing::write_test_file(dir.file("order_form.dfm"), "object F: TF\r\nend\r\n");
    EXPECT_EQ(RunScan(t, older, dir.file("order_form.pas")).lines,
              block("{$R *.dfm}", "{$R *.tra.res}"));
    lexorin::testing::write_test_file(dir.file("Main.DFM"), "object F: TF\r\nend\r\n");
    EXPECT_EQ(RunScan(t, older, dir.file("main.pas")).lines,
              block("{$R Main.DFM}", "{$R Main.tra.res}"));
    // Without a form file beside it the directive stays; the translated form is the new file.
    const Texts mended = RunScan(t, older, dir.file("lonely.pas")).lines;
    EXPECT_EQ(mended, block("{$R *.DFM}", "{$R *.tra.res}"));
    EXPECT_EQ(RunScan(t, mended, dir.file("lonely.pas")).lines, mended);
}

// The journal's entry, when the batch hands it over, names the directive the block stood for;
// the form file beside the unit is not looked at then.
TEST(RewriteUnit, OlderSwitchBlockGetsTheDirectiveTheJournalKept) {
    const Texts older = {"implementation",
                         "{$i lx_lang.inc}",
                         "{$ifndef TranslatedForm}",
                         "{$R *.DFM}",
                         "{$else}",
                         "{$R *.TRA}",
                         "{$endif}",
                         "end."};
    MemoryStringStore strings;
    const JournalEntry kept{"/p/order_form.pas", "", "  {$R Order_Form.dfm}"};
    const UnitRewrite rewrite =
        UnitScanner(LetterOptions()).RewriteUnit("/p/order_form.pas", older, strings, kept);
    EXPECT_EQ(rewrite.lines, (Texts{"implementation", "{$i lx_lang.inc}",
                                    "{$ifndef TranslatedForm}", "  {$R Order_Form.dfm}", "{$else}",
                                    "{$R Order_Form.tra.res}", "{$endif}", "end."}));
}

}  // namespace
}  // namespace lexorin::code
