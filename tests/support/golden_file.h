#pragma once

#include <string>
#include <string_view>

// Golden files: an output compared byte for byte with the file that holds what it must be. The
// functions return a description of the first difference, empty when the bytes are equal, so that
// a GoogleTest or a Qt Test check can show it as it is.
namespace lexorin::testing {

// Where `actual` first parts from `expected`: the line number, the column and byte offset, and
// both lines with their line ends, control characters and 8-bit bytes written as escapes.
// Empty when the two are equal.
std::string FirstDifference(std::string_view expected, std::string_view actual);

// The name of the file a mismatch leaves beside the golden file: "<expected_path>.actual".
std::string ActualFileFor(const std::string& expected_path);

// Compares `actual` with the golden file at `expected_path`. On a mismatch (or when the golden
// file cannot be read) `actual` is written to ActualFileFor(expected_path), so that a diff tool
// or a copy over the golden file is one command away, and the description names both files.
// When they match, an ".actual" left by an earlier failure is removed.
std::string CompareWithGoldenFile(std::string_view actual, const std::string& expected_path);

}  // namespace lexorin::testing
