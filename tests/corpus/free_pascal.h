#pragma once

// The Free Pascal compiler as the judge of a corpus of real units: where its own units and the
// library sources lie, compiling one unit at a time, and reading its messages.

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace lexorin::corpus {

// The installed compiler: version, target and the folders of its precompiled units.
struct FreePascal {
    std::string version;      // "3.2.2"
    std::string target;       // "x86_64-linux"
    std::string units_root;   // .../fpc/3.2.2/units/x86_64-linux
    std::string source_root;  // /usr/share/fpcsrc/3.2.2 (the fpc-source package)
};

// Finds the compiler and its library sources; throws with the reason when either is missing.
FreePascal FindFreePascal();

// The unit folders under units_root, less those of the packages named in `left_out`: a corpus
// compiled from copies of those packages must not see their precompiled units.
std::vector<std::string> InstalledUnitFolders(const FreePascal& fpc,
                                              const std::set<std::string>& left_out);

// The names (lower case, without ".ppu") of the precompiled units in `folders`.
std::set<std::string> PrecompiledUnitNames(const std::vector<std::string>& folders);

// Writes the option file that every compile of the corpus reads in place of fpc.cfg (fpc -n):
// the mode, the syntax switches fpc.cfg would give, and unit and include paths in that order.
void WriteOptionFile(const std::string& path, const std::vector<std::string>& unit_folders,
                     const std::vector<std::string>& source_folders);

// One compile: whether fpc succeeded, its command line and what it printed.
struct CompileOutcome {
    bool compiled = false;
    std::string command;
    std::string output;
};

// Compiles `source` as the main file, with `options` (an option file) and the unit output
// folder `unit_output`; a program's executable goes there too.
CompileOutcome CompileMainFile(const std::string& options, const std::string& unit_output,
                               const std::string& source, const std::string& extra = {});

// What becomes of a main file's compiled unit in the worker's output folder.
enum class MainUnit {
    Stays,    // later sources that use it take it
    Removed,  // later sources compile it again from the sources on the unit path
};

// Compiles every source as a main file, `workers` groups at a time, a group's sources in order
// by one worker. Each worker writes into a unit output folder of its own under `output_root`
// (two compiles writing one .ppu would race), and its folder keeps the units it compiled, so
// that the later sources of a group reuse what the earlier ones needed.
std::map<std::string, CompileOutcome> CompileEach(
    const std::string& options, const std::string& output_root,
    const std::vector<std::vector<std::string>>& groups, unsigned workers,
    MainUnit main_unit = MainUnit::Stays);

// One error message of fpc, as "-vb" writes it: FILE(LINE,COLUMN) Error: TEXT (or Fatal).
struct FpcMessage {
    std::string file;  // full path; empty when fpc named none
    int line = 0;
    std::string text;  // the whole message line
    bool operator<(const FpcMessage& other) const {
        return std::tie(file, line, text) < std::tie(other.file, other.line, other.text);
    }
};

// The errors and fatal errors in fpc's output, without its closing tallies ("There were 3
// errors compiling module", "Compilation aborted", "returned an error exitcode").
std::vector<FpcMessage> ErrorMessages(const std::string& output);

}  // namespace lexorin::corpus
