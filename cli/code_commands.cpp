// scan-code, write-code and translate.
#include <algorithm>
#include <iostream>
#include <optional>

#include "app/commands.h"
#include "app/report_text.h"
#include "base/text_utils.h"
#include "cli/command_line.h"
#include "cli/restore_commands.h"
#include "code/code_scan.h"
#include "editor/row_text.h"

namespace lexorin::cli {

namespace {

void print_summary(const code::CodeScanReport& report, bool dry_run) {
    std::cerr << commands::CodeScanCounts(report, dry_run) << "\n";
    const std::string left_alone = code::LeftAloneSummary(report.left_alone);
    if (!left_alone.empty()) std::cerr << left_alone << "\n";
    for (const auto& line : commands::SkippedLines(report.skipped, commands::Reasons::OnOneLine))
        std::cerr << "  skipped " << line << "\n";
}

// --timeout SECONDS: a whole number of seconds, at least one.
int seconds_argument(const std::string& text) {
    const std::string digits = trim(text);
    if (digits.empty() || digits.size() > 7 ||
        digits.find_first_not_of("0123456789") != std::string::npos || std::stoi(digits) < 1)
        throw UsageError("--timeout must be a number of seconds, not " + text);
    return std::stoi(digits);
}

int scan_code(Context& context, Arguments& args) {
    bool dry_run = args.flag("--dry-run");
    bool verify = args.flag("--verify");
    const std::optional<std::string> timeout = args.option("--timeout");
    if (dry_run && verify)
        throw UsageError("--verify builds the rewritten code: not with --dry-run");
    if (timeout && !verify) throw UsageError("--timeout limits the builds of --verify");
    commands::VerifyOptions verify_options;
    if (timeout) verify_options.time_limit_seconds = seconds_argument(*timeout);
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    const auto result =
        commands::ScanCode(project->handles(), {.dry_run = dry_run}, context.reporter);
    if (!result) return 1;
    context.reporter.end_live_line();
    const code::CodeScanReport& report = result->report;
    if (dry_run) {
        // The rows a scan would add: reference, unit and line, ignore flag, original as it reads
        // (the row keeps the literal's body), as `strings` prints it.
        for (const auto& [index, found] : report.would_add)
            std::cout << "s_" << index << "\t" << found.unit_path << ":" << found.original_line
                      << "\t" << (found.ignore ? "Wahr" : "Falsch") << "\t"
                      << escape_field(editor::ShownText(found.original, true)) << "\n";
        print_summary(report, true);
        return 0;
    }
    if (!result->scanned) {
        std::cerr << "Nothing was scanned.\n";
        return 1;
    }
    context.reporter.information("Scanned.");
    print_summary(report, false);
    const int verified = verify ? verify_after_scan(context, *project, verify_options) : 0;
    // A unit that could not be scanned is a failure the last line names.
    const int scanned = report_failed_files(
        report.skipped, report.skipped.size() + static_cast<size_t>(report.units_scanned),
        "units could not be scanned");
    return std::max(verified, scanned);
}

int write_code(Context& context, Arguments& args) {
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    return commands::WriteCode(project->handles(), context.reporter) ? 0 : 1;
}

int translate(Context& context, Arguments& args) {
    commands::TranslationEdit edit;
    edit.forms = args.option("--kind").value_or("code") == "forms";
    auto words = args.positional(4);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    edit.row = trim(words[2]);
    if (edit.row.empty() || edit.row.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("INDEX must be a row number, not " + words[2]);
    edit.text = words[3];  // as it reads
    return commands::Translate(project->handles(), edit, context.reporter) ? 0 : 1;
}

}  // namespace

void add_code_commands(std::vector<Command>& commands) {
    commands.push_back({"scan-code", "PROJECT LANG [--dry-run|--verify [--timeout SECONDS]]",
                        "scan and rewrite the units; --dry-run only reports, --verify builds "
                        "and gives back what the compiler refuses (each build stopped after "
                        "--timeout seconds, else the project's Cbuildtimeout)",
                        scan_code});
    commands.push_back(restore_code_command());
    commands.push_back({"write-code", "PROJECT LANG",
                        "write strings.org, strings.tra and the glue files", write_code});
    commands.push_back({"translate", "PROJECT LANG INDEX TEXT [--kind code|forms]",
                        "set the translation of one row, as the editor posts it", translate});
}

}  // namespace lexorin::cli
