#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "codec/form_binary_writer.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "support/golden_file_gtest.h"
#include "support/test_support.h"

namespace lexorin::codec {
namespace {

using lexorin::testing::MatchesGoldenFile;
using lexorin::testing::read_test_file;

std::vector<std::string> GoldenCases() {
    std::vector<std::string> cases;
    for (const auto& entry : std::filesystem::directory_iterator(LEXORIN_TEST_DATA "/forms"))
        if (entry.is_directory()) cases.push_back(entry.path().string());
    std::sort(cases.begin(), cases.end());
    return cases;
}

TEST(FormRoundTrip, GoldenCasesConvertBothWaysByteForByte) {
    auto cases = GoldenCases();
    ASSERT_GE(cases.size(), 6u);
    for (const auto& dir : cases) {
        SCOPED_TRACE(dir);
        std::string binary = read_test_file(dir + "/form.dfm");
        std::string expected_text = read_test_file(dir + "/form.txt");
        EXPECT_TRUE(MatchesGoldenFile(FormResourceToText(binary), dir + "/form.txt"));
        EXPECT_TRUE(MatchesGoldenFile(FormTextToResource(expected_text), dir + "/form.dfm"));
    }
}

// A form with every value kind, written with our binary writer, random but reproducible.
std::string RandomForm(std::mt19937& random, int depth = 0) {
    std::string stream;
    StringSink sink(stream);
    FormBinaryWriter writer(sink);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto text = [&](int max_length) {
        std::string s(static_cast<std::size_t>(pick(max_length + 1)), ' ');
        for (char& c : s) c = static_cast<char>(pick(5) == 0 ? pick(256) : 'a' + pick(26));
        return s;
    };
    auto name = [&] { return "N" + std::to_string(pick(1000)); };
    std::function<void(int)> value = [&](int level) {
        switch (pick(level > 2 ? 10 : 13)) {
            case 0:
                writer.WriteInteger(static_cast<std::int32_t>(random()));
                break;
            case 1:
                writer.WriteInteger(pick(300) - 150);
                break;
            case 2:
                writer.WriteInteger(pick(70000) - 35000);
                break;
            case 3: {
                Extended80 f{};
                for (auto& b : f) b = static_cast<std::uint8_t>(random());
                unsigned exponent = (f[8] | (f[9] << 8)) & 0x7FFF;
                if (exponent == 0x7FFF) f[9] &= 0xBF;  // no NaNs or infinities
                if (exponent == 0)
                    f[7] &= 0x7F;
                else
                    f[7] |= 0x80;  // canonical encodings
                writer.WriteFloat(f);
                break;
            }
            case 4:
                writer.WriteString(text(pick(4) == 0 ? 700 : 70));
                break;
            case 5:
                writer.WriteIdent(name());
                break;
            case 6:
                writer.WriteIdent(pick(2) ? "True" : "nil");
                break;
            case 7: {
                writer.WriteValue(ValueType::Set);
                for (int i = pick(4); i > 0; --i) writer.WriteStr(name());
                writer.WriteStr("");
                break;
            }
            case 8:
                writer.WriteBinary(text(pick(2) ? 20 : 200));
                break;
            case 9:
                writer.WriteIdent("False");
                break;
            case 10:
            case 11: {
                writer.WriteListBegin();
                for (int i = pick(4); i > 0; --i) value(level + 1);
                writer.WriteListEnd();
                break;
            }
            default: {
                writer.WriteValue(ValueType::Collection);
                for (int i = pick(3); i > 0; --i) {
                    if (pick(2)) writer.WriteInteger(pick(10));
                    writer.WriteListBegin();
                    for (int p = pick(3); p > 0; --p) {
                        writer.WriteStr(name() + ".Sub");
                        value(level + 1);
                    }
                    writer.WriteListEnd();
                }
                writer.WriteListEnd();
            }
        }
    };
    std::function<void(int)> object = [&](int level) {
        int flags = pick(4);
        writer.WritePrefix(static_cast<std::uint8_t>(flags), 1 + pick(1000));
        writer.WriteStr("T" + name());
        writer.WriteStr(pick(5) ? name() : "");
        for (int i = pick(6); i > 0; --i) {
            writer.WriteStr(name());
            value(0);
        }
        writer.WriteListEnd();
        if (level < 3)
            for (int i = pick(3); i > 0; --i) object(level + 1);
        writer.WriteListEnd();
    };
    writer.WriteSignature();
    object(depth);
    writer.Flush();
    return stream;
}

TEST(FormRoundTrip, EveryValueKindSurvivesBinaryToTextToBinary) {
    std::mt19937 random(4711);
    for (int i = 0; i < 300; ++i) {
        std::string binary = RandomForm(random);
        std::string text = FormBinaryToText(binary);
        ASSERT_EQ(FormTextToBinary(text), binary) << text;
    }
}

}  // namespace
}  // namespace lexorin::codec
