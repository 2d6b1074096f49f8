#include "cli/restore_commands.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "app/commands.h"
#include "base/file_utils.h"
#include "base/text_utils.h"

namespace lexorin::cli {

namespace {

// A unit given with a folder is taken from the working directory, as the project's units are
// stored with full paths; a bare file name stands for every unit of that name.
std::string unit_argument(const std::string& unit) {
    if (unit.find('/') == std::string::npos) return unit;
    std::filesystem::path path(unit);
    if (path.is_relative()) {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd)) path = std::filesystem::path(cwd) / path;
    }
    return path.lexically_normal().string();
}

std::int64_t index_argument(const std::string& text) {
    const std::string digits = trim(text);
    if (digits.empty() || digits.size() > 18 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("--index must be a row number, not " + text);
    return std::stoll(digits);
}

// "s_4 s_5 s_9", or the first few and a count of the others: a line may hold tens of thousands.
std::string reference_list(const std::vector<std::int64_t>& indexes) {
    constexpr size_t kListed = 5;
    std::string text;
    for (size_t i = 0; i < indexes.size() && i < kListed; ++i)
        text += (i > 0 ? " s_" : "s_") + std::to_string(indexes[i]);
    if (indexes.size() > kListed)
        text += " and " + std::to_string(indexes.size() - kListed) + " more";
    return text;
}

int restore_code(Context& context, Arguments& args) {
    code::RestoreSelection selection;
    for (const auto& unit : args.options("--unit")) selection.units.push_back(unit_argument(unit));
    for (const auto& index : args.options("--index"))
        selection.indexes.push_back(index_argument(index));
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    const auto restored = commands::RestoreCode(project->handles(), selection, context.reporter);
    if (!restored) return 1;
    const code::RestoreReport& report = *restored;
    context.reporter.end_live_line();
    // One line per changed line: its references, unit and line, the line as it reads now (cut
    // short); a unit's lines beyond the first few are counted.
    for (const auto& unit : report.units) {
        for (const auto& line : unit.lines)
            std::cout << reference_list(line.indexes) << "\t" << unit.unit << ":" << line.line
                      << "\t" << escape_field(line.text) << "\n";
        if (unit.unlisted_lines > 0)
            std::cout << "... and " << unit.unlisted_lines << " more lines of " << unit.unit << " ("
                      << unit.unlisted_rows << " strings)\n";
    }

    std::cerr << report.rows.size() << " strings restored, " << report.whole_units.size()
              << " units given back whole, " << report.failed.size() << " units failed\n";
    for (const auto& unit : report.whole_units) std::cerr << "  given back whole " << unit << "\n";
    if (!report.without_reference.empty())
        std::cerr << "  no line refers to " << reference_list(report.without_reference) << "\n";
    for (const auto& [unit, reason] : report.failed)
        std::cerr << "  not restored " << unit << ": " << one_line(reason) << "\n";
    return report.failed.empty() ? 0 : 1;
}

}  // namespace

Command restore_code_command() {
    return {"restore-code", "PROJECT LANG [--unit FILE]... [--index N]...",
            "give literals back to the units (all without --unit/--index)", restore_code};
}

int verify_after_scan(Context& context, commands::OpenedProject& project,
                      const commands::VerifyOptions& options) {
    const auto report = commands::VerifyCode(project.handles(), context.reporter, options);
    if (!report) return 1;
    context.reporter.end_live_line();
    for (const auto& line : code::VerifyReportLines(*report)) std::cerr << line << "\n";
    if (!report->has_command) return 0;
    return report->compiles ? 0 : 1;
}

}  // namespace lexorin::cli
