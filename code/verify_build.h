#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/reporter.h"
#include "code/restore_code.h"
#include "project/language_list.h"
#include "store/translation_tables.h"

// The compiler as judge of a code scan: the project is built with its own build command, and
// every rewritten line the compiler refuses gets its literals back, until it compiles. A literal
// handed to a PChar parameter, a typed constant or a case label compiles only as a literal.
namespace lexorin::code {

// Builds at most this many times.
inline constexpr int kVerifyRounds = 20;

struct VerifyReport {
    bool has_command = false;  // false: nothing was built
    int rounds = 0;            // builds run
    bool compiles = false;
    std::vector<RestoredRow> restored;  // in the order they were given back
    // The units that could not be given back, with the reason.
    std::vector<std::pair<std::string, std::string>> failed;
    // The error lines of the last build, when it failed.
    std::vector<std::string> last_errors;
    std::string last_output;  // all that the last build printed
};

struct VerifyTarget {
    std::string project;
    LanguageList languages;  // the selected one is the one just scanned
    std::string directory;   // the project directory, where the command runs
    std::string command;     // the project's build command
};

// Writes the resource-string files and the glue files into the project directory (the build
// needs declarations of every s_N), then builds; while the build fails on lines that refer to
// strings, gives those lines' literals back (RestoreCode, by Index) and builds again. Stops when
// it compiles, when no reported line holds a reference, or after `max_rounds` builds.
VerifyReport VerifyBuild(store::TDaten& daten, const VerifyTarget& target, Reporter& reporter,
                         int max_rounds = kVerifyRounds);

// The report as lines of text, for an information box or a terminal.
std::vector<std::string> VerifyReportLines(const VerifyReport& report);

}  // namespace lexorin::code
