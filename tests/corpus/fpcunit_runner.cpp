#include "corpus/fpcunit_runner.h"

#include <algorithm>
#include <filesystem>
#include <regex>

#include "corpus/free_pascal.h"
#include "support/test_support.h"

namespace lexorin::corpus {

namespace fs = std::filesystem;
using lexorin::testing::run_command;
using lexorin::testing::write_test_file;

namespace {

int Count(const std::string& output, const std::string& label) {
    const std::regex line(label + R"(:\s*(\d+))");
    std::smatch match;
    return std::regex_search(output, match, line) ? std::stoi(match[1]) : -1;
}

}  // namespace

std::string PrepareTestRunner(const std::string& tests_folder, const std::string& into) {
    fs::create_directories(into);
    std::vector<std::string> test_units;
    for (const auto& entry : fs::directory_iterator(tests_folder)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".pp" && extension != ".pas") continue;
        fs::copy_file(entry.path(), fs::path(into) / entry.path().filename());
        test_units.push_back(entry.path().stem().string());
    }
    std::sort(test_units.begin(), test_units.end());
    std::string uses = "consoletestrunner";
    for (const auto& unit : test_units) uses += ", " + unit;
    // The test units register their cases in their initialization sections.
    const std::string runner = into + "/corpus_runner.pas";
    write_test_file(runner,
                    "program corpus_runner;\n"
                    "{$mode objfpc}{$H+}\n"
                    "uses " +
                        uses +
                        ";\n"
                        "var\n"
                        "  Runner: TTestRunner;\n"
                        "begin\n"
                        "  Runner := TTestRunner.Create(nil);\n"
                        "  Runner.Initialize;\n"
                        "  Runner.Run;\n"
                        "  Runner.Free;\n"
                        "end.\n");
    return runner;
}

FpcUnitTally BuildAndRunTests(const std::string& options,
                              const std::vector<std::string>& extra_folders,
                              const std::string& runner, const std::string& output) {
    fs::remove_all(output);
    std::string extra;
    for (const auto& folder : extra_folders) extra += " '-Fu" + folder + "' '-Fi" + folder + "'";
    FpcUnitTally tally;
    CompileOutcome build = CompileMainFile(options, output, runner, extra);
    tally.built = build.compiled;
    if (!build.compiled) {
        tally.output = build.command + "\n" + build.output;
        return tally;
    }
    const std::string program = output + "/" + fs::path(runner).stem().string();
    auto run = run_command("cd '" + output + "' && '" + program + "' --all --format=plain");
    tally.output = run.out + run.err;
    tally.tests = Count(tally.output, "Number of run tests");
    tally.errors = Count(tally.output, "Number of errors");
    tally.failures = Count(tally.output, "Number of failures");
    tally.ran = tally.tests >= 0;
    return tally;
}

}  // namespace lexorin::corpus
