#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "cli/cli_fixture.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "codec/resource_file.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

// The demo project (the binary form aboutbox.dfm and the text form mainform.dfm) in a scratch
// working directory, registered with two languages.
class FormCommandsTest : public lexorin::testing::DemoProjectTest {
  protected:
    std::string file(const std::string& name) { return read_test_file(work.file(name)); }
};

TEST_F(FormCommandsTest, ConversionsBothWaysAndTheirFailures) {
    auto r = cli("form-to-text src/aboutbox.dfm about.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = file("about.txt");
    EXPECT_EQ(text.rfind("object AboutBox: TAboutBox\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("      'It'#39's a demo'\r\n"), std::string::npos);
    ASSERT_EQ(cli("text-to-form about.txt again.dfm").status, 0);
    EXPECT_EQ(file("again.dfm"), file("src/aboutbox.dfm"));

    // A form stored as text is copied, and said so.
    r = cli("form-to-text src/mainform.dfm main.txt");
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("stored as text"), std::string::npos);
    EXPECT_EQ(file("main.txt"), file("src/mainform.dfm"));

    // Bad input: the failure's text, exit status 1, an existing target left as it was.
    write_test_file(work.file("cut.dfm"), file("src/aboutbox.dfm").substr(0, 40));
    write_test_file(work.file("out.txt"), "kept");
    r = cli("form-to-text cut.dfm out.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "error: cut.dfm, byte offset 34: Stream-Read-Fehler (the form ends early: the file "
              "is cut short or damaged)\n");
    EXPECT_EQ(file("out.txt"), "kept");
    write_test_file(work.file("bad.txt"), "object A: TA\r\n  Caption = 'open\r\nend\r\n");
    r = cli("text-to-form bad.txt out.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "error: bad.txt, line 2: Ung\xFC"
              "ltige Stringkonstante in Zeile 2 (a quoted string that does not end on its line, "
              "or a \"#\" without a character code)\n");
    EXPECT_EQ(file("out.txt"), "kept");
    EXPECT_EQ(cli("form-to-text missing.dfm out.txt").status, 1);
    EXPECT_EQ(cli("form-to-text src/aboutbox.dfm /dev/null").status, 1);  // no devices replaced
    EXPECT_EQ(cli("form-to-text src/aboutbox.dfm").status, 2);

    // Special files as input: refused before reading (a pipe would hang, /dev/zero never ends).
    ASSERT_EQ(::mkfifo(work.file("pipe.dfm").c_str(), 0644), 0);
    for (const std::string command : {"form-to-text", "text-to-form"}) {
        r = cli(command + " pipe.dfm piped.txt");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err,
                  "error: Cannot open file pipe.dfm: it is a pipe (FIFO), not a regular file\n");
        r = cli(command + " /dev/zero zero.txt");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "error: Cannot open file /dev/zero: it is a device, not a regular file\n");
        r = cli(command + " src folder.txt");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "error: Cannot open file src: it is a directory\n");
    }
    EXPECT_FALSE(std::filesystem::exists(work.file("piped.txt")));
    EXPECT_FALSE(std::filesystem::exists(work.file("zero.txt")));
    EXPECT_FALSE(std::filesystem::exists(work.file("folder.txt")));
}

TEST_F(FormCommandsTest, ScanThenWriteTranslatedForms) {
    write_test_file(work.file("src/broken.dfm"), file("src/aboutbox.dfm").substr(0, 60));
    auto r = cli("scan-forms Demo German");
    // The broken form fails the command, after the others were scanned.
    ASSERT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("Scanned.\n2 forms scanned, 12 strings found, 1 forms skipped\n"),
              std::string::npos)
        << r.err;
    const std::string cut =
        "byte offset 58: Stream-Read-Fehler (the form ends early: the file is "
        "cut short or damaged)\n";
    EXPECT_NE(r.err.find("\n1 of 3 forms could not be scanned: broken.dfm: " + cut),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("  skipped " + work.file("src/broken.dfm") + ": " + cut),
              std::string::npos);
    EXPECT_NE(cli("project show Demo").out.find("Forms scanned on "), std::string::npos);
    const std::string german = cli("strings Demo German --kind forms").out;
    EXPECT_NE(german.find("1\tAbout the demo\t\tFalsch\n"), std::string::npos) << german;
    EXPECT_NE(german.find("3\tIt's a demo\t\tFalsch\n"), std::string::npos) << german;
    EXPECT_NE(german.find("9\tDemo main window\t\tFalsch\n"), std::string::npos) << german;
    EXPECT_EQ(cli("strings Demo French --kind forms").out, german);
    std::filesystem::remove(work.file("src/broken.dfm"));

    ASSERT_EQ(cli("translate Demo German 3 \"C'est une d\xE9mo\" --kind forms").status, 0);
    ASSERT_EQ(cli("translate Demo German 8 'Schliesst das Fenster' --kind forms").status, 0);
    ASSERT_EQ(cli("translate Demo German 9 'Demo-Hauptfenster' --kind forms").status, 0);
    r = cli("write-forms Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Forms written correctly.\n\nif you do or did not write the code "
                         "changes, copy the files lx_lang.pas and lx_lang.inc from " +
                         work.file("home") + "/ to " + work.file("src") + ".\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("2 forms written, 3 strings translated, 0 forms failed"),
              std::string::npos);
    EXPECT_NE(cli("project show Demo").out.find("Form changes written in German on "),
              std::string::npos);

    // The binary form's translated form holds its stream with the translations, the letter
    // beyond ASCII in UTF-8; the blanks at the end stay.
    ASSERT_EQ(cli("form-to-text src/aboutbox.tra.res about.txt").status, 0);
    std::string expected = codec::FormResourceToText(file("src/aboutbox.dfm"));
    expected.replace(expected.find("'It'#39's a demo'"), 17, "'C'#39'est une d\xC3\xA9mo'");
    expected.replace(expected.find("'Closes the box  '"), 18, "'Schliesst das Fenster  '");
    EXPECT_EQ(file("about.txt"), expected);
    EXPECT_EQ(file("src/aboutbox.tra.res"),
              codec::FormResourceFile("TAboutBox", codec::FormTextToBinary(expected)));
    // The text form's holds the stream of its text.
    std::string main = file("src/mainform.dfm");
    main.replace(main.find("'Demo main window'"), 18, "'Demo-Hauptfenster'");
    EXPECT_EQ(file("src/mainform.tra.res"),
              codec::FormResourceFile("TMainForm", codec::FormTextToBinary(main)));
    r = cli("form-to-text src/mainform.tra.res main.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // converted, not copied as a text form
    EXPECT_EQ(file("main.txt"), codec::FormBinaryToText(codec::FormTextToBinary(main)));
    // A damaged one is refused with the reason.
    write_test_file(work.file("cut.tra.res"), file("src/mainform.tra.res").substr(0, 50));
    r = cli("form-to-text cut.tra.res out.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "error: The resource file is damaged at its entry 2: the file ends inside it.\n");
}

TEST_F(FormCommandsTest, NonTextPropertiesAreSetLikeAnyListAndScannedIgnored) {
    // A new project starts with the default list, one name per line.
    std::string shown = cli("project show Demo").out;
    EXPECT_NE(shown.find("\nFnontextproperties:\n\tLCLVersion\n\tTIPropertyName\n"),
              std::string::npos)
        << shown;
    // Any letter case; a name with dots takes the end of a property path.
    auto r = cli("project set Demo Fnontextproperties 'hint\nLines.Strings'");
    ASSERT_EQ(r.status, 0) << r.err;
    shown = cli("project show Demo").out;
    EXPECT_NE(shown.find("\nFnontextproperties:\n\thint\n\tLines.Strings\n"), std::string::npos)
        << shown;

    r = cli("scan-forms Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string german = cli("strings Demo German --kind forms").out;
    for (const char* ignored : {"\tIt's a demo\t\tWahr\n", "\tSecond line\t\tWahr\n",
                                "\tCloses the box\t\tWahr\n", "\tPresses the button\t\tWahr\n",
                                "\tAbout the demo\t\tFalsch\n", "\tPress the button\t\tFalsch\n"})
        EXPECT_NE(german.find(ignored), std::string::npos) << ignored << german;
    // The copies in the other language are no text either.
    EXPECT_EQ(cli("strings Demo French --kind forms").out, german);

    // An empty list is a list too: nothing more is taken out, and nothing is given back.
    ASSERT_EQ(cli("project set Demo Fnontextproperties ''").status, 0);
    EXPECT_NE(cli("project show Demo").out.find("\nFnontextproperties:\n"), std::string::npos);
    ASSERT_EQ(cli("scan-forms Demo German").status, 0);
    EXPECT_EQ(cli("strings Demo German --kind forms").out, german);
}

TEST_F(FormCommandsTest, AFormATranslationCannotGoIntoKeepsItsOlderFile) {
    ASSERT_EQ(cli("scan-forms Demo German").status, 0);
    // Line breaks and apostrophes always go in.
    ASSERT_EQ(cli("translate Demo German 9 \"$(printf 'two\\rlines')\" --kind forms").status, 0);
    ASSERT_EQ(cli("translate Demo German 3 \"it's\" --kind forms").status, 0);
    ASSERT_EQ(cli("write-forms Demo German").status, 0);
    const std::string older = file("src/mainform.tra.res");
    EXPECT_NE(older.find("two\rlines"), std::string::npos);

    // A byte the program's code page leaves undefined does not.
    ASSERT_EQ(cli("translate Demo German 9 \"$(printf 'a\\230b')\" --kind forms").status, 0);
    auto r = run_command("cd '" + work.path() + "' && LEXORIN_CODE_PAGE=CP1251 LEXORIN_HOME='" +
                         work.file("home") + "' '" + LEXORIN_CLI + "' write-forms Demo German");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(
        r.err.find("their .tra.res files stay as they were:\n" + work.file("src/mainform.dfm") +
                   ": The translation of .MAINFORM Caption.0 cannot go into the form: The "
                   "byte 0x98 has no character in the code page CP1251.\n"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("1 of 2 forms written correctly."), std::string::npos) << r.err;
    EXPECT_EQ(file("src/mainform.tra.res"), older);
    // Precondition failures name the project or language.
    EXPECT_EQ(cli("write-forms Demo Klingon").status, 1);
    EXPECT_EQ(cli("scan-forms Nobody German").status, 1);
}

// A Delphi-mode console program of two form units, as a user has it: each form class a plain
// TComponent with published string properties and a child component, loading its form with
// InitInheritedComponent from the resource the unit links. One form is stored as text, the other
// binary; the units link the translated forms Lexorin writes.
constexpr char kGreeterUnit[] = R"(unit greeter;
{$mode delphi}{$H+}
interface
uses Classes;
type
  TGreeterPart = class(TComponent)
  private
    FText: string;
  published
    property Text: string read FText write FText;
  end;
  TGreeterForm = class(TComponent)
  private
    FCaption, FHint, FNote: string;
  published
    Part: TGreeterPart;
    property Caption: string read FCaption write FCaption;
    property Hint: string read FHint write FHint;
    property Note: string read FNote write FNote;
  public
    constructor Create(AOwner: TComponent); override;
  end;
implementation
{$R greeter.tra.res}
constructor TGreeterForm.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  if not InitInheritedComponent(Self, TComponent) then
    raise EResNotFound.Create('No form resource for ' + ClassName);
end;
end.
)";
constexpr char kGreeterForm[] =
    "object GreeterForm: TGreeterForm\r\n"
    "  Caption = 'Hello'\r\n"
    "  Hint = 'Fine'\r\n"
    "  Note = 'One line'\r\n"
    "  object Part: TGreeterPart\r\n"
    "    Text = 'For you'\r\n"
    "  end\r\n"
    "end\r\n";
constexpr char kFarewellUnit[] = R"(unit farewell;
{$mode delphi}{$H+}
interface
uses Classes;
type
  TFarewellPart = class(TComponent)
  private
    FText: string;
  published
    property Text: string read FText write FText;
  end;
  TFarewellForm = class(TComponent)
  private
    FCaption: string;
    FTitle: WideString;
  published
    Part: TFarewellPart;
    property Caption: string read FCaption write FCaption;
    property Title: WideString read FTitle write FTitle;
  public
    constructor Create(AOwner: TComponent); override;
  end;
implementation
{$R *.tra.res}
constructor TFarewellForm.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  if not InitInheritedComponent(Self, TComponent) then
    raise EResNotFound.Create('No form resource for ' + ClassName);
end;
end.
)";
// Made binary by text-to-form; its title is a wide string.
constexpr char kFarewellText[] =
    "object FarewellForm: TFarewellForm\r\n"
    "  Caption = 'Goodbye'\r\n"
    "  Title = 'Wide '#322\r\n"
    "  object Part: TFarewellPart\r\n"
    "    Text = 'See you'\r\n"
    "  end\r\n"
    "end\r\n";
// Prints every string, the wide one as its UTF-8. Built without and with the wide string manager
// (cwstring), which converts 8-bit strings by the system's code page.
constexpr char kShowProgram[] = R"(program show;
{$mode delphi}{$H+}
uses Classes, greeter, farewell;
var
  g: TGreeterForm;
  f: TFarewellForm;
begin
  g := TGreeterForm.Create(nil);
  f := TFarewellForm.Create(nil);
  WriteLn('[', g.Caption, ']');
  WriteLn('[', g.Hint, ']');
  WriteLn('[', g.Note, ']');
  WriteLn('[', g.Part.Text, ']');
  WriteLn('[', f.Caption, ']');
  WriteLn('[', UTF8Encode(f.Title), ']');
  WriteLn('[', f.Part.Text, ']');
  f.Free;
  g.Free;
end.
)";

class TranslatedFormsBuild : public ::testing::Test {
  protected:
    void SetUp() override {
        if (run_command("command -v fpc").status != 0) GTEST_SKIP() << "fpc is not installed";
        write_test_file(work.file("src/greeter.pas"), kGreeterUnit);
        write_test_file(work.file("src/greeter.dfm"), kGreeterForm);
        write_test_file(work.file("src/farewell.pas"), kFarewellUnit);
        write_test_file(work.file("farewell.txt"), kFarewellText);
        std::filesystem::create_directories(work.file("home"));
        ASSERT_EQ(cli("text-to-form farewell.txt src/farewell.dfm").status, 0);
        ASSERT_EQ(cli("project add Greet src").status, 0);
        ASSERT_EQ(cli("language add Greet German").status, 0);
    }
    CommandResult cli(const std::string& args) { return lexorin::testing::run_cli(work, args); }
    // The Index of the forms row with this original, as `strings` prints it.
    std::string index_of(const std::string& original) {
        const std::string rows = cli("strings Greet German --kind forms").out;
        for (const std::string& line : read_text_lines(rows)) {
            const std::size_t tab = line.find('\t');
            if (line.compare(tab + 1, original.size() + 1, original + "\t") == 0)
                return line.substr(0, tab);
        }
        ADD_FAILURE() << "no row " << original << " in\n" << rows;
        return "0";
    }
    void translate(const std::string& original, const std::string& printf_text) {
        auto r = cli("translate Greet German " + index_of(original) + " \"$(printf '" +
                     printf_text + "')\" --kind forms");
        ASSERT_EQ(r.status, 0) << r.err;
    }
    // Builds the program in a fresh output folder and runs it on a UTF-8 system; gives what it
    // prints, the same without and with cwstring (else a failure names the difference).
    std::string BuildAndRun() {
        std::string printed[2];
        for (bool cwstring : {false, true}) {
            std::string program = kShowProgram;
            if (cwstring) program.replace(program.find("uses "), 5, "uses cwstring, ");
            write_test_file(work.file("src/show.dpr"), program);
            const std::string out = work.file("src/out");
            std::filesystem::remove_all(out);
            std::filesystem::create_directories(out);
            auto built =
                run_command("cd '" + work.file("src") + "' && fpc -Mdelphi -FEout show.dpr");
            EXPECT_EQ(built.status, 0) << built.out << built.err;
            auto ran = run_command("LANG=C.UTF-8 '" + out + "/show'");
            EXPECT_EQ(ran.status, 0) << ran.out << ran.err;
            printed[cwstring] = ran.out;
        }
        EXPECT_EQ(printed[true], printed[false]) << "with cwstring, and without";
        return printed[false];
    }

    TempDir work;
};

TEST_F(TranslatedFormsBuild, FreePascalLinksThemAndTheProgramPrintsTheTranslations) {
    ASSERT_EQ(cli("scan-forms Greet German").status, 0);
    auto r = cli("write-forms Greet German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(BuildAndRun(),
              "[Hello]\n[Fine]\n[One line]\n[For you]\n[Goodbye]\n[Wide \xC5\x82]\n[See you]\n");

    translate("Hello", "Gr\\374\\337 dich");  // Windows-1252 umlauts, as the tables hold them
    translate("Fine", "Das ist\\047s");
    translate("One line", "Zwei\\r\\nZeilen");
    translate("For you", "F\\374r dich");
    translate("Goodbye", "Auf Wiedersehen");
    translate("'Wide '#322", "Tsch\\374\\337");
    r = cli("write-forms Greet German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("2 forms written, 6 strings translated, 0 forms failed"),
              std::string::npos)
        << r.err;
    // UTF-8 on the way out.
    EXPECT_EQ(BuildAndRun(),
              "[Gr\xC3\xBC\xC3\x9F dich]\n[Das ist's]\n[Zwei\r\nZeilen]\n[F\xC3\xBCr dich]\n"
              "[Auf Wiedersehen]\n[Tsch\xC3\xBC\xC3\x9F]\n[See you]\n");
    // The forms themselves stay as they were.
    EXPECT_EQ(read_test_file(work.file("src/greeter.dfm")), kGreeterForm);
}

}  // namespace
