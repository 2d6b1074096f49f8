#pragma once

#include <string>
#include <utility>
#include <vector>

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

// `text` on one line: each line break (CR, LF or CR LF) becomes a blank, never two in a row.
std::string OneLine(const std::string& text);

}  // namespace lexorin::commands
