// The whole road for a Lazarus-style program on the real toolchain: a console program file
// (.lpr) in objfpc mode whose two form units link their text forms with {$R *.lfm} and
// {$r name.lfm}, the forms plain TComponent descendants loaded by the Classes streaming system.
// It is scanned, every row translated one by one with lexorin-cli translate, code and forms
// written, then built by Free Pascal as Lazarus builds it and run, in the original language and
// with TranslatedForm on; and given back by restore-code.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "cli/cli_fixture.h"
#include "corpus/glue_switches.h"
#include "support/test_support.h"

namespace lexorin::road {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::run_cli;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

// The program, as the Lazarus project template lays out a console program with form units.
const std::map<std::string, std::string>& ProgramFiles() {
    static const std::map<std::string, std::string> files = {
        {"hello.lpr",
         "program hello;\n"
         "\n"
         "{$mode objfpc}{$H+}\n"
         "\n"
         "uses\n"
         "  {$IFDEF UNIX}\n"
         "  cthreads,\n"
         "  {$ENDIF}\n"
         "  Classes, SysUtils, main_unit, options_unit\n"
         "  { you can add units after this };\n"
         "\n"
         "var\n"
         "  Main: TMainForm;\n"
         "  Options: TOptionsForm;\n"
         "begin\n"
         "  Writeln('Hello from Lazarus');\n"
         "  Main := TMainForm.Create(nil);\n"
         "  try\n"
         "    Main.Show;\n"
         "  finally\n"
         "    Main.Free;\n"
         "  end;\n"
         "  Options := TOptionsForm.Create(nil);\n"
         "  try\n"
         "    Options.Show;\n"
         "  finally\n"
         "    Options.Free;\n"
         "  end;\n"
         "  Writeln(Format('%d forms shown', [2]));\n"
         "end.\n"},
        {"labels.pas",
         "unit labels;\n"
         "\n"
         "{$mode objfpc}{$H+}\n"
         "\n"
         "{ The child components of the forms: a text each. No literal here. }\n"
         "\n"
         "interface\n"
         "\n"
         "uses\n"
         "  Classes;\n"
         "\n"
         "type\n"
         "  TTextLabel = class(TComponent)\n"
         "  private\n"
         "    FText: string;\n"
         "  published\n"
         "    property Text: string read FText write FText;\n"
         "  end;\n"
         "\n"
         "procedure ShowLabels(Owner: TComponent);\n"
         "\n"
         "implementation\n"
         "\n"
         "procedure ShowLabels(Owner: TComponent);\n"
         "var\n"
         "  I: Integer;\n"
         "begin\n"
         "  for I := 0 to Owner.ComponentCount - 1 do\n"
         "    if Owner.Components[I] is TTextLabel then\n"
         "      Writeln(TTextLabel(Owner.Components[I]).Text);\n"
         "end;\n"
         "\n"
         "initialization\n"
         "  RegisterClass(TTextLabel);\n"
         "end.\n"},
        {"main_unit.pas",
         "unit main_unit;\n"
         "\n"
         "{$mode objfpc}{$H+}\n"
         "\n"
         "interface\n"
         "\n"
         "uses\n"
         "  Classes, SysUtils, labels;\n"
         "\n"
         "type\n"
         "  TMainForm = class(TComponent)\n"
         "  private\n"
         "    FCaption: string;\n"
         "    FHint: string;\n"
         "  public\n"
         "    constructor Create(AOwner: TComponent); override;\n"
         "    procedure Show;\n"
         "  published\n"
         "    property Caption: string read FCaption write FCaption;\n"
         "    property Hint: string read FHint write FHint;\n"
         "  end;\n"
         "\n"
         "implementation\n"
         "\n"
         "{$R *.lfm}\n"
         "\n"
         "constructor TMainForm.Create(AOwner: TComponent);\n"
         "begin\n"
         "  inherited Create(AOwner);\n"
         "  if not InitInheritedComponent(Self, TComponent) then\n"
         "    raise EResNotFound.Create('Main form resource missing');\n"
         "end;\n"
         "\n"
         "procedure TMainForm.Show;\n"
         "begin\n"
         "  Writeln('Main window: ' + Caption);\n"
         "  Writeln(Hint);\n"
         "  ShowLabels(Self);\n"
         "end;\n"
         "\n"
         "end.\n"},
        {"main_unit.lfm",
         "object MainForm: TMainForm\n"
         "  Caption = 'Lazarus greeter'\n"
         "  Hint = 'Click to greet'\n"
         "  object Welcome: TTextLabel\n"
         "    Text = 'Welcome aboard'\n"
         "  end\n"
         "end\n"},
        {"options_unit.pas",
         "unit options_unit;\n"
         "\n"
         "{$mode objfpc}{$H+}\n"
         "\n"
         "interface\n"
         "\n"
         "uses\n"
         "  Classes, labels;\n"
         "\n"
         "type\n"
         "  TOptionsForm = class(TComponent)\n"
         "  private\n"
         "    FCaption: string;\n"
         "  public\n"
         "    constructor Create(AOwner: TComponent); override;\n"
         "    procedure Show;\n"
         "  published\n"
         "    property Caption: string read FCaption write FCaption;\n"
         "  end;\n"
         "\n"
         "implementation\n"
         "\n"
         "{$r options_unit.lfm}\n"
         "\n"
         "constructor TOptionsForm.Create(AOwner: TComponent);\n"
         "begin\n"
         "  inherited Create(AOwner);\n"
         "  InitInheritedComponent(Self, TComponent);\n"
         "end;\n"
         "\n"
         "procedure TOptionsForm.Show;\n"
         "begin\n"
         "  Writeln(Caption);\n"
         "  ShowLabels(Self);\n"
         "end;\n"
         "\n"
         "end.\n"},
        {"options_unit.lfm",
         "object OptionsForm: TOptionsForm\n"
         "  Caption = 'Options'\n"
         "  object Sound: TTextLabel\n"
         "    Text = 'Play a sound'\n"
         "  end\n"
         "  object Theme: TTextLabel\n"
         "    Text = 'Dark theme'\n"
         "  end\n"
         "end\n"}};
    return files;
}

const char* const kOriginalOutput =
    "Hello from Lazarus\nMain window: Lazarus greeter\nClick to greet\nWelcome aboard\n"
    "Options\nPlay a sound\nDark theme\n2 forms shown\n";

// What a translator types for each original, umlauts in UTF-8 as the command line takes them.
const std::map<std::string, std::string>& German() {
    static const std::map<std::string, std::string> texts = {
        {"Hello from Lazarus", "Hallo von Lazarus"},
        {"Main form resource missing", "Hauptformular fehlt"},
        // A text field keeps no trailing blank: the row reads "Main window:"; the blank the
        // literal ends in is the translation's too when the strings are written.
        {"Main window:", "Hauptfenster:"},
        {"%d forms shown", "%d Formulare gezeigt"},
        {"Lazarus greeter", "Lazarus-Gr\u00fc\u00dfer"},
        {"Click to greet", "Zum Gr\u00fc\u00dfen klicken"},
        {"Welcome aboard", "Willkommen an Bord"},
        {"Options", "Einstellungen"},
        {"Play a sound", "Ton abspielen"},
        {"Dark theme", "Dunkles Aussehen"}};
    return texts;
}

const char* const kGermanOutput =
    "Hallo von Lazarus\nHauptfenster: Lazarus-Gr\u00fc\u00dfer\nZum Gr\u00fc\u00dfen klicken\n"
    "Willkommen an Bord\nEinstellungen\nTon abspielen\nDunkles Aussehen\n2 Formulare gezeigt\n";

// The file as the rewrite writes lines back: every line ending in CR LF.
std::string WithCrLf(const std::string& text) {
    std::string out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out += line + "\r\n";
    return out;
}

// A text as one word of a shell command line.
std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

class LazarusProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        if (run_command("fpc -iV").status != 0) GTEST_SKIP() << "fpc is not installed";
        fs::create_directories(work.file("src"));
        fs::create_directories(work.file("home"));
        for (const auto& [name, text] : ProgramFiles()) write_test_file(Source(name), text);
    }
    std::string Source(const std::string& name) const { return work.file("src/" + name); }
    CommandResult Cli(const std::string& args) {
        CommandResult result = run_cli(work, args);
        EXPECT_EQ(result.status, 0) << args << "\n" << result.out << result.err;
        return result;
    }
    // Builds the program from scratch with the options a Lazarus project has by default and
    // returns what it prints.
    std::string BuildAndRun() {
        const std::string src = work.file("src");
        fs::remove_all(src + "/out");
        fs::create_directories(src + "/out");
        auto build =
            run_command("cd '" + src + "' && fpc -MObjFPC -Scghi -B -FUout -FEout hello.lpr");
        EXPECT_EQ(build.status, 0) << build.out << build.err;
        if (build.status != 0) return "(no build)";
        auto run = run_command("'" + src + "/out/hello'");
        EXPECT_EQ(run.status, 0) << run.err;
        fs::remove_all(src + "/out");
        return run.out;
    }
    // Every row of a kind translated with lexorin-cli translate, as the editor posts a text.
    void TranslateEveryRow(const std::string& kind) {
        std::istringstream rows(Cli("strings Lazarus German --kind " + kind).out);
        int translated = 0;
        for (std::string row; std::getline(rows, row);) {
            std::istringstream fields(row);
            std::string index, original;
            std::getline(fields, index, '\t');
            std::getline(fields, original, '\t');
            const auto found = German().find(original);
            if (found == German().end()) {
                ADD_FAILURE() << "no translation for " << kind << " row " << row;
                continue;
            }
            Cli("translate Lazarus German " + index + " " + ShellWord(found->second) + " --kind " +
                kind);
            ++translated;
        }
        EXPECT_GT(translated, 0) << kind;
    }
    void WriteCodeAndForms() {
        Cli("write-code Lazarus German");
        Cli("write-forms Lazarus German");
    }
    TempDir work;
};

TEST_F(LazarusProgram, BuildsAndRunsInTheOriginalAndInTheTranslation) {
    ASSERT_EQ(BuildAndRun(), kOriginalOutput);

    Cli("project add Lazarus src");
    Cli("project set Lazarus \"Source extensions\" \"*.pas;*.lpr\"");
    Cli("project set Lazarus \"Forms extension\" \"*.lfm\"");
    Cli("language add Lazarus German");
    Cli("--yes scan-code Lazarus German");
    Cli("scan-forms Lazarus German");

    // A unit without a literal is left exactly as it was; the forms are never touched.
    for (const char* kept : {"labels.pas", "main_unit.lfm", "options_unit.lfm"})
        EXPECT_EQ(read_test_file(Source(kept)), ProgramFiles().at(kept)) << kept;
    // Both form directives are switched, kept as written for the original form.
    EXPECT_NE(read_test_file(Source("main_unit.pas"))
                  .find("{$i lx_lang.inc}\r\n{$ifndef TranslatedForm}\r\n{$R *.lfm}\r\n{$else}\r\n"
                        "{$R *.tra.res}\r\n{$endif}\r\n"),
              std::string::npos)
        << read_test_file(Source("main_unit.pas"));
    EXPECT_NE(read_test_file(Source("options_unit.pas"))
                  .find("{$ifndef TranslatedForm}\r\n{$r options_unit.lfm}\r\n{$else}\r\n"
                        "{$R options_unit.tra.res}\r\n"),
              std::string::npos)
        << read_test_file(Source("options_unit.pas"));
    // The program file's statement part is taken although the interface parts are not.
    const std::string program = read_test_file(Source("hello.lpr"));
    EXPECT_NE(program.find("Writeln(''+s_"), std::string::npos) << program;
    EXPECT_NE(program.find("uses lx_lang, \r\n  {$IFDEF UNIX}"), std::string::npos) << program;

    TranslateEveryRow("code");
    TranslateEveryRow("forms");
    WriteCodeAndForms();
    // Each .lfm form has its translated form under the name the switch block links.
    for (const char* translated : {"main_unit.tra.res", "options_unit.tra.res"})
        EXPECT_TRUE(fs::exists(Source(translated))) << translated;

    EXPECT_EQ(BuildAndRun(), kOriginalOutput) << "the original texts are the default";
    corpus::TurnOnGlueSwitch(work.file("src"), "TranslatedForm");
    EXPECT_EQ(BuildAndRun(), kGermanOutput);

    // A second scan switches nothing twice and finds nothing new; writing again keeps the
    // switch on.
    std::map<std::string, std::string> scanned;
    for (const auto& [name, text] : ProgramFiles()) scanned[name] = read_test_file(Source(name));
    const std::string rows = Cli("strings Lazarus German").out;
    Cli("--yes scan-code Lazarus German");
    for (const auto& [name, text] : scanned) EXPECT_EQ(read_test_file(Source(name)), text) << name;
    EXPECT_EQ(Cli("strings Lazarus German").out, rows);
    WriteCodeAndForms();
    EXPECT_EQ(BuildAndRun(), kGermanOutput);

    Cli("restore-code Lazarus German");
    for (const auto& [name, text] : ProgramFiles()) {
        const bool unchanged = name == "labels.pas" || fs::path(name).extension() == ".lfm";
        EXPECT_EQ(read_test_file(Source(name)), unchanged ? text : WithCrLf(text)) << name;
    }
}

}  // namespace
}  // namespace lexorin::road
