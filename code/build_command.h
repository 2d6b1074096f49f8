#pragma once

#include <string>

// Running a project's build command, as a person would in a terminal in the project directory.
namespace lexorin::code {

struct BuildResult {
    int status = -1;     // the exit status; 128 + the signal when the command was killed
    std::string output;  // standard output and error output as they came, interleaved
};

// Runs `command` with /bin/sh -c in `directory`, with no input. Output beyond a few megabytes
// is dropped (the command still runs to its end). Raises an Error when the command cannot be
// started at all; a command that the shell cannot find ends with status 127.
BuildResult RunBuildCommand(const std::string& command, const std::string& directory);

}  // namespace lexorin::code
