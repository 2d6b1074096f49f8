#include <gtest/gtest.h>

#include <random>

#include "codec/form_errors.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "stream_bytes.h"
#include "support/test_support.h"

namespace lexorin::codec {
namespace {

using namespace bytes;

std::string GoldenBinary(const std::string& name) {
    return lexorin::testing::read_test_file(LEXORIN_TEST_DATA "/forms/" + name + "/form.dfm");
}

// Binary input the reader must refuse: either a clean conversion or a filer error, nothing else.
void ExpectConvertsOrFailsCleanly(const std::string& resource) {
    try {
        FormResourceToText(resource);
    } catch (const EFilerError&) {
    }
}

TEST(FormBadInput, EveryTruncationOfABinaryFormFails) {
    for (const char* name :
         {"basic", "strings", "values", "binary", "collections", "inherited", "later_codes"}) {
        std::string resource = GoldenBinary(name);
        // The stream ends with the root's two end-of-list bytes; every shorter cut lacks one.
        for (std::size_t cut = 0; cut < resource.size(); ++cut) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(cut));
            EXPECT_THROW(FormResourceToText(resource.substr(0, cut)), EFilerError);
        }
    }
}

TEST(FormBadInput, CorruptedBytesNeverCrash) {
    std::mt19937 random(1234);
    for (const char* name :
         {"basic", "strings", "values", "binary", "collections", "later_codes"}) {
        std::string original = GoldenBinary(name);
        for (int round = 0; round < 400; ++round) {
            std::string corrupted = original;
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips)
                corrupted[random() % corrupted.size()] = static_cast<char>(random());
            ExpectConvertsOrFailsCleanly(corrupted);
        }
    }
}

TEST(FormBadInput, HugeDeclaredLengthsFailWithoutAllocating) {
    std::string huge = Le(0xFFFFFFF0u, 4);
    EXPECT_THROW(FormBinaryToText(FormWith(Prop("B", "\x0A" + huge + "abc"))), EReadError);
    EXPECT_THROW(FormBinaryToText(FormWith(Prop("S", "\x0C" + huge + "abc"))), EReadError);
}

TEST(FormBadInput, DeepNestingIsRefused) {
    std::string lists(100000, '\x01');
    EXPECT_THROW(FormBinaryToText(FormWith(Prop("L", lists))), EReadError);
    std::string objects;
    for (int i = 0; i < 100000; ++i) objects += Str("TA") + Str("") + kEnd;
    try {
        FormBinaryToText("TPF0" + objects);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Verschachtelung zu tief");
    }
}

TEST(FormBadInput, EveryTruncationOfAFormTextFails) {
    for (const char* name : {"values", "later_codes"}) {
        std::string text = lexorin::testing::read_test_file(LEXORIN_TEST_DATA "/forms/" +
                                                            std::string(name) + "/form.txt");
        // Up to the final "end" every cut leaves something open (or half a surrogate pair).
        std::size_t last_end = text.rfind("end");
        for (std::size_t cut = 0; cut < last_end; ++cut) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(cut));
            EXPECT_THROW(FormTextToBinary(text.substr(0, cut)), EParserError);
        }
    }
}

TEST(FormBadInput, GarbageTextFailsCleanly) {
    std::mt19937 random(77);
    std::string text =
        lexorin::testing::read_test_file(LEXORIN_TEST_DATA "/forms/strings/form.txt");
    for (int round = 0; round < 2000; ++round) {
        std::string corrupted = text;
        for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips)
            corrupted[random() % corrupted.size()] = static_cast<char>(random());
        try {
            FormTextToBinary(corrupted);
        } catch (const EParserError&) {
        }
    }
    // Flipped bytes among wide codes, 64-bit numbers and frames.
    std::string later =
        lexorin::testing::read_test_file(LEXORIN_TEST_DATA "/forms/later_codes/form.txt");
    for (int round = 0; round < 2000; ++round) {
        std::string corrupted = later;
        for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips)
            corrupted[random() % corrupted.size()] = static_cast<char>(random());
        try {
            FormTextToBinary(corrupted);
        } catch (const EParserError&) {
        }
    }
    std::string binary_garbage;
    for (int i = 0; i < 20000; ++i) binary_garbage += static_cast<char>(random());
    EXPECT_THROW(FormTextToBinary("object A: B\n  X = " + binary_garbage), EParserError);
}

}  // namespace
}  // namespace lexorin::codec
