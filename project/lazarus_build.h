#pragma once

#include <string>
#include <vector>

// How a Lazarus project is built on this machine: with fpc and the compiled LCL units that
// Debian's Lazarus packages install, or with lazbuild.
namespace lexorin::project {

// Where Debian installs Lazarus: one folder per version ("2.2.6").
inline constexpr const char* kLazarusRoot = "/usr/lib/lazarus";

// What of Free Pascal and Lazarus this machine has.
struct LazarusInstallation {
    bool fpc = false;       // the fpc program is on the PATH
    bool lazbuild = false;  // the lazbuild program is on the PATH
    // The version folder (e.g. "/usr/lib/lazarus/2.2.6") whose LCL units, with their widget set
    // "nogui", and LazUtils are compiled for `target`; "" when there is none.
    std::string version_folder;
    std::string target;  // the compiler's target of this machine, e.g. "x86_64-linux"
};

// The compiler target of the machine Lexorin was built for, in fpc's spelling ("x86_64-linux").
std::string NativeTarget();

// Looks for fpc and lazbuild in the folders of `search_path` (the PATH: folders separated by
// ":") and, under `lazarus_root`, for the newest version folder with the LCL compiled for this
// machine.
LazarusInstallation FindLazarus(const std::string& lazarus_root, const std::string& search_path);
// The same for this machine: Debian's folder and the PATH of the process.
LazarusInstallation FindLazarus();

// The build command of a Lazarus project whose program file (".lpr") and project file (".lpi")
// are given relative to the project directory, where the command runs ("" for none):
//   fpc -MObjFPC -Scghi -Fu<LCL units> -Fu<LCL units>/nogui -Fu<LazUtils> -dLCL -dLCLnogui <lpr>
// when the LCL units are installed (the nogui widget set needs no desktop libraries to link),
// else "lazbuild <lpi>" when lazbuild is, else "fpc -MObjFPC -Scghi <lpr>" for a program that
// does without the LCL; "" when none of them can build the project.
std::string LazarusBuildCommand(const LazarusInstallation& lazarus, const std::string& program,
                                const std::string& project_file);

// The file of the project that names the whole program: among `files` (found under
// `directory`), the one nearest to the directory, the first by name among equals; returned
// relative to `directory`, "" when `files` is empty.
std::string MainFile(const std::string& directory, std::vector<std::string> files);

// A word for /bin/sh: as it is when it holds only letters, digits and "._/+-=", else quoted.
std::string ShellWord(const std::string& word);

}  // namespace lexorin::project
