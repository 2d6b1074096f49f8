#include "cli/command_line.h"

namespace lexorin::cli {

void add_form_commands(std::vector<Command>&) {}

}  // namespace lexorin::cli
