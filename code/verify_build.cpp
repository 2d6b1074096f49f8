#include "code/verify_build.h"

#include <filesystem>
#include <map>
#include <set>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/build_command.h"
#include "code/compiler_messages.h"
#include "code/resource_strings.h"
#include "code/restore_lines.h"
#include "code/translator.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::code {

namespace {

namespace fs = std::filesystem;

std::string Normal(const std::string& path) {
    return fs::path(path).lexically_normal().string();
}

std::vector<std::string> ScannedUnits(store::TDaten& daten, const std::string& project) {
    store::Table files(daten.session(), daten.program_directory(),
                       store::table_file_name(project, "", store::TableKind::PasFiles));
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
std::set<std::int64_t> ReferencesOnReportedLines(const std::vector<CompilerMessage>& messages,
                                                 const std::string& directory,
                                                 const std::vector<std::string>& units) {
    std::set<std::int64_t> indexes;
    std::map<std::string, std::vector<std::string>> read;
    for (const CompilerMessage& message : messages) {
        for (const std::string& unit : UnitsNamed(message.file, directory, units)) {
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
            if (message.line < 1 || message.line > static_cast<int>(lines.size())) continue;
            const std::string& line = lines[static_cast<size_t>(message.line - 1)];
            if (starts_with(line, "//TL:")) continue;
            for (std::int64_t index : ReferencesIn(line)) indexes.insert(index);
        }
    }
    return indexes;
}

void WriteDeclarations(store::TDaten& daten, const VerifyTarget& target, Reporter& reporter) {
    store::Table pascal(daten.session(), daten.program_directory(),
                        store::table_file_name(target.project,
                                               target.languages.has_selection()
                                                   ? target.languages.selected_language()
                                                   : target.languages.items.at(0),
                                               store::TableKind::Pascal));
    pascal.open();
    WriteResourceStringFiles(daten.session(), pascal, target.directory, daten.code_page(),
                             &reporter);
    CopyGlueFiles(daten.program_directory(), target.directory);
}

}  // namespace

VerifyReport VerifyBuild(store::TDaten& daten, const VerifyTarget& target, Reporter& reporter,
                         int max_rounds) {
    VerifyReport report;
    report.has_command = !trim(target.command).empty();
    if (!report.has_command) return report;
    if (target.languages.items.empty()) throw Error("You have to add a language first.");
    WriteDeclarations(daten, target, reporter);
    const std::vector<std::string> units = ScannedUnits(daten, target.project);

    std::set<std::int64_t> tried;
    while (report.rounds < max_rounds) {
        ++report.rounds;
        reporter.status("Building: " + target.command);
        reporter.process_events();
        BuildResult build = RunBuildCommand(target.command, target.directory);
        report.last_output = build.output;
        report.last_errors.clear();
        if (build.status == 0) {
            report.compiles = true;
            break;
        }
        const std::vector<CompilerMessage> messages = ParseCompilerMessages(build.output);
        for (const auto& message : messages) report.last_errors.push_back(message.text);
        if (messages.empty())
            report.last_errors.push_back("The build command ended with status " +
                                         std::to_string(build.status) + ".");
        std::set<std::int64_t> refused =
            ReferencesOnReportedLines(messages, target.directory, units);
        RestoreSelection selection;
        for (std::int64_t index : refused)
            if (tried.insert(index).second) selection.indexes.push_back(index);
        if (selection.indexes.empty()) break;  // nothing the compiler refused can be given back
        RestoreReport restored =
            RestoreCode(daten, target.project, target.languages, selection, reporter);
        report.restored.insert(report.restored.end(), restored.rows.begin(), restored.rows.end());
        report.failed.insert(report.failed.end(), restored.failed.begin(), restored.failed.end());
        if (restored.rows.empty()) break;
    }
    reporter.status("");
    return report;
}

std::vector<std::string> VerifyReportLines(const VerifyReport& report) {
    if (!report.has_command)
        return {"No build command is set for this project, so the code was not built."};
    std::vector<std::string> lines;
    for (const RestoredRow& row : report.restored)
        lines.push_back("Restored " + file_name_of(row.unit) + ":" + std::to_string(row.line) +
                        ": " + trim(row.text));
    for (const auto& [unit, reason] : report.failed)
        lines.push_back("Not restored " + unit + ": " + reason);
    const std::string builds =
        std::to_string(report.rounds) + (report.rounds == 1 ? " build" : " builds");
    if (report.compiles) {
        lines.push_back("The project compiles (" + builds + ").");
    } else {
        lines.push_back("The project does not compile (" + builds + "). The last errors:");
        for (const auto& error : report.last_errors) lines.push_back("  " + error);
    }
    return lines;
}

}  // namespace lexorin::code
