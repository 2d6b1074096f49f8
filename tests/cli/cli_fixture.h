#pragma once

#include <gtest/gtest.h>

#include <filesystem>
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
