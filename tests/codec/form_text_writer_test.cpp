#include "codec/form_text_writer.h"

#include <gtest/gtest.h>

#include "codec/form_errors.h"
#include "codec/resource_header.h"
#include "stream_bytes.h"

namespace lexorin::codec {
namespace {

using namespace bytes;

// The text of a form Form1 with one property, and just that property's lines.
std::string PropertyText(const std::string& value) {
    std::string text = FormBinaryToText(FormWith(Prop("P", value)));
    const std::string head = "object Form1: TForm1\r\n", tail = "end\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    return text.substr(head.size(), text.size() - head.size() - tail.size());
}

std::string Digits(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('0' + i % 10);
    return s;
}

TEST(FormTextWriter, ObjectLines) {
    std::string child_pos = "\xF2" + Int8(2);
    std::string inherited_pos = "\xF3" + Int16(300);
    std::string stream =
        Form(Object("TForm1", "Form1", "",
                    Object("TButton", "Button1", "", "", child_pos) + Object("TTimer", "", "") +
                        Object("TPanel", "Panel1", "", Object("TEdit", "Edit1", "", "", "\xF1"),
                               inherited_pos)));
    EXPECT_EQ(FormBinaryToText(stream),
              "object Form1: TForm1\r\n"
              "  object Button1: TButton [2]\r\n"
              "  end\r\n"
              "  object TTimer\r\n"
              "  end\r\n"
              "  inherited Panel1: TPanel [300]\r\n"
              "    inherited Edit1: TEdit\r\n"
              "    end\r\n"
              "  end\r\n"
              "end\r\n");
}

TEST(FormTextWriter, ScalarValues) {
    EXPECT_EQ(PropertyText(Int8(-128)), "  P = -128\r\n");
    EXPECT_EQ(PropertyText(Int16(-32768)), "  P = -32768\r\n");
    EXPECT_EQ(PropertyText(Int32(-2147483647 - 1)), "  P = -2147483648\r\n");
    EXPECT_EQ(PropertyText(Ident("alClient")), "  P = alClient\r\n");
    EXPECT_EQ(PropertyText("\x08"), "  P = False\r\n");
    EXPECT_EQ(PropertyText("\x09"), "  P = True\r\n");
    EXPECT_EQ(PropertyText("\x0D"), "  P = nil\r\n");
    // 1.5: significand 0xC000000000000000, exponent 0x3FFF.
    EXPECT_EQ(PropertyText(std::string("\x05\0\0\0\0\0\0\0\xC0\xFF\x3F", 11)), "  P = 1.5\r\n");
    EXPECT_EQ(PropertyText("\x0B" + Str("akLeft") + Str("akTop") + Str("")),
              "  P = [akLeft, akTop]\r\n");
    EXPECT_EQ(PropertyText("\x0B" + Str("")), "  P = []\r\n");
}

TEST(FormTextWriter, ShortStringsStayOnThePropertyLine) {
    EXPECT_EQ(PropertyText(String("")), "  P = ''\r\n");
    EXPECT_EQ(PropertyText(String("It's")), "  P = 'It'#39's'\r\n");
    EXPECT_EQ(PropertyText(String("\r\n")), "  P = #13#10\r\n");
    EXPECT_EQ(PropertyText(String("a\tb")), "  P = 'a'#9'b'\r\n");
    EXPECT_EQ(PropertyText(String("Gr\xFC\xDF"
                                  "e \x80\xFF")),
              "  P = 'Gr\xFC\xDF"
              "e \x80\xFF'\r\n");
    EXPECT_EQ(PropertyText(String(Digits(64))), "  P = '" + Digits(64) + "'\r\n");
}

TEST(FormTextWriter, LongStringsAreCutInto64BytePieces) {
    EXPECT_EQ(PropertyText(String(Digits(65))),
              "  P = \r\n    '" + Digits(64) + "' +\r\n    '4'\r\n");
    EXPECT_EQ(PropertyText(String(Digits(64) + "\r")),
              "  P = \r\n    '" + Digits(64) + "' +\r\n    #13\r\n");
    // A "#" code counts as one byte of its piece, and a quote is never put next to another.
    EXPECT_EQ(PropertyText(String(Digits(63) + "'" + "x")),
              "  P = \r\n    '" + Digits(63) + "'#39 +\r\n    'x'\r\n");
    EXPECT_EQ(
        PropertyText(String(std::string(65, '\n'))), "  P = \r\n    " + [] {
            std::string s;
            for (int i = 0; i < 64; ++i) s += "#10";
            return s;
        }() + " +\r\n    #10\r\n");
    // Code 12 for 300 bytes; the last piece carries no " +".
    std::string text = PropertyText(LString(Digits(300)));
    EXPECT_EQ(text, "  P = \r\n    '" + Digits(300).substr(0, 64) + "' +\r\n    '" +
                        Digits(300).substr(64, 64) + "' +\r\n    '" + Digits(300).substr(128, 64) +
                        "' +\r\n    '" + Digits(300).substr(192, 64) + "' +\r\n    '" +
                        Digits(300).substr(256) + "'\r\n");
}

TEST(FormTextWriter, Lists) {
    EXPECT_EQ(PropertyText("\x01" + kEnd), "  P = ()\r\n");
    EXPECT_EQ(PropertyText("\x01" + String("One") + String("Two") + kEnd),
              "  P = (\r\n    'One'\r\n    'Two')\r\n");
    // A long element starts on the line below its own (empty) element line.
    EXPECT_EQ(
        PropertyText("\x01" + String(Digits(65)) + "\x01" + Int8(1) + kEnd + kEnd),
        "  P = (\r\n    \r\n      '" + Digits(64) + "' +\r\n      '4'\r\n    (\r\n      1))\r\n");
}

TEST(FormTextWriter, BinaryDataAsHexLines) {
    EXPECT_EQ(PropertyText(Binary("")), "  P = {}\r\n");
    std::string data;
    for (int i = 0; i < 70; ++i) data += static_cast<char>(i * 7 + 1);
    std::string hex = BytesToHex(data);
    EXPECT_EQ(PropertyText(Binary(data.substr(0, 31))), "  P = {" + hex.substr(0, 62) + "}\r\n");
    EXPECT_EQ(PropertyText(Binary(data.substr(0, 32))),
              "  P = {\r\n    " + hex.substr(0, 64) + "}\r\n");
    EXPECT_EQ(PropertyText(Binary(data)), "  P = {\r\n    " + hex.substr(0, 64) + "\r\n    " +
                                              hex.substr(64, 64) + "\r\n    " + hex.substr(128) +
                                              "}\r\n");
    EXPECT_EQ(BytesToHex(std::string("\x00\x0F\xA0\xFF", 4)), "000FA0FF");
}

TEST(FormTextWriter, Collections) {
    EXPECT_EQ(PropertyText("\x0E" + kEnd), "  P = <>\r\n");
    std::string items =
        "\x0E"
        "\x01" +
        Prop("Width", Int8(5)) + kEnd +  //
        Int8(3) + "\x01" + Prop("Title.Caption", String("x")) +
        Prop("Sub", "\x0E\x01" + Prop("A", Int8(1)) + kEnd + kEnd) + kEnd + kEnd;
    EXPECT_EQ(PropertyText(items),
              "  P = <\r\n"
              "    item\r\n"
              "      Width = 5\r\n"
              "    end\r\n"
              "    item [3]\r\n"
              "      Title.Caption = 'x'\r\n"
              "      Sub = <\r\n"
              "        item\r\n"
              "          A = 1\r\n"
              "        end>\r\n"
              "    end>\r\n");
}

TEST(FormTextWriter, FailsOnBadStreams) {
    try {
        FormBinaryToText("TPF1" + Object("TForm1", "Form1", ""));
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(),
                     "Ung\xFC"
                     "ltiges Stream-Format");
    }
    try {
        FormResourceToText("\xFE\x0A" + FormWith(""));
        FAIL();
    } catch (const EInvalidImage& e) {
        EXPECT_STREQ(e.what(),
                     "Ung\xFC"
                     "ltiges Stream-Format");
    }
    EXPECT_THROW(FormResourceToText(std::string("\xFF\x0B\x00", 3) + "X" + FormWith("")),
                 EInvalidImage);
    for (const std::string& value : {std::string("\x16"), std::string("\xFF"), kEnd,
                                     "\x0E" + Int8(1) + Int8(1) /* item without its list */}) {
        try {
            FormBinaryToText(FormWith(Prop("P", value)));
            FAIL();
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(),
                         "Ung\xFC"
                         "ltiger Wert der Eigenschaft");
        }
    }
    try {
        FormBinaryToText(FormWith(Prop("P", String("abc")).substr(0, 5)));
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream-Read-Fehler");
    }
}

TEST(FormTextWriter, ResourceHeader) {
    std::string header = MakeResourceHeader("TForm1", 0x01020304);
    EXPECT_EQ(header.size(), 16u);
    EXPECT_EQ(header, std::string("\xFF\x0A\x00TFORM1\x00\x30\x10\x04\x03\x02\x01", 16));
    // The reader skips any header, long names included, and goes on right behind it.
    for (std::string name : {std::string(""), std::string(69, 'a'), std::string(70, 'b')}) {
        std::string text = FormResourceToText(MakeResourceHeader(name, 0) + FormWith(""));
        EXPECT_EQ(text, "object Form1: TForm1\r\nend\r\n");
    }
    // A name without its 0 byte within the 80-byte area: the header is taken as 86 bytes long.
    std::string unterminated = std::string("\xFF\x0A\x00", 3) + std::string(83, 'N') + FormWith("");
    EXPECT_EQ(FormResourceToText(unterminated), "object Form1: TForm1\r\nend\r\n");
}

}  // namespace
}  // namespace lexorin::codec
