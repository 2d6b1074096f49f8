#pragma once

// A package's own fpcunit tests as a second judge of rewritten units: a console runner over
// the test units, built against the units under test, and the tally it prints.

#include <string>
#include <vector>

namespace lexorin::corpus {

// The names (without extension, sorted) of the test units (.pp, .pas) in `folder`.
std::vector<std::string> TestUnitNames(const std::string& folder);

// Writes the console runner program `path` (named after the file) that registers the cases of
// `test_units` by using them: the test units register them in their initialization sections.
void WriteTestRunner(const std::vector<std::string>& test_units, const std::string& path);

// Copies the test units of `tests_folder` into `into` and writes there a console runner
// program that registers them by using them; returns the runner's path.
std::string PrepareTestRunner(const std::string& tests_folder, const std::string& into);

// What "--all --format=plain" reported.
struct FpcUnitTally {
    bool built = false;
    bool ran = false;
    int tests = -1;
    int errors = -1;
    int failures = -1;
    // One line per test in the order run: "Suite.Test ok", "... failed" or "... error", the
    // suite path joined by dots.
    std::vector<std::string> outcomes;
    std::string output;  // the compiler's output when the build failed, else the run's
    double build_seconds = 0;
    double run_seconds = 0;
    bool operator==(const FpcUnitTally& other) const {
        return tests == other.tests && errors == other.errors && failures == other.failures;
    }
    // The outcomes of the tests that did not pass.
    std::vector<std::string> NotPassed() const;
};

// The outcomes of the result tree that the plain format prints after the run.
std::vector<std::string> TestOutcomes(const std::string& output);

// Builds the runner with the option file `options` plus `extra_folders` on the unit path into
// the fresh folder `output`, and runs every test.
FpcUnitTally BuildAndRunTests(const std::string& options,
                              const std::vector<std::string>& extra_folders,
                              const std::string& runner, const std::string& output);

}  // namespace lexorin::corpus
