#include "cli/command_line.h"

namespace lexorin::cli {

void add_operation_commands(std::vector<Command>&) {}

}  // namespace lexorin::cli
