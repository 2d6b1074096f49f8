#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Running a project's build command, as a person would in a terminal in the project directory,
// but never longer than its time limit and never past Lexorin's own end.
namespace lexorin::code {

// Ten minutes: a full build of a large project, with room to spare.
inline constexpr int kDefaultBuildTimeLimitSeconds = 600;

enum class BuildEnd {
    Exited,     // the command ended by itself
    TimedOut,   // stopped at its time limit
    Cancelled,  // stopped because the user asked
};

struct BuildOptions {
    std::chrono::milliseconds time_limit{std::chrono::seconds(kDefaultBuildTimeLimitSeconds)};
    // Asked about ten times a second while the command runs; true stops it.
    std::function<bool()> cancel_requested;
    // Each line of output as it comes, without its line end; a longer line than kLongestLine is
    // cut there.
    std::function<void(std::string_view line)> on_line;
};

struct BuildResult {
    BuildEnd end = BuildEnd::Exited;
    int status = -1;     // the exit status; 128 + the signal when the command was killed
    std::string output;  // the first kKeptOutput bytes of its output (stdout and stderr as they
                         // came, interleaved)
    std::uint64_t output_bytes = 0;  // all that it printed
};

inline constexpr std::size_t kKeptOutput = 1024 * 1024;
inline constexpr std::size_t kLongestLine = 64 * 1024;

// Runs `command` with /bin/sh -c in `directory`, with no input, in a process group of its own.
// When its first process ends, the processes it left behind are killed (a build is over when
// its command is), and output that they handed on to others is read only for a moment more.
// At the time limit or on cancel the whole group is killed; should Lexorin itself be killed,
// a keeper process in the group kills it. Raises an Error when the command cannot be started at
// all; a command that the shell cannot find ends with status 127.
BuildResult RunBuildCommand(const std::string& command, const std::string& directory,
                            const BuildOptions& options = {});

}  // namespace lexorin::code
