// The value codes and the object flag that later Delphi and Free Pascal versions add to form
// streams: their text layout, the way back, and refused bad input.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "codec/form_errors.h"
#include "codec/form_parser.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "codec/form_value_text.h"
#include "stream_bytes.h"

namespace lexorin::codec {
namespace {

using namespace bytes;

std::string Le64(std::uint64_t v) {
    std::string out;
    for (int i = 0; i < 8; ++i) out += static_cast<char>(v >> (8 * i));
    return out;
}
std::string Int64Value(std::int64_t v) {
    return "\x13" + Le64(static_cast<std::uint64_t>(v));
}
std::string SingleValue(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return "\x0F" + Le(bits, 4);
}
std::string CurrencyValue(std::int64_t ten_thousandths) {
    return "\x10" + Le64(static_cast<std::uint64_t>(ten_thousandths));
}
std::string DateValue(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    return "\x11" + Le64(bits);
}
std::string Wide(char code, std::u16string_view units) {
    std::string out = std::string(1, code) + Le(static_cast<std::uint32_t>(units.size()), 4);
    for (char16_t u : units) out += Le(u, 2);
    return out;
}
std::string Utf8Value(std::string_view bytes) {
    return "\x14" + Le(static_cast<std::uint32_t>(bytes.size()), 4) + std::string(bytes);
}

// The text of one property of a form, and that the text gives back the very same stream.
std::string RoundTrip(const std::string& value) {
    std::string binary = FormWith(Prop("P", value));
    std::string text = FormBinaryToText(binary);
    std::size_t start = text.find("  P = ");
    std::size_t end = text.rfind("end\r\n");
    return text.substr(start, end - start);
}

TEST(LaterCodes, TextLayoutsAndTheWayBack) {
    struct Case {
        std::string value;
        std::string text;
        bool same_code;  // text -> binary gives the same bytes without recorded codes
    };
    const Case cases[] = {
        {Int64Value(123456789012), "  P = 123456789012\r\n", true},
        {Int64Value(-9223372036854775807 - 1), "  P = -9223372036854775808\r\n", true},
        {Int64Value(5), "  P = 5\r\n", false},  // a small value takes code 2 again
        {SingleValue(1.5f), "  P = 1.5s\r\n", true},
        {SingleValue(0.1f), "  P = 0.1s\r\n", true},
        {SingleValue(1e20f), "  P = 1E+20s\r\n", true},
        {CurrencyValue(123456), "  P = 12.3456c\r\n", true},
        {CurrencyValue(-120000), "  P = -12c\r\n", true},
        {CurrencyValue(-9223372036854775807 - 1), "  P = -922337203685477.5808c\r\n", true},
        {DateValue(45000.25), "  P = 45000.25d\r\n", true},
        {DateValue(0.1), "  P = 0.1d\r\n", true},
        {Wide('\x12', u"Gr\u00FC\u00DFe \u0142\u20AC \"x\"'\r\n"),
         "  P = 'Gr'#252#223'e '#322#8364' \"x\"'''#13#10\r\n", true},
        {Wide('\x12', u"a\U0001F600b"), "  P = 'a'#55357#56832'b'\r\n", true},
        {Wide('\x12', u""), "  P = ''\r\n", false},                   // no wide character: code 6
        {Wide('\x12', u"plain"), "  P = 'plain'\r\n", false},         // likewise
        {Wide('\x12', u"w\u00FC"), "  P = 'w'#252\r\n", false},       // all below 256: code 6
        {Wide('\x15', u"uni\u20AC"), "  P = 'uni'#8364\r\n", false},  // comes back as 18
        {Utf8Value("u\xC5\x82"), "  P = 'u'#322\r\n", false},         // likewise
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string binary = FormWith(Prop("P", c.value));
        std::string text = FormBinaryToText(binary);
        EXPECT_EQ(RoundTrip(c.value), c.text);
        if (c.same_code) {
            EXPECT_EQ(FormTextToBinary(text), binary);
        }
        // With the codes recorded on the way to the text, every one comes back byte for byte.
        std::istringstream in(binary);
        std::string recorded_text;
        StringSink sink(recorded_text);
        FormStreamCodes codes;
        FormBinaryToText(in, sink, &codes);
        std::istringstream text_in(recorded_text);
        std::string again;
        StringSink again_sink(again);
        FormTextToBinary(text_in, again_sink, &codes);
        EXPECT_EQ(again, binary);
    }
}

TEST(LaterCodes, LongWideStringsArePiecedWithoutSplittingAPair) {
    std::u16string units(63, u'a');
    units += u"\U0001F600";  // the pair straddles the 64th unit
    units += std::u16string(10, u'\u0142');
    std::string binary = FormWith(Prop("P", Wide('\x12', units)));
    std::string text = FormBinaryToText(binary);
    EXPECT_NE(text.find("  P = \r\n    '" + std::string(63, 'a') + "'#55357#56832 +\r\n    #322"),
              std::string::npos)
        << text;
    EXPECT_EQ(FormTextToBinary(text), binary);
    // The pieces keep every line short, however long the string.
    std::string huge = FormWith(Prop("P", Wide('\x12', std::u16string(5000, u'\uFFFF'))));
    EXPECT_EQ(FormTextToBinary(FormBinaryToText(huge)), huge);
}

TEST(LaterCodes, InlineFramesKeepTheirFlag) {
    std::string frame = Object("TFrame1", "Frame1", Prop("Tag", Int8(5)), "", "\xF4");
    std::string placed = Object("TFrame2", "Frame2", "", "", "\xF6" + Int8(3));
    std::string binary = Form(Object("TForm1", "Form1", "", frame + placed));
    std::string text = FormBinaryToText(binary);
    EXPECT_EQ(text,
              "object Form1: TForm1\r\n  inline Frame1: TFrame1\r\n    Tag = 5\r\n  end\r\n"
              "  inline Frame2: TFrame2 [3]\r\n  end\r\nend\r\n");
    EXPECT_EQ(FormTextToBinary(text), binary);
    // "INLINE" in any case; a "[0]" position leaves no trace, as for objects.
    EXPECT_EQ(FormTextToBinary("object Form1: TForm1\r\n  Inline Frame1: TFrame1 [0]\r\n"
                               "    Tag = 5\r\n  end\r\n  inline Frame2: TFrame2 [3]\r\n  end\r\n"
                               "end\r\n"),
              binary);
    // An inherited frame reads as "inherited"; the recorded flags bring the frame flag back.
    std::string inherited_frame =
        Form(Object("TForm1", "Form1", "", Object("TFrame1", "Frame1", "", "", "\xF5")));
    std::string inherited_text = FormBinaryToText(inherited_frame);
    EXPECT_NE(inherited_text.find("  inherited Frame1: TFrame1\r\n"), std::string::npos);
    std::istringstream in(inherited_frame);
    std::string text_again;
    StringSink sink(text_again);
    FormStreamCodes codes;
    FormBinaryToText(in, sink, &codes);
    std::istringstream text_in(text_again);
    std::string back;
    StringSink back_sink(back);
    FormTextToBinary(text_in, back_sink, &codes);
    EXPECT_EQ(back, inherited_frame);
}

TEST(LaterCodes, TextFormsWithWideCodesAndNumbersParse) {
    std::string binary = FormTextToBinary(
        "object Form1: TForm1\r\n"
        "  Caption = 'Gr'#252#223'e '#322 + 'x'\r\n"  // a wide piece makes the whole string wide
        "  Hint = 'plain' + 'text'\r\n"
        "  Big = $FFFFFFFFFF\r\n"
        "  Small = 2147483647\r\n"
        "  Cur = 12c\r\n"
        "  Sgl = 2.5E3S\r\n"
        "  inline Frame1: TFrame1\r\n"
        "  end\r\n"
        "end\r\n");
    EXPECT_EQ(
        binary,
        Form(Object("TForm1", "Form1",
                    Prop("Caption", Wide('\x12', u"Gr\u00FC\u00DFe \u0142x")) +
                        Prop("Hint", String("plaintext")) + Prop("Big", Int64Value(0xFFFFFFFFFF)) +
                        Prop("Small", Int32(2147483647)) + Prop("Cur", CurrencyValue(120000)) +
                        Prop("Sgl", SingleValue(2500.0f)),
                    Object("TFrame1", "Frame1", "", "", "\xF4"))));
}

std::string ParseError(const std::string& text) {
    try {
        FormTextToBinary(text);
    } catch (const EParserError& e) {
        return e.what();
    }
    return "no error";
}

TEST(LaterCodes, BadTextFails) {
    const std::string invalid_string =
        "Ung\xFC"
        "ltige Stringkonstante in Zeile 2";
    EXPECT_EQ(ParseError("object A: B\n  P = #55357\nend\n"), invalid_string);  // half a pair
    EXPECT_EQ(ParseError("object A: B\n  P = #56832'x'\nend\n"), invalid_string);
    EXPECT_EQ(ParseError("object A: B\n  P = #65536\nend\n"), invalid_string);
    EXPECT_EQ(ParseError("object A: B\n  P = 9223372036854775808\nend\n"),
              "'9223372036854775808' ist kein g\xFC"
              "ltiger Integerwert in Zeile 2");
    EXPECT_EQ(ParseError("object A: B\n  P = 1E39s\nend\n"),
              "'1E39' ist kein g\xFC"
              "ltiger Gleitkommawert in Zeile 2");
    EXPECT_EQ(ParseError("object A: B\n  P = 922337203685477.5808c\nend\n"),
              "'922337203685477.5808' ist kein g\xFC"
              "ltiger Gleitkommawert in Zeile 2");
    // A pair split across two pieces is whole again.
    EXPECT_EQ(FormTextToBinary("object A: B\n  P = #55357 +\n #56832\nend\n"),
              Form(Object("B", "A", Prop("P", Wide('\x12', u"\U0001F600")))));
}

TEST(LaterCodes, BadStreamsFailCleanly) {
    const std::string read_error = "Stream-Read-Fehler";
    const std::string bad_value =
        "Ung\xFC"
        "ltiger Wert der Eigenschaft";
    auto error_of = [](const std::string& value) -> std::string {
        try {
            FormBinaryToText(FormWith(Prop("P", value)));
        } catch (const EReadError& e) {
            return e.what();
        }
        return "no error";
    };
    // Payloads cut short: the stream ends inside them.
    for (const std::string& value :
         {Int64Value(123456789012), CurrencyValue(123456), DateValue(1.5), SingleValue(1.5f),
          Wide('\x12', u"abc"), Wide('\x15', u"abc"), Utf8Value("abc")}) {
        for (std::size_t cut = 1; cut < value.size(); ++cut) {
            SCOPED_TRACE(std::to_string(static_cast<int>(value[0])) + " cut at " +
                         std::to_string(cut));
            try {
                FormBinaryToText("TPF0" + Str("TForm1") + Str("Form1") + Str("P") +
                                 value.substr(0, cut));
                ADD_FAILURE();
            } catch (const EReadError& e) {
                EXPECT_EQ(std::string(e.what()), read_error);
            }
        }
    }
    // A wide payload with an odd number of bytes left: the last unit is cut in half.
    EXPECT_EQ(error_of("\x12" + Le(2, 4) + "a\0b"), read_error);
    // Surrogate halves without their partner, and code 20 bytes that are no UTF-8.
    EXPECT_EQ(error_of(Wide('\x12', u"a\xD83D")), bad_value);
    EXPECT_EQ(error_of(Wide('\x12', u"\xDE00x")), bad_value);
    EXPECT_EQ(error_of(Wide('\x15', u"\xD83Dx")), bad_value);
    EXPECT_EQ(error_of(Utf8Value("\xC3")), bad_value);
    EXPECT_EQ(error_of(Utf8Value("\xED\xA0\x80")), bad_value);  // an encoded surrogate
    EXPECT_EQ(error_of(Utf8Value("\xC0\xAF")), bad_value);      // overlong
    // A huge declared length in a short file fails on reading, without a huge allocation.
    EXPECT_EQ(error_of("\x12" + Le(0x7FFFFFFF, 4) + "a"), read_error);
    EXPECT_EQ(error_of("\x14" + Le(0xFFFFFFFF, 4) + "a"), read_error);
}

TEST(LaterCodes, ValueTexts) {
    EXPECT_EQ(CurrencyToText(1), "0.0001");
    EXPECT_EQ(CurrencyToText(-10), "-0.001");
    EXPECT_EQ(TextToCurrency("0.00005"), 1);  // rounded half away from zero
    EXPECT_EQ(TextToCurrency("-1.5E2"), -1500000);
    EXPECT_EQ(TextToCurrency("922337203685477.5807"), 9223372036854775807);
    EXPECT_EQ(TextToCurrency("-922337203685477.5808"), -9223372036854775807 - 1);
    EXPECT_FALSE(TextToCurrency("1.2.3"));
    EXPECT_FALSE(TextToCurrency("."));
    EXPECT_FALSE(TextToSingle("1E39"));
    EXPECT_FALSE(TextToDouble("x"));
    std::u16string units;
    EXPECT_TRUE(Utf8ToUtf16("a\xF0\x9F\x98\x80", units));
    EXPECT_EQ(units, u"a\U0001F600");
    std::string utf8;
    EXPECT_TRUE(Utf16ToUtf8(units, utf8));
    EXPECT_EQ(utf8, "a\xF0\x9F\x98\x80");
    EXPECT_FALSE(Utf16ToUtf8(u"\xD83D", utf8));
}

}  // namespace
}  // namespace lexorin::codec
