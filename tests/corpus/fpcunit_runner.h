#pragma once

// A package's own fpcunit tests as a second judge of rewritten units: a console runner over
// the test units, built against the units under test, and the tally it prints.

#include <string>
#include <vector>

namespace lexorin::corpus {

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
    std::string output;  // the compiler's output when the build failed, else the run's
    bool operator==(const FpcUnitTally& other) const {
        return tests == other.tests && errors == other.errors && failures == other.failures;
    }
};

// Builds the runner with the option file `options` plus `extra_folders` on the unit path into
// the fresh folder `output`, and runs every test.
FpcUnitTally BuildAndRunTests(const std::string& options,
                              const std::vector<std::string>& extra_folders,
                              const std::string& runner, const std::string& output);

}  // namespace lexorin::corpus
