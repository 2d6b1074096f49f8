#pragma once

#include <string>
#include <vector>

// The error messages of Pascal compilers that point at a line of a source file.
namespace lexorin::code {

struct CompilerMessage {
    std::string file;  // as the compiler printed it
    int line = 0;      // one-based
    std::string text;  // the whole message line
};

// The errors and fatal errors in a build's output that name a file and a line, in order:
//   Free Pascal, lazbuild:   unit1.pas(12,5) Error: Incompatible types ...
//                            unit1.pas(40) Fatal: Syntax error ...
//   Delphi's compiler:       unit1.pas(12) Error: E2010 Incompatible types ...
//                            [dcc32 Error] unit1.pas(12): E2010 Incompatible types ...
// Hints, warnings, notes and messages without a line are left out.
std::vector<CompilerMessage> ParseCompilerMessages(const std::string& output);

}  // namespace lexorin::code
