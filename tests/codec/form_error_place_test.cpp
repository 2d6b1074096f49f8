// Form reading failures as a user meets them in a file: the run-time's German text stays, and
// the file, the position (a byte offset of a binary form, a line of a text form) and what the
// text means in English come with it.
#include <gtest/gtest.h>

#include <string>

#include "codec/form_conversion.h"
#include "codec/form_errors.h"
#include "codec/form_text_to_binary.h"
#include "codec/resource_file.h"
#include "stream_bytes.h"
#include "support/test_support.h"

namespace lexorin::codec {
namespace {

using namespace bytes;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

const std::string kInvalidValue =
    "Ung\xFC"
    "ltiger Wert der Eigenschaft";

// The 16-bit resource header of a form whose root class is TForm1: 16 bytes.
std::string Header() {
    return std::string("\xFF\x0A\x00", 3) + "TFORM1" + std::string("\0\x30\x10\0\0\0\0", 7);
}

// The failure FormFileToText raises for a form file of these bytes.
template <class Failure>
Failure FailureOfForm(const TempDir& dir, const std::string& name, const std::string& bytes) {
    write_test_file(dir.file(name), bytes);
    try {
        FormFileToText(dir.file(name), dir.file("out.txt"));
    } catch (const Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << name << " did not fail as expected";
    return Failure(EFormError("none"), "", "");
}

TEST(FormErrorPlace, ABinaryFormsFailureNamesTheFileAndTheByteOffset) {
    TempDir dir;
    // Cut right after a property's name: the value's code byte is missing.
    const std::string cut = Header() + "TPF0" + Str("TForm1") + Str("Form1") + Str("Caption");
    EReadError failure = FailureOfForm<EReadError>(dir, "cut.dfm", cut);
    EXPECT_EQ(std::string(failure.what()),
              dir.file("cut.dfm") + ", byte offset " + std::to_string(cut.size()) +
                  ": Stream-Read-Fehler (the form ends early: the file is cut short or damaged)");
    EXPECT_EQ(failure.file(), dir.file("cut.dfm"));
    EXPECT_EQ(failure.message(), "Stream-Read-Fehler");

    // Objects nested 401 deep: each "TA" object with an empty name takes 5 bytes (names and the
    // end of its properties), and the 401st is refused once its names are read.
    std::string objects;
    for (int i = 0; i < 1000; ++i) objects += Str("TA") + Str("") + kEnd;
    failure = FailureOfForm<EReadError>(dir, "deep.dfm", Header() + "TPF0" + objects);
    EXPECT_EQ(std::string(failure.what()),
              dir.file("deep.dfm") + ", byte offset " + std::to_string(16 + 4 + 400 * 5 + 4) +
                  ": Verschachtelung zu tief (objects or values nested more than 400 levels "
                  "deep)");

    // A value code no form has (99), right after the code.
    const std::string bad = Header() + "TPF0" + Str("TForm1") + Str("Form1") + Str("Caption");
    failure = FailureOfForm<EReadError>(dir, "bad.dfm", bad + "\x63" + Str("x") + kEnd + kEnd);
    EXPECT_EQ(std::string(failure.what()),
              dir.file("bad.dfm") + ", byte offset " + std::to_string(bad.size() + 1) + ": " +
                  kInvalidValue + " (a property value of a kind that cannot stand there)");

    // A header whose stream does not begin with TPF0.
    failure = FailureOfForm<EReadError>(dir, "nosig.dfm", Header() + "TPF1" + Str("TForm1"));
    EXPECT_EQ(std::string(failure.what()),
              dir.file("nosig.dfm") + ", byte offset 20: " + "Ung\xFC" +
                  "ltiges Stream-Format (no form: the resource header or the signature TPF0 is "
                  "not there)");
}

TEST(FormErrorPlace, ATranslatedFormsFailureCountsInItsFormResource) {
    TempDir dir;
    const std::string stream = "TPF0" + Str("TForm1") + Str("Form1") + Str("Caption");
    EReadError failure =
        FailureOfForm<EReadError>(dir, "f.tra.res", FormResourceFile("TFORM1", stream));
    EXPECT_EQ(std::string(failure.what()),
              dir.file("f.tra.res") + ", byte offset " + std::to_string(stream.size()) +
                  " of its form resource: Stream-Read-Fehler (the form ends early: the file is "
                  "cut short or damaged)");
}

TEST(FormErrorPlace, ATextFormsFailureNamesTheFileAndTheLine) {
    TempDir dir;
    auto failure_of_text = [&](const std::string& text) -> std::string {
        write_test_file(dir.file("form.txt"), text);
        try {
            TextFileToForm(dir.file("form.txt"), dir.file("form.dfm"), false);
        } catch (const EParserError& failure) {
            EXPECT_EQ(failure.file(), dir.file("form.txt"));
            return failure.what();
        }
        ADD_FAILURE() << "no parser error";
        return {};
    };
    const std::string prefix = dir.file("form.txt") + ", ";
    // A line far longer than the reader's buffer is read whole; a fault on it names that line.
    EXPECT_EQ(failure_of_text("object A: TA\r\n  Caption = 'x'\r\n  Hint = '" +
                              std::string(5000, 'h') + "\r\nend\r\n"),
              prefix + "line 3: Ung\xFC" +
                  "ltige Stringkonstante in Zeile 3 (a quoted string that does not end on its "
                  "line, or a \"#\" without a character code)");
    EXPECT_EQ(failure_of_text("object A: TA\r\n  Caption = )\r\nend\r\n"),
              prefix + "line 2: " + kInvalidValue +
                  " in Zeile 2 (a property value of a kind that cannot stand there)");
    std::string deep;
    for (int i = 0; i < 450; ++i) deep += "object A: TA\r\n";
    EXPECT_EQ(failure_of_text(deep),
              prefix +
                  "line 401: Verschachtelung zu tief in Zeile 401 (objects or values nested "
                  "more than 400 levels deep)");
    EXPECT_EQ(failure_of_text("object A: TA\r\n  Caption 'x'\r\nend\r\n"),
              prefix + "line 2: ''='' erwartet in Zeile 2 (\"=\" was expected here)");
    EXPECT_EQ(failure_of_text("object A: TA\r\n  Tag = 99999999999999999999\r\nend\r\n"),
              prefix + "line 2: '99999999999999999999' ist kein g\xFC" +
                  "ltiger Integerwert in Zeile 2 ('99999999999999999999' is not a whole number a "
                  "form can "
                  "hold)");
}

TEST(FormErrorPlace, AReportThatNamesTheFileGetsThePositionAndTheMeaning) {
    TempDir dir;
    write_test_file(dir.file("cut.dfm"), Header() + "TPF0" + Str("TForm1"));
    try {
        FormFileToText(dir.file("cut.dfm"), dir.file("out.txt"));
        FAIL();
    } catch (const std::exception& failure) {
        EXPECT_EQ(FormFailureReason(failure),
                  "byte offset 27: Stream-Read-Fehler (the form ends early: the file is cut "
                  "short or damaged)");
    }
    // A text checked before its file is known still gives its line.
    try {
        FormTextToBinary(std::string_view("object A: TA\r\n  X = 'open\r\nend\r\n"));
        FAIL();
    } catch (const EParserError& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Ung\xFC"
                  "ltige Stringkonstante in Zeile 2");
        EXPECT_EQ(FormFailureReason(failure),
                  "line 2: Ung\xFC"
                  "ltige Stringkonstante in Zeile 2 (a quoted string that does not end on its "
                  "line, or a \"#\" without a character code)");
    }
    EXPECT_EQ(FormFailureReason(Error("Cannot open file x.dfm")), "Cannot open file x.dfm");
}

}  // namespace
}  // namespace lexorin::codec
