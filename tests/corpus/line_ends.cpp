#include "corpus/line_ends.h"

#include "support/golden_file.h"

namespace lexorin::corpus {

std::string WithCrLf(const std::string& text) {
    std::string result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        result.append(text, start, end - start).append("\r\n");
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return result;
}

std::string GivenBackDifference(const std::string& original, const std::string& given_back) {
    if (given_back == original) return {};
    const size_t first_end = given_back.find_first_of("\r\n");
    const bool rewritten =
        first_end != std::string::npos && given_back.compare(first_end, 2, "\r\n") == 0;
    return lexorin::testing::FirstDifference(rewritten ? WithCrLf(original) : original, given_back);
}

}  // namespace lexorin::corpus
