// Forms with the later value codes and an embedded frame, written by Free Pascal's Classes unit
// (a helper program compiled for the test), converted by us and read back by Free Pascal.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "codec/form_conversion.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "codec/resource_file.h"
#include "forms/form_scanner.h"
#include "forms/translated_form_file.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/golden_file_gtest.h"
#include "support/test_support.h"

namespace lexorin::forms {
namespace {

using lexorin::testing::MatchesGoldenFile;
using lexorin::testing::read_test_file;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

// "gen FILE [floats]" writes a form: 64-bit integers (one beyond 32 bits), wide strings (8-bit
// letters, characters beyond 8 bits, quotes and line breaks, a surrogate pair, plain letters, one
// of 73 characters), a UnicodeString, a UTF8String and an embedded frame; with "floats" also a
// single, a currency and a date (codes 15-17, which its ObjectBinaryToText cannot convert).
// "bin2txt IN OUT" is ObjectBinaryToText, "res2txt IN OUT" ObjectResourceToText; "read FILE" reads
// the form into the component and prints every value, the strings as UTF-16 unit numbers.
constexpr char kHelperSource[] = R"(program formgen;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
type
  TFrameX = class(TComponent)
  private
    FCaption: WideString;
    FBig: Int64;
  public
    procedure MakeInline;
  published
    property Caption: WideString read FCaption write FCaption;
    property Big: Int64 read FBig write FBig;
  end;
  TFormX = class(TComponent)
  private
    FBig, FSmall: Int64;
    FWide, FAscii, FPair, FLong: WideString;
    FUni: UnicodeString;
    FU8: UTF8String;
    FSgl: Single;
    FCur: Currency;
    FDat: TDateTime;
    procedure ReadSgl(Reader: TReader);
    procedure WriteSgl(Writer: TWriter);
    procedure ReadCur(Reader: TReader);
    procedure WriteCur(Writer: TWriter);
    procedure ReadDat(Reader: TReader);
    procedure WriteDat(Writer: TWriter);
  protected
    procedure DefineProperties(Filer: TFiler); override;
    procedure GetChildren(Proc: TGetChildProc; Root: TComponent); override;
  published
    property Big: Int64 read FBig write FBig;
    property Small: Int64 read FSmall write FSmall;
    property Wide: WideString read FWide write FWide;
    property Ascii: WideString read FAscii write FAscii;
    property Pair: WideString read FPair write FPair;
    property Long: WideString read FLong write FLong;
    property Uni: UnicodeString read FUni write FUni;
    property U8: UTF8String read FU8 write FU8;
  end;

procedure TFrameX.MakeInline;
begin
  SetInline(True);
end;

procedure TFormX.ReadSgl(Reader: TReader); begin FSgl := Reader.ReadSingle; end;
procedure TFormX.WriteSgl(Writer: TWriter); begin Writer.WriteSingle(FSgl); end;
procedure TFormX.ReadCur(Reader: TReader); begin FCur := Reader.ReadCurrency; end;
procedure TFormX.WriteCur(Writer: TWriter); begin Writer.WriteCurrency(FCur); end;
procedure TFormX.ReadDat(Reader: TReader); begin FDat := Reader.ReadDate; end;
procedure TFormX.WriteDat(Writer: TWriter); begin Writer.WriteDate(FDat); end;

procedure TFormX.DefineProperties(Filer: TFiler);
begin
  inherited DefineProperties(Filer);
  Filer.DefineProperty('Sgl', @ReadSgl, @WriteSgl, FSgl <> 0);
  Filer.DefineProperty('Cur', @ReadCur, @WriteCur, FCur <> 0);
  Filer.DefineProperty('Dat', @ReadDat, @WriteDat, FDat <> 0);
end;

procedure TFormX.GetChildren(Proc: TGetChildProc; Root: TComponent);
var
  i: Integer;
begin
  for i := 0 to ComponentCount - 1 do
    Proc(Components[i]);
end;

function Units(const w: UnicodeString): string;
var
  i: Integer;
begin
  Result := '';
  for i := 1 to Length(w) do
    Result := Result + IntToStr(Ord(w[i])) + ' ';
end;

var
  form: TFormX;
  frame: TFrameX;
  ms: TMemoryStream;
  fs: TFileStream;
  long: WideString;
  i: Integer;
begin
  RegisterClass(TFrameX);
  ms := TMemoryStream.Create;
  if ParamStr(1) = 'gen' then
  begin
    form := TFormX.Create(nil);
    form.Name := 'Form1';
    form.Big := 123456789012;
    form.Small := -5;
    form.Wide := 'Gr'#$00FC#$00DF'e '#$0142#$20AC' "x"'''#13#10;
    form.Ascii := 'plain';
    form.Pair := 'a'#$D83D#$DE00'b';
    long := '';
    for i := 1 to 70 do
      long := long + WideChar($0142);
    form.Long := long + 'end';
    form.Uni := 'uni'#$20AC;
    form.U8 := 'abc';
    if ParamStr(3) = 'floats' then
    begin
      form.FSgl := 1.5;
      form.FCur := 12.3456;
      form.FDat := 45000.25;
    end;
    frame := TFrameX.Create(form);
    frame.Name := 'Frame1';
    frame.MakeInline;
    frame.Caption := 'Frame '#$0142;
    frame.Big := -9000000000;
    ms.WriteComponent(form);
    ms.SaveToFile(ParamStr(2));
  end
  else if (ParamStr(1) = 'bin2txt') or (ParamStr(1) = 'res2txt') then
  begin
    ms.LoadFromFile(ParamStr(2));
    fs := TFileStream.Create(ParamStr(3), fmCreate);
    try
      if ParamStr(1) = 'bin2txt' then
        ObjectBinaryToText(ms, fs)
      else
        ObjectResourceToText(ms, fs);
    finally
      fs.Free;
    end;
  end
  else if ParamStr(1) = 'read' then
  begin
    ms.LoadFromFile(ParamStr(2));
    form := TFormX.Create(nil);
    ms.ReadComponent(form);
    Writeln('Big=', form.Big);
    Writeln('Small=', form.Small);
    Writeln('Wide=', Units(form.Wide));
    Writeln('Ascii=', Units(form.Ascii));
    Writeln('Pair=', Units(form.Pair));
    Writeln('Long=', Units(form.Long));
    Writeln('Uni=', Units(form.Uni));
    Writeln('U8=', Units(UTF8Decode(form.U8)));
    Writeln('Sgl=', FloatToStr(form.FSgl));
    Writeln('Cur=', CurrToStr(form.FCur));
    Writeln('Dat=', FloatToStr(form.FDat));
    for i := 0 to form.ComponentCount - 1 do
    begin
      frame := form.Components[i] as TFrameX;
      Writeln('Child=', frame.Name, ' ', frame.ClassName, ' inline=',
        csInline in frame.ComponentState, ' Caption=', Units(frame.Caption), ' Big=', frame.Big);
    end;
  end;
  ms.Free;
end.
)";

class FreePascalLaterCodes : public ::testing::Test {
  protected:
    void SetUp() override {
        if (run_command("command -v fpc").status != 0) GTEST_SKIP() << "fpc is not installed";
        write_test_file(dir_.file("formgen.pas"), kHelperSource);
        auto built = run_command("cd '" + dir_.path() + "' && fpc -O1 formgen.pas");
        ASSERT_EQ(built.status, 0) << built.out << built.err;
    }

    std::string Helper(const std::string& args) {
        auto result = run_command("cd '" + dir_.path() + "' && ./formgen " + args);
        EXPECT_EQ(result.status, 0) << args << "\n" << result.out << result.err;
        return result.out;
    }
    std::string Generate(bool floats) {
        Helper(std::string("gen gen.bin") + (floats ? " floats" : ""));
        return read_test_file(dir_.file("gen.bin"));
    }
    std::string TheirText(const std::string& binary) {
        write_test_file(dir_.file("in.bin"), binary);
        Helper("bin2txt in.bin out.txt");
        return read_test_file(dir_.file("out.txt"));
    }
    std::string TheirReading(const std::string& binary) {
        write_test_file(dir_.file("read.bin"), binary);
        return Helper("read read.bin");
    }

    TempDir dir_;
};

// Free Pascal ends its lines in LF and writes a long string on one line; ours end in CR LF and
// cut a string of more than 64 characters into pieces, which joined give its line again.
std::string AsOneLinePerValue(std::string text) {
    for (const std::string& piece_break : {std::string(" +\r\n    "), std::string("= \r\n    ")}) {
        std::string joined = piece_break.substr(0, piece_break.find('\r'));
        if (joined == " +") joined = "";
        for (std::size_t at; (at = text.find(piece_break)) != std::string::npos;)
            text.replace(at, piece_break.size(), joined);
    }
    std::string lf;
    for (char c : text)
        if (c != '\r') lf += c;
    return lf;
}

TEST_F(FreePascalLaterCodes, OurTextIsFreePascalsAndGivesTheSameBytesBack) {
    std::string theirs = Generate(false);
    std::string text = codec::FormBinaryToText(theirs);
    EXPECT_NE(text.find("  inline Frame1: TFrameX\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  Long = \r\n    #322#322"), std::string::npos) << text;
    EXPECT_EQ(AsOneLinePerValue(text), TheirText(theirs));

    // The codes recorded on the way to the text give every byte back; without them the
    // wide strings come back as code 18, which Free Pascal reads to the same values.
    std::istringstream in(theirs);
    std::string recorded_text;
    codec::StringSink sink(recorded_text);
    codec::FormStreamCodes codes;
    codec::FormBinaryToText(in, sink, &codes);
    std::istringstream text_in(recorded_text);
    std::string back;
    codec::StringSink back_sink(back);
    codec::FormTextToBinary(text_in, back_sink, &codes);
    EXPECT_EQ(back, theirs);
    std::string plain_back = codec::FormTextToBinary(text);
    EXPECT_NE(plain_back, theirs);
    EXPECT_EQ(TheirReading(plain_back), TheirReading(theirs));
}

TEST_F(FreePascalLaterCodes, SingleCurrencyAndDateComeBackAndReadTheSame) {
    std::string theirs = Generate(true);
    std::string text = codec::FormBinaryToText(theirs);
    EXPECT_NE(text.find("  Sgl = 1.5s\r\n  Cur = 12.3456c\r\n  Dat = 45000.25d\r\n"),
              std::string::npos)
        << text;
    std::string back = codec::FormTextToBinary(text);
    std::string reading = TheirReading(theirs);
    EXPECT_NE(reading.find("Sgl=1.5\n"), std::string::npos) << reading;
    EXPECT_NE(reading.find("Child=Frame1 TFrameX inline=TRUE"), std::string::npos) << reading;
    EXPECT_EQ(TheirReading(back), reading);
    // The floats and the frame flag are bytes the text itself carries (only the frame's
    // UnicodeString caption comes back as code 18 without the recorded codes).
    std::size_t floats = theirs.find("\x03Sgl");
    std::size_t floats_back = back.find("\x03Sgl");
    ASSERT_NE(floats, std::string::npos);
    ASSERT_NE(floats_back, std::string::npos);
    const std::size_t span = theirs.find("Caption") - floats;
    EXPECT_EQ(back.substr(floats_back, span), theirs.substr(floats, span));
}

// The way of Write changes -> Forms: a binary form to text, scanned, translated, written back.
TEST_F(FreePascalLaterCodes, ATranslatedFormKeepsItsFramesAndCodes) {
    const std::string golden_file = LEXORIN_TEST_DATA "/forms/later_codes/form.dfm";
    const std::string golden = read_test_file(golden_file);
    TempDir home;
    store::create_table(home.file("Demo_English_forms.db"), store::forms_schema());
    store::create_table(home.file("Demo_units.db"), store::file_list_schema());
    store::Session session;
    store::FormRows strings{{session, home.path()}, store::TableFile{"Demo_English_forms.db"}};
    store::FormFiles files{{session, home.path()}, store::TableFile{"Demo_units.db"}};
    store::Table& forms = strings.table();
    SilentReporter reporter;
    FormStringScanner scanner(strings, files, CodePage(), {}, reporter);
    TranslatedFormWriter writer(strings, files, CodePage(), reporter);
    const std::string form = dir_.file("Form1.dfm");
    const std::string text = dir_.file("Tempform.txt");
    write_test_file(form, golden);
    // The translated form's stream behind the form's resource header (its size the stream's), as
    // the golden file and Free Pascal's ObjectResourceToText have it.
    auto write_tra = [&] {
        WriteTranslatedForm(writer, form, text);
        const std::string stream =
            codec::FormStreamOfResourceFile(read_test_file(TranslatedFormPath(form)));
        std::string header = golden.substr(0, golden.find("TPF0") - 4);
        for (int i = 0; i < 4; ++i) header += static_cast<char>(stream.size() >> (8 * i));
        return header + stream;
    };

    codec::FormFileToText(form, text);
    EXPECT_EQ(scanner.Scan(text, form), 5);
    // Only the label's "OK" is Windows-1252 text; the others hold other characters and are kept
    // as the form writes them, ignored.
    std::map<std::string, bool> ignored;
    forms.set_index_name("");
    for (forms.first(); !forms.eof(); forms.next())
        ignored[forms.text("Object") + " " + forms.text("OriginalString")] =
            forms.logical("Ignore");
    EXPECT_EQ(ignored, (std::map<std::string, bool>{
                           {".FORM1 'Gr'#252#223'e '#322#8364' \"x\"'''#13#10", true},
                           {".FORM1 #55357#56832' smile'", true},
                           {".FORM1.FRAME1 'Fenster '#322'a'", true},
                           {".FORM1.FRAME1.LABEL1 OK", false},
                           {".FORM1.FRAME2 #1047#1072#1075#1086#1083#1086#1074#1086#1082", true},
                       }));

    // Nothing translated: the ".tra" is the form, byte for byte.
    EXPECT_TRUE(MatchesGoldenFile(write_tra(), golden_file));

    // Translations, also of an ignored row, go back as wide strings in their own code.
    for (forms.first(); !forms.eof(); forms.next()) {
        std::string original = forms.text("OriginalString");
        std::string translation = original == "OK"                  ? "Gut"
                                  : original == "'Fenster '#322'a'" ? "Fenster"
                                                                    : "";
        if (translation.empty()) continue;
        forms.edit();
        forms.set_text("TranslateString", translation);
        forms.post();
    }
    std::string translated = write_tra();
    EXPECT_NE(translated.find(std::string("\x05Title\x12\x07\0\0\0F\0e\0n\0s\0t\0e\0r\0", 24)),
              std::string::npos);
    write_test_file(dir_.file("tra.res"), translated);
    Helper("res2txt tra.res tra.txt");
    std::string theirs = read_test_file(dir_.file("tra.txt"));
    EXPECT_NE(theirs.find("  inline Frame1: TFrame1\n    Title = 'Fenster'\n"), std::string::npos)
        << theirs;
    EXPECT_NE(theirs.find("      Caption = 'Gut'\n"), std::string::npos) << theirs;
    EXPECT_NE(theirs.find("  inline Frame2: TFrame1[2]\n"), std::string::npos) << theirs;
    EXPECT_NE(theirs.find("  Big = 123456789012\n"), std::string::npos) << theirs;
}

}  // namespace
}  // namespace lexorin::forms
