// The example programs of the Lazarus sources (Debian's lazarus-src), each a real LCL program with
// its .lpr, its UTF-8 units and its .lfm forms, localised by lexorin-cli alone: added (its kind
// detected), scanned, every row translated into German through a PO file, code and forms
// written. Each is built by plain fpc with Debian's LCL units (the nogui widgetset, no display)
// before, and after with the switches off and with both switches on: the original must still
// build and the translated one must link.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <vector>

#include "cli/cli_fixture.h"
#include "corpus/glue_switches.h"
#include "corpus/mechanical_translation.h"
#include "corpus/stopwatch.h"
#include "support/test_support.h"

namespace lexorin::corpus {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::run_cli_or_throw;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

constexpr size_t kLeastPrograms = 15;
// What a German translator would type before each text: umlauts included, in UTF-8 as PO files
// carry them.
constexpr const char* kTranslationPrefix = "DE \xc3\x84rger ";

// The installed Lazarus: its examples and the unit folders plain fpc needs for an LCL program.
struct Lazarus {
    std::string examples;
    std::string fpc_options;
};

Lazarus FindLazarus() {
    const fs::path root = "/usr/lib/lazarus";
    if (fs::is_directory(root))
        for (const auto& version : fs::directory_iterator(root)) {
            const fs::path dir = version.path();
            const fs::path lcl = dir / "lcl/units/x86_64-linux";
            if (!fs::is_directory(dir / "examples") || !fs::is_directory(lcl / "nogui")) continue;
            return {(dir / "examples").string(),
                    "-MObjFPC -Scghi -Fu" + lcl.string() + " -Fu" + (lcl / "nogui").string() +
                        " -Fu" + (dir / "components/lazutils/lib/x86_64-linux").string() +
                        " -dLCL -dLCLnogui"};
        }
    throw std::runtime_error(
        "Lazarus is not installed: its sources and LCL units come with the packages "
        "lazarus-src-2.2, lcl-units-2.2 and lcl-nogui-2.2 (scripts/install.sh)");
}

// A program's main file: the one .lpr of its folder, or none.
std::string MainFile(const fs::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".lpr") found.push_back(entry.path().filename().string());
    return found.size() == 1 ? found.front() : std::string();
}

bool HasForm(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".lfm") return true;
    return false;
}

struct Build {
    bool linked = false;
    std::string output;
};

// Builds the program from scratch; its units and executable go to a folder of their own.
Build BuildProgram(const Lazarus& lazarus, const std::string& folder, const std::string& main) {
    fs::remove_all(folder + "/out");
    fs::create_directories(folder + "/out");
    const CommandResult result = run_command("cd '" + folder + "' && fpc " + lazarus.fpc_options +
                                             " -B -FEout '" + main + "' 2>&1");
    const bool linked =
        result.status == 0 && fs::exists(folder + "/out/" + fs::path(main).stem().string());
    fs::remove_all(folder + "/out");
    return {linked, result.out + result.err};
}

// The last lines of a build's messages, for a failure's report.
std::string Tail(const std::string& text) {
    const size_t from = text.size() > 1500 ? text.size() - 1500 : 0;
    return text.substr(from);
}

TEST(LazarusExamples, LocalisedByTheCommandLineTheyBuildInTheOriginalAndLinkTranslated) {
    const Lazarus lazarus = FindLazarus();
    TempDir work;
    fs::create_directories(work.file("home"));

    // Every example from a to m with one program file and a form that builds untouched.
    std::vector<std::pair<std::string, std::string>> programs;  // name, main file
    std::vector<std::string> left_out;
    std::vector<fs::path> folders;
    for (const auto& entry : fs::directory_iterator(lazarus.examples))
        if (entry.is_directory()) folders.push_back(entry.path());
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders) {
        const std::string name = folder.filename().string();
        if (name.empty() || name[0] < 'a' || name[0] > 'm') continue;
        const std::string main = MainFile(folder);
        if (main.empty() || !HasForm(folder)) continue;
        const std::string copy = work.file(name);
        fs::copy(folder, copy, fs::copy_options::recursive);
        if (!BuildProgram(lazarus, copy, main).linked) {
            left_out.push_back(name);
            fs::remove_all(copy);
            continue;
        }
        programs.emplace_back(name, main);
    }
    std::cout << programs.size() << " example programs build untouched; left out, as they do not: ";
    for (const auto& name : left_out) std::cout << name << " ";
    std::cout << "\n";
    ASSERT_GE(programs.size(), kLeastPrograms);

    int rows = 0;
    for (const auto& [name, main] : programs) {
        SCOPED_TRACE(name);
        const std::string folder = work.file(name);
        const std::string project = "Lz_" + name;
        try {
            const std::string added =
                run_cli_or_throw(work, "project add " + project + " " + name).out;
            EXPECT_NE(run_cli_or_throw(work, "project show " + project).out.find("Lazarus"),
                      std::string::npos)
                << "the kind is detected";
            run_cli_or_throw(work, "language add " + project + " German");
            run_cli_or_throw(work, "--yes scan-code " + project + " German");
            run_cli_or_throw(work, "scan-forms " + project + " German");
            const std::string po = work.file(name + ".po");
            run_cli_or_throw(work, "export-po " + project + " German '" + po + "'");
            const MechanicalTranslation translation =
                TranslateMechanically(read_test_file(po), kTranslationPrefix);
            rows += translation.entries;
            write_test_file(po, translation.po);
            run_cli_or_throw(work, "import-po " + project + " German '" + po + "'");
            run_cli_or_throw(work, "write-code " + project + " German");
            run_cli_or_throw(work, "write-forms " + project + " German");
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            continue;
        }
        const Build original = BuildProgram(lazarus, folder, main);
        EXPECT_TRUE(original.linked) << "the original build\n" << Tail(original.output);
        TurnOnGlueSwitch(folder, "TranslatedStrings");
        TurnOnGlueSwitch(folder, "TranslatedForm");
        const Build translated = BuildProgram(lazarus, folder, main);
        EXPECT_TRUE(translated.linked) << "the translated build\n" << Tail(translated.output);
    }
    std::cout << programs.size() << " programs, " << rows << " rows translated\n";
}

}  // namespace
}  // namespace lexorin::corpus
