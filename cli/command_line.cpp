#include "cli/command_line.h"

#include <iostream>

#include "base/file_utils.h"
#include "base/text_utils.h"

namespace lexorin::cli {

bool Arguments::flag(const std::string& name) {
    bool found = false;
    for (auto it = words_.begin(); it != words_.end();) {
        if (*it == name) {
            found = true;
            it = words_.erase(it);
        } else {
            ++it;
        }
    }
    return found;
}

std::vector<std::string> Arguments::options(const std::string& name) {
    std::vector<std::string> values;
    for (auto it = words_.begin(); it != words_.end();) {
        if (*it == name) {
            if (it + 1 == words_.end()) throw UsageError(name + " needs a value");
            values.push_back(*(it + 1));
            it = words_.erase(it, it + 2);
        } else if (starts_with(*it, name + "=")) {
            values.push_back(it->substr(name.size() + 1));
            it = words_.erase(it);
        } else {
            ++it;
        }
    }
    return values;
}

std::optional<std::string> Arguments::option(const std::string& name) {
    auto values = options(name);
    if (values.empty()) return std::nullopt;
    return values.back();
}

std::vector<std::string> Arguments::positional_at_least(size_t min) {
    for (const auto& w : words_)
        if (starts_with(w, "--")) throw UsageError("unknown option " + w);
    if (words_.size() < min) throw UsageError("missing arguments");
    return words_;
}

std::vector<std::string> Arguments::positional(size_t count) {
    auto words = positional_at_least(count);
    if (words.size() > count) throw UsageError("too many arguments: " + words[count]);
    return words;
}

std::string escape_field(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

int report_failures(const std::vector<std::string>& reasons, size_t total,
                    const std::string& what) {
    if (reasons.empty()) return 0;
    constexpr size_t kReasonsShown = 3;
    std::string line = std::to_string(reasons.size()) + " of " + std::to_string(total) + " " + what;
    for (size_t i = 0; i < reasons.size() && i < kReasonsShown; ++i)
        line += (i == 0 ? ": " : "; ") + one_line(reasons[i]);
    if (reasons.size() > kReasonsShown) line += "; ...";
    std::cerr << line << "\n";
    return 1;
}

int report_failed_files(const std::vector<std::pair<std::string, std::string>>& failed,
                        size_t total, const std::string& what) {
    std::vector<std::string> reasons;
    for (const auto& [file, reason] : failed) reasons.push_back(file_name_of(file) + ": " + reason);
    return report_failures(reasons, total, what);
}

bool parse_yes_no(const std::string& text) {
    std::string t = upper_case(trim(text));
    if (t == "WAHR" || t == "TRUE" || t == "YES" || t == "1") return true;
    if (t == "FALSCH" || t == "FALSE" || t == "NO" || t == "0") return false;
    throw UsageError("expected true or false, not " + text);
}

}  // namespace lexorin::cli
