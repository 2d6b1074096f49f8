#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/golden_file.h"

// The golden-file comparison as a GoogleTest assertion:
//   EXPECT_TRUE(MatchesGoldenFile(output, LEXORIN_TEST_DATA "/code/form_unit/expected.pas"));
namespace lexorin::testing {

inline ::testing::AssertionResult MatchesGoldenFile(std::string_view actual,
                                                    const std::string& expected_path) {
    const std::string difference = CompareWithGoldenFile(actual, expected_path);
    if (difference.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << difference;
}

}  // namespace lexorin::testing
