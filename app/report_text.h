#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace lexorin::code {
struct CodeScanReport;
}
namespace lexorin::forms {
struct FormScanReport;
}

// The texts both front ends make of a command's report, so that the window and the command line
// name the same files with the same reasons.
namespace lexorin::commands {

// The files a command left as they were, each with the reason.
using FileReasons = std::vector<std::pair<std::string, std::string>>;

// How a front end shows a reason of several lines.
enum class Reasons {
    AsWritten,  // a message box breaks its lines
    OnOneLine,  // the command line keeps one line per file
};

// One "<file>: <reason>" per file a scan left as it was, in the report's order.
std::vector<std::string> SkippedLines(const FileReasons& skipped, Reasons reasons);

// The warning a window shows for them: "<count> <what>" and the lines, CR between, e.g.
// "2 units were left as they were:\ra.pas: ...\rb.pas: ...".
std::string SkippedMessage(const FileReasons& skipped, const std::string& what);

// The counts of a code scan, as the command line prints them after "Scanned.": "12 units
// scanned, 40 strings found, 1 units skipped" (a dry run: "12 units would be scanned, 40 strings
// found, 9 lines would change, 1 units skipped").
std::string CodeScanCounts(const code::CodeScanReport& report, bool dry_run);
// The same for a forms scan: "3 forms scanned, 25 strings found, 0 forms skipped".
std::string FormScanCounts(const forms::FormScanReport& report);
// The box that ends a scan in the window: "Scanned." with the counts on the next line.
std::string ScannedMessage(const std::string& counts);

// A command's message with the lines that go with it (entries not applied, notes), as a box shows
// it: the message, a blank line and the lines, CR between; of many lines the first `shown` and
// "... and <n> more.", so that the box still fits on the screen.
std::string MessageWithLines(const std::string& message, const std::vector<std::string>& lines,
                             size_t shown = 20);

// `text` on one line: each line break (CR, LF or CR LF) becomes a blank, never two in a row.
std::string OneLine(const std::string& text);

}  // namespace lexorin::commands
