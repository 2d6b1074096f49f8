#include "app/report_text.h"

#include "code/code_scan.h"
#include "forms/form_scan.h"

namespace lexorin::commands {

std::vector<std::string> SkippedLines(const FileReasons& skipped, Reasons reasons) {
    std::vector<std::string> lines;
    lines.reserve(skipped.size());
    for (const auto& [file, reason] : skipped)
        lines.push_back(file + ": " + (reasons == Reasons::OnOneLine ? OneLine(reason) : reason));
    return lines;
}

std::string SkippedMessage(const FileReasons& skipped, const std::string& what) {
    std::string text = std::to_string(skipped.size()) + " " + what;
    for (const auto& line : SkippedLines(skipped, Reasons::AsWritten)) text += "\r" + line;
    return text;
}

std::string CodeScanCounts(const code::CodeScanReport& report, bool dry_run) {
    std::string text = std::to_string(report.units_scanned) +
                       (dry_run ? " units would be scanned, " : " units scanned, ") +
                       std::to_string(report.strings_found) + " strings found";
    if (dry_run) text += ", " + std::to_string(report.lines_changed) + " lines would change";
    return text + ", " + std::to_string(report.skipped.size()) + " units skipped";
}

std::string FormScanCounts(const forms::FormScanReport& report) {
    return std::to_string(report.forms_scanned) + " forms scanned, " +
           std::to_string(report.strings_found) + " strings found, " +
           std::to_string(report.skipped.size()) + " forms skipped";
}

std::string ScannedMessage(const std::string& counts) {
    return "Scanned.\r" + counts + ".";
}

std::string MessageWithLines(const std::string& message, const std::vector<std::string>& lines,
                             size_t shown) {
    std::string text = message;
    if (!lines.empty()) text += "\r";
    for (size_t i = 0; i < lines.size() && i < shown; ++i) text += "\r" + lines[i];
    if (lines.size() > shown)
        text += "\r... and " + std::to_string(lines.size() - shown) + " more.";
    return text;
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (!out.empty() && out.back() != ' ') out += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace lexorin::commands
