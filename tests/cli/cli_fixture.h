#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/test_support.h"

namespace lexorin::testing {

// lexorin-cli run in a scratch working directory `work`, whose "home" folder is the program
// directory.
inline CommandResult run_cli(const TempDir& work, const std::string& args,
                             const std::string& input = {}) {
    return run_command("cd '" + work.path() + "' && LEXORIN_HOME='" + work.file("home") + "' '" +
                           LEXORIN_CLI + "' " + args,
                       input);
}

// The same for a stage of a longer road: a command that fails raises, naming it and its errors.
inline CommandResult run_cli_or_throw(const TempDir& work, const std::string& args) {
    CommandResult result = run_cli(work, args);
    if (result.status != 0)
        throw std::runtime_error("lexorin-cli " + args + " exited with " +
                                 std::to_string(result.status) + ": " + result.err);
    return result;
}

// The first line of a file, without its line end.
inline std::string first_line_of(const std::string& path) {
    const std::string text = read_test_file(path);
    return text.substr(0, text.find_first_of("\r\n"));
}

// The demo project copied into a scratch working directory and registered with two languages.
class DemoProjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::copy(LEXORIN_SOURCE_DIR "/examples/demo/src", work.file("src"),
                              std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(work.file("home"));
        ASSERT_EQ(cli("project add Demo src --exclude src/tools").status, 0);
        ASSERT_EQ(cli("language add Demo German").status, 0);
        ASSERT_EQ(cli("language add Demo French").status, 0);
    }
    CommandResult cli(const std::string& args) { return run_cli(work, args); }

    TempDir work;
};

}  // namespace lexorin::testing
