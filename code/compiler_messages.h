#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The error messages of Pascal compilers that point at a line of a source file.
namespace lexorin::code {

struct CompilerMessage {
    std::string file;  // as the compiler printed it
    int line = 0;      // one-based
    std::string text;  // the whole message line
};

// One line of a build's output as an error or fatal error that names a file and a line:
//   Free Pascal, lazbuild:   unit1.pas(12,5) Error: Incompatible types ...
//                            unit1.pas(40) Fatal: Syntax error ...
//   Delphi's compiler:       unit1.pas(12) Error: E2010 Incompatible types ...
//                            [dcc32 Error] unit1.pas(12): E2010 Incompatible types ...
// Hints, warnings, notes and messages without a line give nullopt.
std::optional<CompilerMessage> ParseCompilerMessage(std::string_view line);

// Every such message of a whole output, in order.
std::vector<CompilerMessage> ParseCompilerMessages(const std::string& output);

// The errors of one build, taken line by line while it prints them. A build gone wild may print
// millions of them: the texts of the first kShownMessages are kept and the others counted, and
// the places they point at are kept once each, up to kMaxPlaces.
class CompilerMessageLog {
  public:
    static constexpr std::size_t kShownMessages = 200;
    static constexpr std::size_t kMaxPlaces = 100000;

    void add_line(std::string_view line);

    // The first kShownMessages messages, in order.
    const std::vector<CompilerMessage>& shown() const { return shown_; }
    // All messages, the shown ones included.
    std::size_t count() const { return count_; }
    // (file as printed, line) of the messages, each once.
    const std::set<std::pair<std::string, int>>& places() const { return places_; }

  private:
    std::vector<CompilerMessage> shown_;
    std::size_t count_ = 0;
    std::set<std::pair<std::string, int>> places_;
};

}  // namespace lexorin::code
