#include "base/text_routines.h"

#include <gtest/gtest.h>

namespace lexorin {
namespace {

TEST(TextRoutines, ReplaceAndApostrophes) {
    EXPECT_EQ(ReplaceAllNoCase("aXbxc", "x", "-"), "a-b-c");
    EXPECT_EQ(ReplaceAllNoCase("aXbxc", "", "-"), "aXbxc");
    EXPECT_EQ(ReplaceAllNoCase("aaa", "a", "aa"), "aaaaaa");  // replaced text is not searched
    EXPECT_EQ(ReplaceAllNoCase("\xE4x\xC4", "\xE4", "-"), "-x\xC4");  // only a to z fold
    EXPECT_EQ(EscapeApostrophes("it's"), "it'#39's");
    EXPECT_EQ(UnescapeApostrophes("it'#39's"), "it's");
}

}  // namespace
}  // namespace lexorin
