#include "codec/extended80.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdlib>
#include <cstring>
#include <random>

namespace lexorin::codec {
namespace {

Extended80 make(unsigned top, std::uint64_t significand) {
    Extended80 value{};
    for (int i = 0; i < 8; ++i) value[i] = static_cast<std::uint8_t>(significand >> (8 * i));
    value[8] = static_cast<std::uint8_t>(top);
    value[9] = static_cast<std::uint8_t>(top >> 8);
    return value;
}

Extended80 parse(const char* text) {
    auto value = TextToExtended(text);
    EXPECT_TRUE(value.has_value()) << text;
    return value.value_or(Extended80{});
}

TEST(Extended80, KnownEncodingsReadAndWrite) {
    struct Case {
        const char* text;
        unsigned top;
        std::uint64_t significand;
    };
    const Case cases[] = {
        {"1.0", 0x3FFF, 0x8000000000000000ull},
        {"-2.5", 0xC000, 0xA000000000000000ull},
        {"0.1", 0x3FFB, 0xCCCCCCCCCCCCCCCDull},
        {"3.1415926535897932385", 0x4000, 0xC90FDAA22168C235ull},
        {"1.189731495357231765E4932", 0x7FFE, 0xFFFFFFFFFFFFFFFFull},  // largest finite
        {"3.64519953188247E-4951", 0x0000, 0x0000000000000001ull},     // smallest denormal
        {"0.0", 0x0000, 0},
        {"-0.0", 0x8000, 0},
        {"1E15", 0x4030, 0xE35FA931A0000000ull},
        {"0.00001", 0x3FEE, 0xA7C5AC471B478423ull},
        {"1E-6", 0x3FEB, 0x8637BD05AF6C69B6ull},
    };
    for (const auto& c : cases) {
        Extended80 expected = make(c.top, c.significand);
        EXPECT_EQ(parse(c.text), expected) << c.text;
        EXPECT_EQ(ExtendedToText(expected), c.text);
    }
}

TEST(Extended80, TextAlwaysReadsBackAsFloat) {
    // Integral values keep a "." so that the form text does not turn them into integers.
    EXPECT_EQ(ExtendedToText(ExtendedFromInteger(100)), "100.0");
    EXPECT_EQ(ExtendedToText(ExtendedFromInteger(-7)), "-7.0");
    EXPECT_EQ(ExtendedToText(ExtendedFromInteger(123456789012345678)), "1.23456789012345678E17");
    EXPECT_EQ(ExtendedToText(parse("0.5")), "0.5");
    EXPECT_EQ(ExtendedToText(parse("12.75")), "12.75");
}

TEST(Extended80, SpecialValues) {
    EXPECT_EQ(ExtendedToText(make(0x7FFF, 0x8000000000000000ull)), "INF");
    EXPECT_EQ(ExtendedToText(make(0xFFFF, 0x8000000000000000ull)), "-INF");
    EXPECT_EQ(ExtendedToText(make(0x7FFF, 0xC000000000000000ull)), "NAN");
    EXPECT_EQ(parse("1E5000"), make(0x7FFF, 0x8000000000000000ull));
    EXPECT_EQ(parse("-1E99999999999"), make(0xFFFF, 0x8000000000000000ull));
    EXPECT_EQ(parse("1E-5000"), make(0, 0));
    EXPECT_EQ(parse("1.2e-99999999999"), make(0, 0));
}

TEST(Extended80, RoundsHalfToEven) {
    // 2^64 + 1 and 2^64 + 3 lie halfway between neighbours 2 apart.
    EXPECT_EQ(parse("18446744073709551617"), make(0x403F, 0x8000000000000000ull));
    EXPECT_EQ(parse("18446744073709551619"), make(0x403F, 0x8000000000000002ull));
    // Just above half: rounds up.
    EXPECT_EQ(parse("18446744073709551617.000000000000000000000001"),
              make(0x403F, 0x8000000000000001ull));
    // Rounding up out of the significand raises the exponent.
    EXPECT_EQ(parse("36893488147419103231"), make(0x4040, 0x8000000000000000ull));
}

TEST(Extended80, RejectsTextThatIsNoNumber) {
    for (const char* text : {"", "-", "+", ".", "1.2.3", "1E", "1E+", "E5", "12-3", "1.5x", "--1"})
        EXPECT_FALSE(TextToExtended(text).has_value()) << text;
    EXPECT_TRUE(TextToExtended("7.").has_value());
    EXPECT_TRUE(TextToExtended("-.5").has_value());
}

TEST(Extended80, EveryCanonicalValueSurvivesTextRoundTrip) {
    std::mt19937_64 random(20240521);
    for (int i = 0; i < 2000; ++i) {
        std::uint64_t significand = random();
        unsigned exponent;
        switch (i % 4) {
            case 0:
                exponent = 0;
                break;  // denormals
            case 1:
                exponent = 16383 - 80 + static_cast<unsigned>(random() % 160);
                break;  // common
            case 2:
                exponent = 1 + static_cast<unsigned>(random() % 0x7FFD);
                break;
            default:
                exponent = (random() & 1) ? 1 + (random() % 3) : 0x7FFE - (random() % 3);
        }
        if (exponent == 0)
            significand &= ~(1ull << 63);
        else
            significand |= 1ull << 63;
        unsigned top = exponent | ((random() & 1) ? 0x8000u : 0u);
        Extended80 value = make(top, significand);
        std::string text = ExtendedToText(value);
        auto back = TextToExtended(text);
        ASSERT_TRUE(back.has_value()) << text;
        ASSERT_EQ(*back, value) << text;
    }
}

#if defined(__x86_64__) && LDBL_MANT_DIG == 64
// On x86 the host's long double is the same format: its strtold serves as an independent oracle
// for the rounding of decimal text.
Extended80 host_parse(const std::string& text) {
    long double value = std::strtold(text.c_str(), nullptr);
    Extended80 bytes{};
    std::memcpy(bytes.data(), &value, 10);
    return bytes;
}

TEST(Extended80, ReadsDecimalTextAsTheHostDoes) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 3000; ++i) {
        std::string digits = std::to_string(random() % 100000000000ull);
        std::string more = std::to_string(random());
        int exponent = static_cast<int>(random() % 9900) - 4950;
        std::string text = digits + "." + more + "E" + std::to_string(exponent);
        auto ours = TextToExtended(text);
        ASSERT_TRUE(ours.has_value());
        ASSERT_EQ(*ours, host_parse(text)) << text;
        // And the text written for a value is read back to it by the host, too.
        ASSERT_EQ(host_parse(ExtendedToText(*ours)), *ours) << text;
    }
}
#endif

}  // namespace
}  // namespace lexorin::codec
