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

#include "corpus/glue_switches.h"
#include "corpus/lazarus_localisation.h"
#include "corpus/lazarus_programs.h"
#include "support/test_support.h"

namespace lexorin::corpus {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::TempDir;

constexpr size_t kLeastPrograms = 15;

TEST(LazarusExamples, LocalisedByTheCommandLineTheyBuildInTheOriginalAndLinkTranslated) {
    const Lazarus lazarus = FindLazarus();
    const std::string nogui = lazarus.FpcOptions("nogui");
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
        const std::string main = MainFile(folder.string());
        if (main.empty() || !HasForm(folder.string())) continue;
        const std::string copy = work.file(name);
        fs::copy(folder, copy, fs::copy_options::recursive);
        if (!BuildProgram(nogui, copy, main).linked) {
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
        try {
            const Localisation done = LocaliseWithCli(work, name);
            EXPECT_NE(done.shown.find("Lazarus"), std::string::npos) << "the kind is detected";
            rows += done.rows;
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            continue;
        }
        const Build original = BuildProgram(nogui, folder, main);
        EXPECT_TRUE(original.linked) << "the original build\n" << Tail(original.output);
        TurnOnGlueSwitch(folder, "TranslatedStrings");
        TurnOnGlueSwitch(folder, "TranslatedForm");
        const Build translated = BuildProgram(nogui, folder, main);
        EXPECT_TRUE(translated.linked) << "the translated build\n" << Tail(translated.output);
    }
    std::cout << programs.size() << " programs, " << rows << " rows translated\n";
}

}  // namespace
}  // namespace lexorin::corpus
