#include "code/verify_build.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/build_command.h"
#include "code/compiler_messages.h"
#include "code/marker_line.h"
#include "code/resource_strings.h"
#include "code/restore_lines.h"
#include "code/unit_scanner.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::code {

namespace {

namespace fs = std::filesystem;

std::string Normal(const std::string& path) {
    return fs::path(path).lexically_normal().string();
}

std::vector<std::string> ScannedUnits(const store::UnitFiles& unit_files) {
    store::Table files(unit_files.table().session(), unit_files.directory(),
                       unit_files.file_name());
    files.open();
    std::vector<std::string> units;
    for (files.first(); !files.eof(); files.next())
        if (upper_case(files.text(store::field::UnitName)) != upper_case(store::kShowAll))
            units.push_back(files.text(store::field::Directory));
    return units;
}

// The scanned units a compiler's file name stands for: the same path (taken in the project
// directory when relative), else the units of that file name (compilers may change its case).
std::vector<std::string> UnitsNamed(const std::string& file, const std::string& directory,
                                    const std::vector<std::string>& units) {
    const std::string wanted =
        Normal(fs::path(file).is_absolute() ? file : join_path(directory, file));
    std::vector<std::string> found;
    for (const auto& unit : units)
        if (Normal(unit) == wanted) found.push_back(unit);
    if (!found.empty()) return found;
    for (const auto& unit : units)
        if (equal_no_case(file_name_of(unit), file_name_of(file))) found.push_back(unit);
    return found;
}

// The rows whose references stand on the lines the compiler refused.
std::set<std::int64_t> ReferencesOnReportedLines(
    const std::set<std::pair<std::string, int>>& places, const std::string& directory,
    const std::vector<std::string>& units) {
    std::set<std::int64_t> indexes;
    std::map<std::string, std::vector<std::string>> read;
    for (const auto& [file, line_number] : places) {
        for (const std::string& unit : UnitsNamed(file, directory, units)) {
            auto it = read.find(unit);
            if (it == read.end()) {
                std::vector<std::string> lines;
                try {
                    lines = read_text_lines(ReadUnitText(unit));
                } catch (const Error&) {
                }
                it = read.emplace(unit, std::move(lines)).first;
            }
            const auto& lines = it->second;
            if (line_number < 1 || line_number > static_cast<int>(lines.size())) continue;
            const std::string& line = lines[static_cast<size_t>(line_number - 1)];
            if (IsMarkerLine(line)) continue;
            for (std::int64_t index : ReferencesIn(line)) indexes.insert(index);
        }
    }
    return indexes;
}

void WriteDeclarations(ProjectCodeTables& tables, const VerifyTarget& target,
                       const CodePage& code_page, Reporter& reporter) {
    WriteResourceStringFiles(tables.selected(), target.directory, code_page, &reporter);
    CopyGlueFiles(tables.units.directory(), target.directory);
}

// The status text is cleared however the verification ends: it also takes away the window's
// Cancel button.
struct ClearStatus {
    Reporter& reporter;
    ~ClearStatus() {
        try {
            reporter.status("");
        } catch (...) {
        }
    }
};

// One build, its errors read while it prints them; the Cancel button asked between.
BuildResult Build(const VerifyTarget& target, CompilerMessageLog& errors, Reporter& reporter) {
    BuildOptions options;
    options.time_limit = target.time_limit;
    const auto started = std::chrono::steady_clock::now();
    long long shown_seconds = 0;
    options.cancel_requested = [&] {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - started)
                                 .count();
        if (seconds != shown_seconds) {
            shown_seconds = seconds;
            reporter.status("Building (" + std::to_string(seconds) + " s): " + target.command);
        }
        return reporter.cancel_requested();
    };
    options.on_line = [&](std::string_view line) { errors.add_line(line); };
    reporter.status("Building: " + target.command);
    return RunBuildCommand(target.command, target.directory, options);
}

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A line's text in a report: without its indentation, and cut where a generated unit's lines
// would fill screens.
std::string Excerpt(const std::string& text) {
    std::string line = trim(text);
    if (line.size() > kExcerptLength) line = line.substr(0, kExcerptLength) + "...";
    return line;
}

// "Restored unit.pas:12: the line" once per line, however many of its literals came back.
void AddRestoredLines(const std::vector<RestoredRow>& rows, std::vector<std::string>& lines) {
    std::set<std::tuple<std::string, int, std::string>> listed;
    std::size_t shown = 0, more = 0;
    for (const RestoredRow& row : rows) {
        if (!listed.emplace(row.unit, row.line, row.text).second) continue;
        if (shown == kReportedRestoredLines) {
            ++more;
            continue;
        }
        ++shown;
        lines.push_back("Restored " + file_name_of(row.unit) + ":" + std::to_string(row.line) +
                        ": " + Excerpt(row.text));
    }
    if (more > 0)
        lines.push_back("... and " + Plural(more, "more restored line", "more restored lines") +
                        " (" + Plural(rows.size(), "string", "strings") + " given back in all)");
}

}  // namespace

VerifyReport VerifyBuild(ProjectCodeTables& tables, const VerifyTarget& target,
                         const CodePage& code_page, Reporter& reporter, int max_rounds) {
    VerifyReport report;
    report.has_command = !trim(target.command).empty();
    report.time_limit = target.time_limit;
    if (!report.has_command) return report;
    ClearStatus clear_status{reporter};
    WriteDeclarations(tables, target, code_page, reporter);
    const std::vector<std::string> units = ScannedUnits(tables.units);

    std::set<std::int64_t> tried;
    while (report.rounds < max_rounds) {
        ++report.rounds;
        CompilerMessageLog errors;
        BuildResult build = Build(target, errors, reporter);
        report.last_output = std::move(build.output);
        report.last_end = build.end;
        report.last_errors.clear();
        report.more_errors = 0;
        if (build.end != BuildEnd::Exited) break;  // stopped: nothing to judge
        if (build.status == 0) {
            report.compiles = true;
            break;
        }
        for (const auto& message : errors.shown()) report.last_errors.push_back(message.text);
        report.more_errors = errors.count() - errors.shown().size();
        if (errors.count() == 0)
            report.last_errors.push_back("The build command ended with status " +
                                         std::to_string(build.status) + ".");
        std::set<std::int64_t> refused =
            ReferencesOnReportedLines(errors.places(), target.directory, units);
        RestoreSelection selection;
        for (std::int64_t index : refused)
            if (tried.insert(index).second) selection.indexes.push_back(index);
        if (selection.indexes.empty()) break;  // nothing the compiler refused can be given back
        RestoreReport restored = RestoreCode(tables, selection, reporter);
        report.restored.insert(report.restored.end(), restored.rows.begin(), restored.rows.end());
        report.failed.insert(report.failed.end(), restored.failed.begin(), restored.failed.end());
        if (restored.rows.empty()) break;
    }
    return report;
}

std::vector<std::string> VerifyReportLines(const VerifyReport& report) {
    if (!report.has_command)
        return {"No build command is set for this project, so the code was not built."};
    std::vector<std::string> lines;
    AddRestoredLines(report.restored, lines);
    for (std::size_t i = 0; i < report.failed.size(); ++i) {
        if (i == kReportedRestoredLines) {
            lines.push_back("... and " +
                            Plural(report.failed.size() - i, "more unit", "more units") +
                            " not restored");
            break;
        }
        lines.push_back("Not restored " + report.failed[i].first + ": " + report.failed[i].second);
    }
    const std::string builds = Plural(static_cast<std::size_t>(report.rounds), "build", "builds");
    if (report.last_end == BuildEnd::TimedOut) {
        lines.push_back(
            "The build command did not end within its time limit of " +
            Plural(static_cast<std::size_t>(report.time_limit.count()), "second", "seconds") +
            " and was stopped, with every process it started (" + builds +
            "). The project was not verified.");
    } else if (report.last_end == BuildEnd::Cancelled) {
        lines.push_back("The build was cancelled and stopped, with every process it started (" +
                        builds + "). The project was not verified.");
    } else if (report.compiles) {
        lines.push_back("The project compiles (" + builds + ").");
    } else {
        lines.push_back("The project does not compile (" + builds + "). The last errors:");
        for (const auto& error : report.last_errors) lines.push_back("  " + error);
        if (report.more_errors > 0)
            lines.push_back("  ... and " + Plural(report.more_errors, "more error", "more errors"));
    }
    return lines;
}

}  // namespace lexorin::code
