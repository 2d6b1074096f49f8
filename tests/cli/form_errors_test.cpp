// Bad forms through lexorin-cli: scan-forms, write-forms, form-to-text and text-to-form name the
// file and the position (byte offset of a binary form, line of a text form) and say in English,
// beside the run-time's German text, what is wrong.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/cli_fixture.h"
#include "support/test_support.h"

using lexorin::testing::CommandResult;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

const std::string kInvalidValue =
    "Ung\xFC"
    "ltiger Wert der Eigenschaft";
const std::string kReadError =
    "Stream-Read-Fehler (the form ends early: the file is cut short or damaged)";
const std::string kTooDeep =
    "Verschachtelung zu tief (objects or values nested more than 400 levels deep)";

std::string Str(const std::string& s) {
    return std::string(1, static_cast<char>(s.size())) + s;
}

// A binary form with its 16-byte resource header, root TForm1 "Form1", then `rest`.
std::string BinaryForm(const std::string& rest) {
    return std::string("\xFF\x0A\x00", 3) + "TFORM1" + std::string("\0\x30\x10\0\0\0\0", 7) +
           "TPF0" + Str("TForm1") + Str("Form1") + rest;
}

// A project "Forms" whose folder holds two good forms and bad ones of every kind.
class FormErrorsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(work.file("home"));
        write_test_file(work.file("src/good.dfm"),
                        "object Form1: TForm1\r\n  Caption = 'A good form'\r\nend\r\n");
        // Cut inside the Caption's string: 33 bytes of header and names, 8 of the name
        // "Caption", the code and length of a 20-byte string, 4 of its bytes.
        write_test_file(work.file("src/cut.dfm"), BinaryForm(Str("Caption") + "\x06\x14" + "Half"));
        std::string objects;
        for (int i = 0; i < 1000; ++i) objects += Str("TA") + Str("") + std::string(1, '\0');
        write_test_file(work.file("src/deep.dfm"), BinaryForm(std::string(1, '\0') + objects));
        write_test_file(work.file("src/badvalue.dfm"),
                        BinaryForm(Str("Caption") + "\x63" + std::string(2, '\0')));
        std::string nested;
        for (int i = 0; i < 450; ++i) nested += "object A: TA\r\n";
        write_test_file(work.file("src/nested.dfm"), nested);
        // Not bad: a line far longer than the reader's buffer.
        write_test_file(work.file("src/long.dfm"), "object Form1: TForm1\r\n  Hint = '" +
                                                       std::string(5000, 'h') + "'\r\nend\r\n");
        ASSERT_EQ(cli("project add Forms src").status, 0);
        ASSERT_EQ(cli("language add Forms German").status, 0);
    }
    CommandResult cli(const std::string& args) { return lexorin::testing::run_cli(work, args); }
    std::string src(const std::string& name) { return work.file("src/" + name); }

    TempDir work;
};

TEST_F(FormErrorsTest, ScanAndWriteFormsNameThePositionOfEachBadForm) {
    const std::string expected[] = {
        "  skipped " + src("badvalue.dfm") + ": byte offset 42: " + kInvalidValue +
            " (a property value of a kind that cannot stand there)\n",
        "  skipped " + src("cut.dfm") + ": byte offset 47: " + kReadError + "\n",
        "  skipped " + src("deep.dfm") + ": byte offset 2033: " + kTooDeep + "\n",
        "  skipped " + src("nested.dfm") + ": line 401: Verschachtelung zu tief in Zeile 401 " +
            "(objects or values nested more than 400 levels deep)\n",
    };
    CommandResult r = cli("scan-forms Forms German");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("2 forms scanned, 2 strings found, 4 forms skipped\n"), std::string::npos)
        << r.err;
    for (const std::string& line : expected) EXPECT_NE(r.err.find(line), std::string::npos) << line;
    // A line far longer than the reader's buffer is no fault.
    EXPECT_EQ(r.err.find("skipped " + src("long.dfm")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("4 of 6 forms could not be scanned: badvalue.dfm: byte offset 42: " +
                         kInvalidValue),
              std::string::npos)
        << r.err;

    // write-forms meets the same forms and says the same of them.
    r = cli("write-forms Forms German");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(src("cut.dfm") + ": byte offset 47: " + kReadError), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(src("nested.dfm") + ": line 401: Verschachtelung zu tief in Zeile 401 "
                                             "(objects or values nested more than 400 levels "
                                             "deep)"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(std::filesystem::exists(src("good.tra.res")));
    EXPECT_TRUE(std::filesystem::exists(src("long.tra.res")));
}

TEST_F(FormErrorsTest, ConversionsNameTheFileAndThePosition) {
    CommandResult r = cli("form-to-text src/cut.dfm out.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: src/cut.dfm, byte offset 47: " + kReadError + "\n");
    r = cli("form-to-text src/deep.dfm out.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: src/deep.dfm, byte offset 2033: " + kTooDeep + "\n");
    r = cli("form-to-text src/badvalue.dfm out.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: src/badvalue.dfm, byte offset 42: " + kInvalidValue +
                         " (a property value of a kind that cannot stand there)\n");
    EXPECT_FALSE(std::filesystem::exists(work.file("out.txt")));

    r = cli("text-to-form src/nested.dfm out.dfm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "error: src/nested.dfm, line 401: Verschachtelung zu tief in Zeile 401 "
              "(objects or values nested more than 400 levels deep)\n");
    write_test_file(work.file("value.txt"), "object Form1: TForm1\r\n  Caption = )\r\nend\r\n");
    r = cli("text-to-form value.txt out.dfm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: value.txt, line 2: " + kInvalidValue +
                         " in Zeile 2 (a property value of a kind that cannot stand there)\n");
    EXPECT_FALSE(std::filesystem::exists(work.file("out.dfm")));
}

}  // namespace
