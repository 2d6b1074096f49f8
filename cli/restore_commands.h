#pragma once

#include <string>
#include <vector>

#include "app/command_frame.h"
#include "app/commands.h"
#include "cli/command_line.h"

// restore-code, and the compiler check that scan-code --verify runs after its scan.
namespace lexorin::cli {

Command restore_code_command();

// Builds the scanned project with its build command and gives back the literals the compiler
// refuses; prints the report. Exit status 0 when it compiles or no build command is set.
int verify_after_scan(Context& context, commands::OpenedProject& project,
                      const commands::VerifyOptions& options = {});

}  // namespace lexorin::cli
