#include "corpus/free_pascal.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/test_support.h"

namespace lexorin::corpus {

namespace fs = std::filesystem;
using lexorin::testing::run_command;
using lexorin::testing::write_test_file;

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string AskFpc(const std::string& option) {
    auto answer = run_command("fpc " + option);
    if (answer.status != 0)
        throw std::runtime_error("fpc " + option + " failed (is Free Pascal installed? " +
                                 "scripts/install.sh installs it): " + answer.err);
    return Trimmed(answer.out);
}

bool IsUnitsRoot(const fs::path& folder) {
    return fs::exists(folder / "rtl" / "system.ppu");
}

// Debian keeps the units under /usr/lib/<multiarch>/fpc, a build from source under
// /usr/local/lib/fpc or /usr/lib/fpc.
std::string FindUnitsRoot(const std::string& version, const std::string& target) {
    const fs::path tail = fs::path("fpc") / version / "units" / target;
    std::vector<fs::path> candidates = {"/usr/local/lib" / tail, "/usr/lib" / tail};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/usr/lib", ec))
        if (entry.is_directory()) candidates.push_back(entry.path() / tail);
    for (const auto& candidate : candidates)
        if (IsUnitsRoot(candidate)) return candidate.string();
    throw std::runtime_error("no precompiled units of Free Pascal " + version + " for " + target +
                             " (looked for rtl/system.ppu under /usr/lib/*/" + tail.string() + ")");
}

// The fpc-source package puts the library sources into /usr/share/fpcsrc/<version>.
std::string FindSourceRoot(const std::string& version) {
    const fs::path root = "/usr/share/fpcsrc";
    if (fs::is_directory(root / version / "packages")) return (root / version).string();
    std::vector<fs::path> trees;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec))
        if (fs::is_directory(entry.path() / "packages")) trees.push_back(entry.path());
    if (trees.empty())
        throw std::runtime_error(
            "the Free Pascal library sources are missing: no /usr/share/fpcsrc/*/packages "
            "(scripts/install.sh installs Debian's fpc-source package)");
    std::sort(trees.begin(), trees.end());
    return trees.back().string();
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

}  // namespace

FreePascal FindFreePascal() {
    FreePascal fpc;
    fpc.version = AskFpc("-iV");
    fpc.target = AskFpc("-iTP") + "-" + AskFpc("-iTO");
    fpc.units_root = FindUnitsRoot(fpc.version, fpc.target);
    fpc.source_root = FindSourceRoot(fpc.version);
    return fpc;
}

std::vector<std::string> InstalledUnitFolders(const FreePascal& fpc,
                                              const std::set<std::string>& left_out) {
    std::vector<std::string> folders;
    for (const auto& entry : fs::directory_iterator(fpc.units_root))
        if (entry.is_directory() && !left_out.count(entry.path().filename().string()))
            folders.push_back(entry.path().string());
    std::sort(folders.begin(), folders.end());
    return folders;
}

std::set<std::string> PrecompiledUnitNames(const std::vector<std::string>& folders) {
    std::set<std::string> names;
    for (const auto& folder : folders)
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".ppu") names.insert(entry.path().stem().string());
    return names;
}

void WriteOptionFile(const std::string& path, const std::vector<std::string>& unit_folders,
                     const std::vector<std::string>& source_folders) {
    std::ostringstream options;
    // The corpus units carry their own {$mode}; lx_lang has none and needs resourcestring.
    // -Sgic (goto, inline, C operators) is what Debian's fpc.cfg switches on for everyone.
    options << "-Mobjfpc\n-Sgic\n-vb\n";
    for (const auto& folder : unit_folders) options << "-Fu" << folder << "\n";
    for (const auto& folder : source_folders)
        options << "-Fu" << folder << "\n-Fi" << folder << "\n";
    write_test_file(path, options.str());
}

CompileOutcome CompileMainFile(const std::string& options, const std::string& unit_output,
                               const std::string& source, const std::string& extra) {
    fs::create_directories(unit_output);
    CompileOutcome outcome;
    // -n: no fpc.cfg, so the unit path is exactly the option file's and no precompiled unit of
    // a copied package can stand in for its copy.
    outcome.command = "fpc -n @" + Quoted(options) + " -FU" + Quoted(unit_output) + " -FE" +
                      Quoted(unit_output) + (extra.empty() ? "" : " " + extra) + " " +
                      Quoted(source);
    auto result = run_command(outcome.command);
    outcome.compiled = result.status == 0;
    outcome.output = result.out + result.err;
    return outcome;
}

std::map<std::string, CompileOutcome> CompileEach(
    const std::string& options, const std::string& output_root,
    const std::vector<std::vector<std::string>>& groups, unsigned workers, MainUnit main_unit) {
    std::map<std::string, CompileOutcome> outcomes;
    std::mutex outcomes_lock;
    std::atomic<size_t> next{0};
    auto work = [&](unsigned worker) {
        const std::string unit_output = output_root + "/worker" + std::to_string(worker);
        for (size_t group = next++; group < groups.size(); group = next++) {
            for (const auto& source : groups[group]) {
                CompileOutcome outcome = CompileMainFile(options, unit_output, source);
                if (main_unit == MainUnit::Removed) {
                    std::string name = fs::path(source).stem().string();
                    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
                        return static_cast<char>(std::tolower(c));
                    });  // fpc names its output in lower case
                    const fs::path stem = fs::path(unit_output) / name;
                    for (const char* extension : {".ppu", ".o", ".rsj"})
                        fs::remove(fs::path(stem).replace_extension(extension));
                }
                std::lock_guard<std::mutex> hold(outcomes_lock);
                outcomes[source] = std::move(outcome);
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned w = 0; w < std::max(1u, workers); ++w) threads.emplace_back(work, w);
    for (auto& thread : threads) thread.join();
    return outcomes;
}

std::vector<FpcMessage> ErrorMessages(const std::string& output) {
    static const std::regex located(R"(^(.*)\((\d+)(?:,\d+)?\) (?:Error|Fatal): .*$)");
    static const std::regex tally(
        R"(There were \d+ errors compiling module|Compilation aborted|returned an error exitcode)");
    std::vector<FpcMessage> messages;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find("Error: ") == std::string::npos && line.find("Fatal: ") == std::string::npos)
            continue;
        if (std::regex_search(line, tally)) continue;
        FpcMessage message;
        message.text = line;
        std::smatch match;
        if (std::regex_match(line, match, located)) {
            message.file = match[1];
            message.line = std::stoi(match[2]);
        }
        messages.push_back(std::move(message));
    }
    return messages;
}

}  // namespace lexorin::corpus
