#include "app/report_text.h"

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
