// Text forms with lines far longer than the text reader's buffer, as Lazarus keeps a report
// template in a string property: converted through real files to the binary form and back, and
// the binary form read by Free Pascal's Classes unit (a helper program compiled for the test).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "codec/form_conversion.h"
#include "codec/form_errors.h"
#include "codec/form_text_check.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "stream_bytes.h"
#include "support/long_line_forms.h"
#include "support/test_support.h"

namespace lexorin::codec {
namespace {

using namespace bytes;
using lexorin::testing::LongLineForm;
using lexorin::testing::read_test_file;
using lexorin::testing::ReportFormWithLine;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

// The line of 12,635 bytes a real form holds, and one of a megabyte.
constexpr std::size_t kLineLengths[] = {12635, 1024 * 1024};

// The object stream of ReportFormWithLine's form.
std::string ReportStream(const LongLineForm& form) {
    return Form(Object("TReportForm", "ReportForm",
                       Prop("Caption", String("Monthly report")) + Prop("Tag", Int8(7)) +
                           Prop("Template", LString(form.template_value)) +
                           Prop("Notes", String("Printed on demand"))));
}

std::size_t LongestLine(const std::string& text) {
    std::size_t longest = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) longest = std::max(longest, line.size());
    return longest;
}

TEST(LongLineForms, TextToBinaryAndBackGivesTheSameStrings) {
    for (const bool plain : {false, true}) {
        for (const std::size_t line_bytes : kLineLengths) {
            SCOPED_TRACE(std::to_string(line_bytes) + (plain ? " plain" : " with codes"));
            const LongLineForm form = ReportFormWithLine(line_bytes, plain);
            ASSERT_EQ(form.line.size(), line_bytes);
            ASSERT_EQ(LongestLine(form.text), line_bytes);
            TempDir dir;
            write_test_file(dir.file("report.lfm"), form.text);
            EXPECT_NO_THROW(CheckFormTextFile(dir.file("report.lfm")));

            TextFileToForm(dir.file("report.lfm"), dir.file("report.dfm"), false);
            const std::string binary = read_test_file(dir.file("report.dfm"));
            const std::string stream = ReportStream(form);
            ASSERT_GT(binary.size(), stream.size());
            EXPECT_TRUE(binary.substr(binary.size() - stream.size()) == stream);
            EXPECT_TRUE(binary == FormTextToResource(form.text));

            // Our text pieces the string on short lines; read back it gives the same form.
            EXPECT_FALSE(FormFileToText(dir.file("report.dfm"), dir.file("back.txt")));
            EXPECT_LT(LongestLine(read_test_file(dir.file("back.txt"))), 100u);
            TextFileToForm(dir.file("back.txt"), dir.file("back.dfm"), false);
            EXPECT_TRUE(read_test_file(dir.file("back.dfm")) == binary);
        }
    }
}

TEST(LongLineForms, AFaultAfterALongLineNamesItsLine) {
    const LongLineForm form = ReportFormWithLine(12635);
    std::string text = form.text;
    text.replace(text.find("  Notes = 'Printed"), 10, "  Notes = )");
    TempDir dir;
    write_test_file(dir.file("report.lfm"), text);
    try {
        CheckFormTextFile(dir.file("report.lfm"));
        ADD_FAILURE() << "no parser error";
    } catch (const EParserError& failure) {
        EXPECT_EQ(failure.line(), 5);
    }
}

// "readreport FORM TEMPLATE TEXT" reads the binary form FORM (with its resource header) into a
// component and prints its values, the template by its length; writes the template's bytes to
// TEMPLATE and ObjectResourceToText's text of FORM to TEXT.
constexpr char kHelperSource[] = R"(program readreport;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
type
  TReportForm = class(TComponent)
  private
    FCaption, FTemplate, FNotes: string;
  published
    property Caption: string read FCaption write FCaption;
    property Template: string read FTemplate write FTemplate;
    property Notes: string read FNotes write FNotes;
  end;
var
  form: TReportForm;
  inS, outS: TFileStream;
begin
  inS := TFileStream.Create(ParamStr(1), fmOpenRead);
  form := TReportForm.Create(nil);
  try
    inS.ReadResHeader;
    inS.ReadComponent(form);
    Writeln('Name=', form.Name);
    Writeln('Caption=', form.Caption);
    Writeln('Tag=', form.Tag);
    Writeln('Template=', Length(form.Template));
    Writeln('Notes=', form.Notes);
    outS := TFileStream.Create(ParamStr(2), fmCreate);
    try
      if form.Template <> '' then
        outS.WriteBuffer(form.Template[1], Length(form.Template));
    finally
      outS.Free;
    end;
    inS.Position := 0;
    outS := TFileStream.Create(ParamStr(3), fmCreate);
    try
      ObjectResourceToText(inS, outS);
    finally
      outS.Free;
    end;
  finally
    form.Free;
    inS.Free;
  end;
end.
)";

TEST(LongLineForms, FreePascalLoadsTheBinaryFormWeMake) {
    if (run_command("command -v fpc").status != 0) GTEST_SKIP() << "fpc is not installed";
    TempDir dir;
    write_test_file(dir.file("readreport.pas"), kHelperSource);
    auto built = run_command("cd '" + dir.path() + "' && fpc -O1 readreport.pas");
    ASSERT_EQ(built.status, 0) << built.out << built.err;
    for (const std::size_t line_bytes : kLineLengths) {
        SCOPED_TRACE(line_bytes);
        const LongLineForm form = ReportFormWithLine(line_bytes);
        write_test_file(dir.file("report.lfm"), form.text);
        TextFileToForm(dir.file("report.lfm"), dir.file("report.dfm"), false);
        auto read = run_command("cd '" + dir.path() +
                                "' && ./readreport report.dfm template.out theirs.txt");
        ASSERT_EQ(read.status, 0) << read.out << read.err;
        EXPECT_EQ(read.out, "Name=ReportForm\nCaption=Monthly report\nTag=7\nTemplate=" +
                                std::to_string(form.template_value.size()) +
                                "\nNotes=Printed on demand\n");
        EXPECT_TRUE(read_test_file(dir.file("template.out")) == form.template_value);
        // Free Pascal's text of our form, read by us, is our form again.
        EXPECT_TRUE(FormTextToResource(read_test_file(dir.file("theirs.txt"))) ==
                    read_test_file(dir.file("report.dfm")));
    }
}

}  // namespace
}  // namespace lexorin::codec
