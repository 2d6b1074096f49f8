#pragma once

#include <optional>
#include <string>
#include <vector>

#include "code/code_scan_options.h"
#include "code/unit_scanner.h"

namespace lexorin::code::test {

// The scan options as the scan dialogs set them, accepting literals with a letter in them.
inline CodeScanOptions LetterOptions() {
    CodeScanOptions options;
    options.required_chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return options;
}

struct Scan {
    std::vector<std::string> lines;
    std::vector<std::pair<std::int64_t, FoundString>> rows;
    std::optional<std::string> original_uses_line;
    std::optional<std::string> original_form_line;
    std::vector<std::string> originals() const {
        std::vector<std::string> texts;
        for (const auto& row : rows) texts.push_back(row.second.original);
        return texts;
    }
};

// Rewrites the lines in memory, numbering strings from 1.
inline Scan RunScan(const UnitScanner& scanner, std::vector<std::string> lines,
                    const std::string& path = "/p/unit1.pas") {
    MemoryStringStore strings;
    UnitRewrite rewrite = scanner.RewriteUnit(path, std::move(lines), strings);
    return {rewrite.lines, strings.rows(), rewrite.original_uses_line, rewrite.original_form_line};
}
inline Scan RunScan(const CodeScanOptions& options, std::vector<std::string> lines,
                    const std::string& path = "/p/unit1.pas") {
    return RunScan(UnitScanner(options), std::move(lines), path);
}

// The lines of a routine body in a unit's implementation part, so that literals count. The
// uses clause and the heading share the first line, so the body starts on the second line.
inline constexpr const char* kImplementationLine =
    "implementation uses lx_lang; procedure Test; begin";
inline std::vector<std::string> InImplementation(std::vector<std::string> body) {
    body.insert(body.begin(), kImplementationLine);
    return body;
}

}  // namespace lexorin::code::test
