// Literals are replaced only where an expression may stand: a reference ''+s_N+'' is no
// constant, so declarations, case labels and asm blocks keep their literals.
#include <gtest/gtest.h>

#include "code/pascal_context.h"
#include "code/pascal_tokens.h"
#include "code/restored_literals.h"
#include "scan_helpers.h"

namespace lexorin::code {
namespace {

using test::LetterOptions;
using test::RunScan;
using Texts = std::vector<std::string>;

int Count(const ContextCounts& counts, LiteralContext context) {
    return counts[static_cast<size_t>(context)];
}

ContextCounts LeftAlone(const CodeScanOptions& options, const Texts& lines) {
    MemoryStringStore strings;
    return UnitScanner(options).RewriteUnit("/p/u.pas", lines, strings).left_alone;
}

const Texts kUnit = {
    "unit u;",
    "interface",
    "implementation",
    "const",
    "  Title = 'Hello';",
    "  Names: array[0..1] of string = ('Alpha',",
    "    'Beta');",
    "resourcestring",
    "  SErr = 'Cannot convert %s';",
    "var",
    "  Greeting: string = 'Hi there';",
    "procedure Show(const S: string = 'default text'); forward;",
    "function Ext: Integer; cdecl; external 'libfoo' name 'foo_ext';",
    "procedure Old; deprecated 'use New';",
    "procedure Run;",
    "const Local = 'local const';",
    "begin",
    "  Caption := 'Real text';",
    "  case Key of",
    "    'alpha': Caption := 'Alpha chosen';",
    "    'beta', 'gamma': begin Caption := 'Beta chosen'; end;",
    "  else",
    "    Caption := 'Other chosen';",
    "  end;",
    "  asm",
    "    db 'asm text'",
    "  end;",
    "  Caption := 'After asm';",
    "end;",
    "initialization",
    "  Register('init text');",
    "end.",
};

TEST(PascalContext, OnlyStatementLiteralsAreReplaced) {
    const CodeScanOptions t = LetterOptions();
    auto scan = RunScan(t, kUnit);
    EXPECT_EQ(scan.originals(), (Texts{"Real text", "Alpha chosen", "Beta chosen", "Other chosen",
                                       "After asm", "init text"}));
    // Declarations come out exactly as they went in.
    for (const char* kept :
         {"  Title = 'Hello';", "    'Beta');", "  SErr = 'Cannot convert %s';",
          "  Greeting: string = 'Hi there';", "    'alpha': Caption := ''+s_2+'';",
          "    db 'asm text'", "procedure Old; deprecated 'use New';"})
        EXPECT_NE(std::find(scan.lines.begin(), scan.lines.end(), kept), scan.lines.end()) << kept;

    const ContextCounts counts = LeftAlone(t, kUnit);
    // The line opening with const is the scanner's own rule, not counted as a context.
    EXPECT_EQ(Count(counts, LiteralContext::ConstSection), 3);
    EXPECT_EQ(Count(counts, LiteralContext::ResourcestringSection), 1);
    EXPECT_EQ(Count(counts, LiteralContext::InitialisedVariable), 1);
    EXPECT_EQ(Count(counts, LiteralContext::DefaultParameter), 1);
    EXPECT_EQ(Count(counts, LiteralContext::RoutineDirective), 3);
    EXPECT_EQ(Count(counts, LiteralContext::CaseLabel), 3);
    EXPECT_EQ(Count(counts, LiteralContext::AsmBlock), 1);
    EXPECT_EQ(TotalLeftAlone(counts), 13);
}

TEST(PascalContext, AttributesAndClassDeclarationsKeepTheirLiterals) {
    const CodeScanOptions t = LetterOptions();
    const Texts unit = {"implementation",
                        "type",
                        "  [Attr('attribute text')]",
                        "  TFoo = class",
                        "    [Column('column name')] FName: string;",
                        "    procedure Bar(const S: string = 'param text');",
                        "  end;",
                        "  IFoo = interface ['{6B3A1F00-0000-0000-0000-000000000000}']",
                        "  end;",
                        "procedure TFoo.Bar(const S: string);",
                        "begin",
                        "  Writeln('body text');",
                        "end;",
                        "end."};
    EXPECT_EQ(RunScan(t, unit).originals(), (Texts{"body text"}));
    const ContextCounts counts = LeftAlone(t, unit);
    EXPECT_EQ(Count(counts, LiteralContext::Attribute), 1);
    EXPECT_EQ(Count(counts, LiteralContext::DefaultParameter), 1);
    EXPECT_EQ(TotalLeftAlone(counts), 4);
}

TEST(PascalContext, CaseLabelsInNestedAndStringCases) {
    const CodeScanOptions t = LetterOptions();
    const Texts unit = {"implementation",
                        "procedure P;",
                        "begin",
                        "  case A of",
                        "    'one': case B of",
                        "             'inner': X := 'inner text';",
                        "           end;",
                        "    'two': if C then X := 'then text' else X := 'else text';",
                        "    'three': X := 'third text'",
                        "  otherwise",
                        "    X := 'otherwise text'; Y := 'more text';",
                        "  end;",
                        "  case Z of 1: ; end;",
                        "  X := 'after text';",
                        "end;"};
    EXPECT_EQ(RunScan(t, unit).originals(),
              (Texts{"inner text", "then text", "else text", "third text", "otherwise text",
                     "more text", "after text"}));
    EXPECT_EQ(Count(LeftAlone(t, unit), LiteralContext::CaseLabel), 4);
}

TEST(PascalContext, ProgramBlockAndNestedRoutines) {
    CodeScanOptions t = LetterOptions();
    t.ignore_interface = false;
    const Texts program = {
        "program demo;",
        "uses u in 'u.pas';",
        "procedure Outer;",
        "  const",
        "    Inner = 'nested const';",
        "  procedure Nested(S: string = 'nested default');",
        "  begin Writeln('nested body'); end;",
        "begin",
        "  try Writeln('in try'); except on E: Exception do Writeln('in except');",
        "  end;",
        "end;",
        "begin",
        "  Writeln('main block');",
        "end."};
    EXPECT_EQ(RunScan(t, program).originals(),
              (Texts{"nested body", "in try", "in except", "main block"}));
    const ContextCounts counts = LeftAlone(t, program);
    EXPECT_EQ(Count(counts, LiteralContext::Declaration), 1);  // uses ... in 'u.pas'
    EXPECT_EQ(Count(counts, LiteralContext::ConstSection), 1);
    EXPECT_EQ(Count(counts, LiteralContext::DefaultParameter), 1);
}

TEST(PascalContext, DoubledBeginsOfConditionalCodeFallBackToDeclarations) {
    const CodeScanOptions t = LetterOptions();
    // Both branches of the condition open a body; only one end follows. The declarations after
    // it must still be seen as such.
    const Texts unit = {"implementation",
                        "{$ifdef A}",
                        "procedure P; begin",
                        "{$else}",
                        "procedure P; begin",
                        "{$endif}",
                        "  X := 'inside';",
                        "end;",
                        "procedure Q(S: string = 'default');",
                        "begin",
                        "  X := 'in Q';",
                        "end;",
                        "type TX = class end;",
                        "resourcestring SQ = 'resource';",
                        "procedure R;",
                        "begin",
                        "{$ifdef A} if X then begin {$else} if Y then begin {$endif}",
                        "  Z := 'in R';",
                        "end;",
                        "end;",
                        "const",
                        "  CR = 'const after';"};
    EXPECT_EQ(RunScan(t, unit).originals(), (Texts{"inside", "in Q", "in R"}));
}

TEST(PascalContext, DoubledApostropheBelongsToItsLiteral) {
    const CodeScanOptions t = LetterOptions();
    auto scan =
        RunScan(t, test::InImplementation({"  ShowMessage('Don''t forget');",
                                           "  S := 'It''s'#13'next line' + '''quoted''';"}));
    EXPECT_EQ(scan.originals(), (Texts{"Don''t forget", "It''s", "next line", "''quoted''"}));
    EXPECT_EQ(scan.lines[2], "  ShowMessage(''+s_1+'');");
    EXPECT_EQ(scan.lines[4], "  S := ''+s_2+''#13''+s_3+'' + ''+s_4+'';");
    // The rewritten unit scans to nothing new.
    auto again = RunScan(t, scan.lines);
    EXPECT_TRUE(again.rows.empty());
    EXPECT_EQ(again.lines, scan.lines);
}

TEST(PascalContext, UnterminatedLiteralIsLeftAsItIs) {
    const CodeScanOptions t = LetterOptions();
    auto scan = RunScan(t, test::InImplementation({"  X := 'never closed", "  Y := 'closed';"}));
    EXPECT_EQ(scan.originals(), (Texts{"closed"}));
    EXPECT_EQ(scan.lines[1], "  X := 'never closed");
}

TEST(PascalContext, RestoredLiteralsAreNotTakenAgain) {
    RestoredLiterals restored;
    restored.Add("/p/unit1.pas", "Keep me ");
    const UnitScanner t(LetterOptions(), restored);
    auto scan = RunScan(t, test::InImplementation({"  A := 'Keep me ';", "  B := 'Keep me';"}));
    EXPECT_EQ(scan.originals(), (Texts{"Keep me"}));
    // Another unit with the same text is scanned as usual.
    EXPECT_EQ(
        RunScan(t, test::InImplementation({"  A := 'Keep me ';"}), "/p/other.pas").rows.size(), 1u);
}

TEST(PascalTokens, ReadsPascalLexemes) {
    const std::string piece = "x:=#$0D+'a''b'..1.5e+3 &begin; // 'c'";
    std::vector<std::string> texts;
    PascalToken token;
    for (size_t pos = 0; NextToken(piece, pos, token);)
        texts.push_back(piece.substr(token.begin, token.end - token.begin));
    EXPECT_EQ(texts,
              (Texts{"x", ":=", "#$0D", "+", "'a''b'", "..", "1.5e+3", "&begin", ";", "// 'c'"}));
}

}  // namespace
}  // namespace lexorin::code
