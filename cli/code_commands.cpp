#include "cli/command_line.h"

namespace lexorin::cli {

void add_code_commands(std::vector<Command>&) {}

}  // namespace lexorin::cli
