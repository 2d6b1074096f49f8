#include "support/golden_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace lexorin::testing {

namespace {

// A long line is shown as a window of this many bytes before and after the differing byte
// (binary forms hold few line breaks).
constexpr std::size_t kShownBefore = 40;
constexpr std::size_t kShownAfter = 80;

// The line of `text` that holds byte `at` (the line where both texts still agree up to `at`),
// quoted, with its line end and every byte that would not print as itself escaped.
std::string ShownLine(std::string_view text, std::size_t line_start, std::size_t at) {
    if (line_start >= text.size()) return "(end of file)";
    std::size_t line_end = text.find('\n', line_start);
    line_end = line_end == std::string_view::npos ? text.size() : line_end + 1;
    std::size_t from = line_start, to = line_end;
    if (at > from + kShownBefore) from = at - kShownBefore;
    if (to > at + kShownAfter) to = at + kShownAfter;
    std::string shown = from > line_start ? "..." : "";
    shown += '"';
    for (std::size_t i = from; i < to; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n')
            shown += "\\n";
        else if (byte == '\r')
            shown += "\\r";
        else if (byte == '\t')
            shown += "\\t";
        else if (byte == '"' || byte == '\\')
            shown += std::string("\\") + static_cast<char>(byte);
        else if (byte < 0x20 || byte >= 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        } else
            shown += static_cast<char>(byte);
    }
    shown += '"';
    if (to < line_end) shown += "...";
    return shown;
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

}  // namespace

std::string FirstDifference(std::string_view expected, std::string_view actual) {
    if (expected == actual) return {};
    const auto parted =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    const auto at = static_cast<std::size_t>(parted.first - expected.begin());
    const std::string_view agreed = expected.substr(0, at);
    const std::size_t line =
        static_cast<std::size_t>(std::count(agreed.begin(), agreed.end(), '\n')) + 1;
    const std::size_t last_break = agreed.rfind('\n');
    const std::size_t line_start = last_break == std::string_view::npos ? 0 : last_break + 1;
    std::ostringstream text;
    text << "first difference at line " << line << ", column " << at - line_start + 1
         << " (byte offset " << at << "; expected " << expected.size() << " bytes, actual "
         << actual.size() << ")\n  expected: " << ShownLine(expected, line_start, at)
         << "\n  actual:   " << ShownLine(actual, line_start, at);
    return text.str();
}

std::string ActualFileFor(const std::string& expected_path) {
    return expected_path + ".actual";
}

std::string CompareWithGoldenFile(std::string_view actual, const std::string& expected_path) {
    const std::string actual_path = ActualFileFor(expected_path);
    const std::optional<std::string> expected = ReadFile(expected_path);
    if (expected && *expected == actual) {
        std::error_code ignored;
        std::filesystem::remove(actual_path, ignored);
        return {};
    }
    std::ofstream out(actual_path, std::ios::binary | std::ios::trunc);
    out.write(actual.data(), static_cast<std::streamsize>(actual.size()));
    out.close();
    const std::string kept = out ? "the actual output is in " + actual_path
                                 : "the actual output could not be written to " + actual_path;
    if (!expected) return "cannot read the golden file " + expected_path + "; " + kept;
    return expected_path + " differs; " + kept + "\n" + FirstDifference(*expected, actual);
}

}  // namespace lexorin::testing
