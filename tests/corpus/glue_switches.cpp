#include "corpus/glue_switches.h"

#include <algorithm>
#include <stdexcept>

#include "support/test_support.h"

namespace lexorin::corpus {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

void TurnOnGlueSwitch(const std::string& project, const std::string& symbol) {
    const std::string path = project + "/lx_lang.inc";
    std::string include = lexorin::testing::read_test_file(path);
    const size_t at = Lower(include).find(Lower("{.$define " + symbol + "}"));
    if (at == std::string::npos)
        throw std::runtime_error(path + " has no line {.$define " + symbol + "} to turn on");
    include.erase(at + 1, 1);
    lexorin::testing::write_test_file(path, include);
}

}  // namespace lexorin::corpus
