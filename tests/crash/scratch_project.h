#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "store/table_store.h"
#include "support/test_support.h"

// What the kill tests share: a scratch working directory with src/ (a copy of the sources) and
// home/ (the program directory), the project Demo registered there with German and French, and
// lexorin-cli started in a process group of its own so that a kill reaches every process of it.
namespace lexorin::crash {

class ScratchProject {
  public:
    explicit ScratchProject(const std::string& template_src);

    std::string src() const { return work_.file("src"); }
    std::string home() const { return work_.file("home"); }
    const std::string& work() const { return work_.path(); }

    lexorin::testing::CommandResult cli(const std::string& args) const;
    // project add, then German and French; a failure fails the test.
    void Register() const;

    // Starts lexorin-cli with `args` in its own process group, its output into `log` (appended
    // after the first stream); gives the process id.
    pid_t Start(const std::vector<std::string>& args, const std::string& log) const;

    // One row of `table` as text: every field "name=value", tabs between, a line break inside a
    // field written "\n", and the scratch directory as "<copy>", so that two copies compare.
    std::string RowText(const store::Table& table) const;

  private:
    lexorin::testing::TempDir work_;
};

}  // namespace lexorin::crash
