#include "corpus/fpcunit_runner.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

#include "corpus/free_pascal.h"
#include "corpus/stopwatch.h"
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

bool IsTestUnit(const fs::path& file) {
    const std::string extension = file.extension().string();
    return extension == ".pp" || extension == ".pas";
}

}  // namespace

std::vector<std::string> TestUnitNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && IsTestUnit(entry.path()))
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

void WriteTestRunner(const std::vector<std::string>& test_units, const std::string& path) {
    std::string uses = "consoletestrunner";
    for (const auto& unit : test_units) uses += ", " + unit;
    write_test_file(path, "program " + fs::path(path).stem().string() +
                              ";\n"
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
}

std::string PrepareTestRunner(const std::string& tests_folder, const std::string& into) {
    fs::create_directories(into);
    for (const auto& entry : fs::directory_iterator(tests_folder))
        if (IsTestUnit(entry.path()))
            fs::copy_file(entry.path(), fs::path(into) / entry.path().filename());
    const std::string runner = into + "/corpus_runner.pas";
    WriteTestRunner(TestUnitNames(into), runner);
    return runner;
}

std::vector<std::string> FpcUnitTally::NotPassed() const {
    std::vector<std::string> not_passed;
    for (const auto& outcome : outcomes)
        if (outcome.size() < 3 || outcome.compare(outcome.size() - 3, 3, " ok") != 0)
            not_passed.push_back(outcome);
    return not_passed;
}

std::vector<std::string> TestOutcomes(const std::string& output) {
    // The tree after the run, indented by two blanks a level:
    //    Time:00.233 N:2073 E:0 F:0 I:0            (the root suite, no name)
    //     TTestTypeParser Time:00.003 N:119 ...    (a suite)
    //       00.000  TestAliasType                  (a test that passed)
    //       00.000  TestBad  Failed:  expected ... (a test that failed)
    // A test's own output may stand before the root line, without a line end.
    static const std::regex suite(R"(^( *)(\S*) Time:[\d.]+ N:\d+ E:\d+ F:\d+ I:\d+\s*$)");
    static const std::regex root(R"( Time:[\d.]+ N:\d+ E:\d+ F:\d+ I:\d+\s*$)");
    static const std::regex test(R"(^( +)[\d.]+  (\S+)(?:  (Failed|Error):.*)?\s*$)");
    std::vector<std::string> outcomes;
    std::vector<std::pair<size_t, std::string>> suites;  // indentation, name
    bool in_tree = false;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        size_t indent = 0;
        std::string name;
        if (std::regex_match(line, match, suite)) {
            indent = match[1].length();
            name = match[2];
        } else if (!in_tree && std::regex_search(line, root)) {
            // the root line with a test's output before it
        } else if (in_tree && std::regex_match(line, match, test)) {
            const size_t depth = match[1].length();
            std::string path;
            for (const auto& [level, suite_name] : suites)
                if (level < depth && !suite_name.empty())
                    path += (path.empty() ? "" : ".") + suite_name;
            const std::string result = match[3].matched ? match[3].str() : "ok";
            outcomes.push_back(path + (path.empty() ? "" : ".") + match[2].str() + " " +
                               (result == "ok"       ? "ok"
                                : result == "Failed" ? "failed"
                                                     : "error"));
            continue;
        } else {
            continue;
        }
        in_tree = true;
        while (!suites.empty() && suites.back().first >= indent) suites.pop_back();
        suites.emplace_back(indent, name);
    }
    return outcomes;
}

FpcUnitTally BuildAndRunTests(const std::string& options,
                              const std::vector<std::string>& extra_folders,
                              const std::string& runner, const std::string& output) {
    fs::remove_all(output);
    std::string extra;
    for (const auto& folder : extra_folders) extra += " '-Fu" + folder + "' '-Fi" + folder + "'";
    FpcUnitTally tally;
    const Stopwatch build_watch;
    CompileOutcome build = CompileMainFile(options, output, runner, extra);
    tally.build_seconds = build_watch.seconds();
    tally.built = build.compiled;
    if (!build.compiled) {
        tally.output = build.command + "\n" + build.output;
        return tally;
    }
    const std::string program = output + "/" + fs::path(runner).stem().string();
    const Stopwatch run_watch;
    auto run = run_command("cd '" + output + "' && '" + program + "' --all --format=plain");
    tally.run_seconds = run_watch.seconds();
    tally.output = run.out + run.err;
    tally.tests = Count(tally.output, "Number of run tests");
    tally.errors = Count(tally.output, "Number of errors");
    tally.failures = Count(tally.output, "Number of failures");
    tally.outcomes = TestOutcomes(run.out);
    tally.ran = tally.tests >= 0;
    return tally;
}

}  // namespace lexorin::corpus
