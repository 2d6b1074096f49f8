#pragma once

// The installed Lazarus (Debian's lazarus-src and LCL unit packages) and the builds of its
// example programs with plain fpc, as the Lazarus examples tests use them.

#include <string>

namespace lexorin::corpus {

// The installed Lazarus: its examples and the unit folders plain fpc needs for an LCL program.
struct Lazarus {
    std::string examples;
    std::string lcl_units;       // the widgetset-independent LCL units
    std::string lazutils_units;  // LazUtils, which the LCL uses

    // fpc's options for an LCL program on `widgetset` ("nogui", "gtk2"): its units' folder and
    // the defines Lazarus passes for it.
    std::string FpcOptions(const std::string& widgetset) const;
    // Whether the LCL units of `widgetset` are installed.
    bool HasWidgetset(const std::string& widgetset) const;
};

// The first installed Lazarus with its examples and the nogui LCL units; throws, naming the
// packages to install, when there is none.
Lazarus FindLazarus();

// A program's main file: the one .lpr of `folder`, or "" when it has none or several.
std::string MainFile(const std::string& folder);

// Whether `folder` holds a form (.lfm).
bool HasForm(const std::string& folder);

struct Build {
    bool linked = false;
    std::string output;      // fpc's messages
    std::string executable;  // kept only when asked for; "" otherwise
    double seconds = 0;
};

// Builds the program `main` of `folder` from scratch with `fpc_options`; its units and
// executable go to `folder`/out. With `keep_executable` the executable stays there for a run;
// otherwise the folder is removed again.
Build BuildProgram(const std::string& fpc_options, const std::string& folder,
                   const std::string& main, bool keep_executable = false);

// The last lines of a build's or run's messages, for a failure's report.
std::string Tail(const std::string& text);

}  // namespace lexorin::corpus
