#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "code/build_command.h"
#include "code/restore_code.h"

// The compiler as judge of a code scan: the project is built with its own build command, and
// every rewritten line the compiler refuses gets its literals back, until it compiles. A literal
// handed to a PChar parameter, a typed constant or a case label compiles only as a literal.
namespace lexorin::code {

// Builds at most this many times.
inline constexpr int kVerifyRounds = 20;
// The report lists this many restored lines and counts the others; the same for units that
// could not be given back.
inline constexpr std::size_t kReportedRestoredLines = 200;

struct VerifyReport {
    bool has_command = false;  // false: nothing was built
    int rounds = 0;            // builds run
    bool compiles = false;
    std::vector<RestoredRow> restored;  // in the order they were given back
    // The units that could not be given back, with the reason.
    std::vector<std::pair<std::string, std::string>> failed;
    // How the last build ended: by itself, or stopped at the time limit or by Cancel (then
    // nothing was judged).
    BuildEnd last_end = BuildEnd::Exited;
    std::chrono::seconds time_limit{0};
    // The first error lines of the last build, when it failed (CompilerMessageLog::
    // kShownMessages of them), and the number of the others.
    std::vector<std::string> last_errors;
    std::size_t more_errors = 0;
    std::string last_output;  // the beginning of what the last build printed
};

struct VerifyTarget {
    std::string directory;  // the project directory, where the command runs
    std::string command;    // the project's build command
    // Each build is stopped after this long (the project's Cbuildtimeout).
    std::chrono::seconds time_limit{kDefaultBuildTimeLimitSeconds};
};

// Writes the resource-string files of the selected language of `tables` (the one just scanned)
// and the glue files from the program directory (the folder of the tables) into the project
// directory (the build needs declarations of every s_N), then builds; while the build fails on
// lines that refer to strings, gives those lines' literals back (RestoreCode, by Index) and
// builds again. Stops when it compiles, when no reported line holds a reference, after
// `max_rounds` builds, or when a build is stopped at its time limit or by the reporter's Cancel.
VerifyReport VerifyBuild(ProjectCodeTables& tables, const VerifyTarget& target,
                         const CodePage& code_page, Reporter& reporter,
                         int max_rounds = kVerifyRounds);

// The report as lines of text, for an information box or a terminal.
std::vector<std::string> VerifyReportLines(const VerifyReport& report);

}  // namespace lexorin::code
