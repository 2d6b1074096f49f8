#include "codec/form_text_to_binary.h"

#include <gtest/gtest.h>

#include "codec/form_errors.h"
#include "stream_bytes.h"

namespace lexorin::codec {
namespace {

using namespace bytes;

// The binary stream of "object Form1: TForm1" with the given property lines.
std::string Converted(const std::string& properties) {
    return FormTextToBinary("object Form1: TForm1\r\n" + properties + "end\r\n");
}

std::string ErrorOf(const std::string& text) {
    try {
        FormTextToBinary(text);
    } catch (const EParserError& e) {
        return e.what();
    }
    return "no error";
}

TEST(FormTextToBinary, ObjectHeaders) {
    EXPECT_EQ(FormTextToBinary("object Panel1: TPanel [0]\nend"),
              Form(Object("TPanel", "Panel1", "")));
    EXPECT_EQ(FormTextToBinary("OBJECT Panel1: TPanel [2]\nEND"),
              Form(Object("TPanel", "Panel1", "", "", "\xF2" + Int8(2))));
    EXPECT_EQ(
        FormTextToBinary("inherited Form2: TForm2\n inherited P: TPanel [300] end\n"
                         " object TTimer end end"),
        Form(Object("TForm2", "Form2", "",
                    Object("TPanel", "P", "", "", "\xF3" + Int16(300)) + Object("TTimer", "", ""),
                    "\xF1")));
}

TEST(FormTextToBinary, Values) {
    EXPECT_EQ(Converted("  Caption = 'It'#39's'\r\n"), FormWith(Prop("Caption", String("It's"))));
    EXPECT_EQ(Converted("  Caption = 'a' + 'b'\r\n"), FormWith(Prop("Caption", String("ab"))));
    EXPECT_EQ(Converted("  Caption = \r\n    'a' +\r\n    #13#10\r\n"),
              FormWith(Prop("Caption", String("a\r\n"))));
    EXPECT_EQ(
        Converted("  Long = '" + std::string(200, 'x') + "' + '" + std::string(56, 'y') + "'\r\n"),
        FormWith(Prop("Long", LString(std::string(200, 'x') + std::string(56, 'y')))));
    EXPECT_EQ(Converted("  Long = '" + std::string(5000, 'x') + "'\r\n"),
              FormWith(Prop("Long", LString(std::string(5000, 'x')))));
    EXPECT_EQ(Converted("  A = 127\n  B = -129\n  C = 40000\n  D = $FF\n"),
              FormWith(Prop("A", Int8(127)) + Prop("B", Int16(-129)) + Prop("C", Int32(40000)) +
                       Prop("D", Int16(255))));
    EXPECT_EQ(Converted("  F = 1.5\n"),
              FormWith(Prop("F", std::string("\x05\0\0\0\0\0\0\0\xC0\xFF\x3F", 11))));
    EXPECT_EQ(Converted("  Font.Style = [fsBold, fsItalic]\n  E = []\n"),
              FormWith(Prop("Font.Style", "\x0B" + Str("fsBold") + Str("fsItalic") + Str("")) +
                       Prop("E", "\x0B" + Str(""))));
    EXPECT_EQ(
        Converted("  A = alClient\n  R = Form1.Button1\n  T = TRUE\n  F = false\n  N = Nil\n"),
        FormWith(Prop("A", Ident("alClient")) + Prop("R", Ident("Form1.Button1")) +
                 Prop("T", "\x09") + Prop("F", "\x08") + Prop("N", "\x0D")));
    EXPECT_EQ(Converted("  L = (1 'x' (2) ())\n"),
              FormWith(Prop("L", "\x01" + Int8(1) + String("x") + "\x01" + Int8(2) + kEnd + "\x01" +
                                     kEnd + kEnd)));
    EXPECT_EQ(Converted("  D = {\r\n    0102\r\n    03}\r\n  E = {}\n"),
              FormWith(Prop("D", Binary("\x01\x02\x03")) + Prop("E", Binary(""))));
}

TEST(FormTextToBinary, Collections) {
    EXPECT_EQ(Converted("  C = <>\n"), FormWith(Prop("C", "\x0E" + kEnd)));
    EXPECT_EQ(Converted("  C = <\n    item\n      W = 5\n    end\n    item [3]\n    end\n"
                        "    item [-1]\n    end>\n"),
              FormWith(Prop("C", "\x0E\x01" + Prop("W", Int8(5)) + kEnd + Int8(3) + "\x01" + kEnd +
                                     "\x01" + kEnd + kEnd)));
}

TEST(FormTextToBinary, ResourceHeaderNamesTheRootClass) {
    std::string resource = FormTextToResource("object Form1: TForm1_x\nend\n");
    std::string stream = Form(Object("TForm1_x", "Form1", ""));
    EXPECT_EQ(resource, std::string("\xFF\x0A\x00TFORM1_X\x00\x30\x10", 14) +
                            Le(static_cast<std::uint32_t>(stream.size()), 4) + stream);
    // A root with a position prefix still names its class, not the prefix bytes.
    resource = FormTextToResource("inherited A: TB [5]\nend\n");
    EXPECT_EQ(resource.substr(0, 7), std::string("\xFF\x0A\x00TB\x00", 6) + "\x30");
}

TEST(FormTextToBinary, FailureTexts) {
    EXPECT_EQ(ErrorOf(""), "OBJECT erwartet in Zeile 1");
    EXPECT_EQ(ErrorOf("\n\nthing A: B\nend"), "OBJECT erwartet in Zeile 3");
    EXPECT_EQ(ErrorOf("object 1: B\nend"), "Bezeichner erwartet in Zeile 1");
    EXPECT_EQ(ErrorOf("object A: B\n  Caption 'x'\nend"), "''='' erwartet in Zeile 2");
    EXPECT_EQ(ErrorOf("object A: B [x]\nend"), "Zahl erwartet in Zeile 1");
    EXPECT_EQ(ErrorOf("object A: B [1\nend"), "'']'' erwartet in Zeile 2");
    EXPECT_EQ(ErrorOf("object A: B\n  S = [a b]\nend"), "'','' erwartet in Zeile 2");
    EXPECT_EQ(ErrorOf("object A: B\n  S = [a, 1]\nend"), "Bezeichner erwartet in Zeile 2");
    EXPECT_EQ(ErrorOf("object A: B\n  R = Form1.\nend"), "Bezeichner erwartet in Zeile 3");
    EXPECT_EQ(ErrorOf("object A: B\n  C = 'a' + 5\nend"), "String erwartet in Zeile 2");
    EXPECT_EQ(ErrorOf("object A: B\n  C = 'abc\nend"),
              "Ung\xFC"
              "ltige Stringkonstante in Zeile 2");
    EXPECT_EQ(ErrorOf("object A: B\n  C = )\nend"),
              "Ung\xFC"
              "ltiger Wert der Eigenschaft in Zeile 2");
    EXPECT_EQ(ErrorOf("object A: B\n  C = <\n    thing\n    end>\nend"),
              "item erwartet in Zeile 3");
    EXPECT_EQ(ErrorOf("object A: B\n  C = <\n    item [z]\n    end>\nend"),
              "Zahl erwartet in Zeile 3");
    EXPECT_EQ(ErrorOf("object A: B\n  D = {01\n2}\nend"),
              "Ung\xFC"
              "ltiger Bin\xE4"
              "rwert in Zeile 3");
    EXPECT_EQ(ErrorOf("object A: B\n  D = {0\n1}\nend"),
              "Ung\xFC"
              "ltiger Bin\xE4"
              "rwert in Zeile 2");
    EXPECT_EQ(ErrorOf("object A: B\n  F = 1.2.3\nend"),
              "'1.2.3' ist kein g\xFC"
              "ltiger Gleitkommawert in Zeile 2");
    // Beyond 32 bits an integer takes the 64-bit code; beyond 64 bits it fails.
    EXPECT_EQ(ErrorOf("object A: B\n  I = 99999999999999999999\nend"),
              "'99999999999999999999' ist kein g\xFC"
              "ltiger Integerwert in Zeile 2");
    // A line of any length is read whole; a fault on it is named by that line.
    EXPECT_EQ(ErrorOf("object A: B\n  X = '" + std::string(5000, 'x') + "'\nend"), "no error");
    EXPECT_EQ(ErrorOf("object A: B\n  X = '" + std::string(5000, 'x') + "\nend"),
              "Ung\xFC"
              "ltige Stringkonstante in Zeile 2");
    // Cut-off texts end in a clear failure, wherever the cut is.
    EXPECT_EQ(ErrorOf("object A: B\n  C = 1\n"), "Bezeichner erwartet in Zeile 3");
    EXPECT_EQ(ErrorOf("object A: B\n  object C: D\n  end\n"), "OBJECT erwartet in Zeile 4");
    EXPECT_EQ(ErrorOf("object A: B\n  L = (1\n"),
              "Ung\xFC"
              "ltiger Wert der Eigenschaft in Zeile 3");
    EXPECT_EQ(ErrorOf("object A: B\n  C = <\n    item\n"), "Bezeichner erwartet in Zeile 4");
}

TEST(FormTextToBinary, RefusesNestingBeyondAnyRealForm) {
    std::string deep_lists = "object A: B\n  L = ";
    for (int i = 0; i < 100000; ++i) deep_lists += "(\n";
    EXPECT_EQ(ErrorOf(deep_lists), "Verschachtelung zu tief in Zeile 401");
    std::string deep_objects;
    for (int i = 0; i < 100000; ++i) deep_objects += "object A: B\n";
    EXPECT_NE(ErrorOf(deep_objects).find("Verschachtelung zu tief"), std::string::npos);
}

}  // namespace
}  // namespace lexorin::codec
