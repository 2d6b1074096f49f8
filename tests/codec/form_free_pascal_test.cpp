// Cross-checks with Free Pascal's Classes unit, an independent reader and writer of the same
// streams, used as a black box through a small helper program compiled for the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "support/test_support.h"

namespace lexorin::codec {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

constexpr char kHelperSource[] = R"(program formconv;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
var
  inS, outS: TFileStream;
begin
  inS := TFileStream.Create(ParamStr(2), fmOpenRead);
  outS := TFileStream.Create(ParamStr(3), fmCreate);
  try
    if ParamStr(1) = 'res2txt' then ObjectResourceToText(inS, outS)
    else ObjectTextToResource(inS, outS);
  finally
    outS.Free;
    inS.Free;
  end;
end.
)";

class FreePascal : public ::testing::Test {
  protected:
    void SetUp() override {
        if (run_command("command -v fpc").status != 0) GTEST_SKIP() << "fpc is not installed";
        write_test_file(dir_.file("formconv.pas"), kHelperSource);
        auto built = run_command("cd '" + dir_.path() + "' && fpc -O1 formconv.pas");
        ASSERT_EQ(built.status, 0) << built.out << built.err;
    }

    // Runs the helper; gives its output file's content, failing the test when it fails.
    std::string Run(const std::string& mode, const std::string& input) {
        write_test_file(dir_.file("in"), input);
        std::filesystem::remove(dir_.file("out"));
        auto result = run_command("'" + dir_.file("formconv") + "' " + mode + " '" +
                                  dir_.file("in") + "' '" + dir_.file("out") + "'");
        EXPECT_EQ(result.status, 0) << result.out << result.err;
        return result.status == 0 ? read_test_file(dir_.file("out")) : std::string();
    }

    static std::vector<std::string> Cases() {
        std::vector<std::string> cases;
        for (const auto& entry : std::filesystem::directory_iterator(LEXORIN_TEST_DATA "/forms"))
            if (entry.is_directory()) cases.push_back(entry.path().string());
        std::sort(cases.begin(), cases.end());
        return cases;
    }

    TempDir dir_;
};

TEST_F(FreePascal, ReadsOurBinaryForms) {
    std::vector<std::string> texts;
    for (const auto& dir : Cases()) texts.push_back(read_test_file(dir + "/form.txt"));
    // A form as the translated form writer makes it: apostrophes, 8-bit letters, blanks kept.
    texts.push_back(
        "object Form1: TForm1\r\n  Caption = 'l'#39'usine \xFC\xE9'\r\n"
        "  Hint = 'Hallo  '\r\n  object Button1: TButton\r\n    Caption = 'Ja'\r\n"
        "  end\r\nend\r\n");
    for (const auto& text : texts) {
        SCOPED_TRACE(text.substr(0, 60));
        std::string ours = FormTextToResource(text);
        // Free Pascal writes its own text layout; reading that back must give the same stream,
        // so both readers saw the same objects, properties and values.
        std::string theirs = Run("res2txt", ours);
        ASSERT_FALSE(theirs.empty());
        EXPECT_EQ(FormTextToResource(theirs), ours) << theirs;
    }
}

TEST_F(FreePascal, WritesBinaryFormsWeRead) {
    for (const auto& dir : Cases()) {
        SCOPED_TRACE(dir);
        std::string theirs = Run("txt2res", read_test_file(dir + "/source.txt"));
        EXPECT_EQ(theirs, read_test_file(dir + "/form.dfm"));
        std::string text = FormResourceToText(theirs);
        EXPECT_EQ(text, read_test_file(dir + "/form.txt"));
        EXPECT_EQ(FormTextToResource(text), theirs);
    }
}

}  // namespace
}  // namespace lexorin::codec
