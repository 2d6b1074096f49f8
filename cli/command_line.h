#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/errors.h"
#include "cli/cli_reporter.h"
#include "store/table_store.h"

namespace lexorin::cli {

// Wrong usage: printed with the command's usage line, exit status 2.
class UsageError : public Error {
  public:
    using Error::Error;
};

// The arguments of one command: positional words and its own --options.
class Arguments {
  public:
    Arguments(std::vector<std::string> words) : words_(std::move(words)) {}

    // Takes "--name" and reports whether it was given.
    bool flag(const std::string& name);
    // Takes "--name VALUE" or "--name=VALUE"; the last one given wins.
    std::optional<std::string> option(const std::string& name);
    // Takes every "--name VALUE".
    std::vector<std::string> options(const std::string& name);
    // What is left must be exactly `count` positional words (no unknown options).
    std::vector<std::string> positional(size_t count);
    // At least `min` positional words.
    std::vector<std::string> positional_at_least(size_t min);

  private:
    std::vector<std::string> words_;
};

// What every command works with.
struct Context {
    std::string home;  // the program directory, with a trailing "/"
    store::Session session;
    CliReporter reporter;
    CodePage code_page;  // the program's, read once at start-up
    Context(std::string home_dir, Answer answer, CodePage page)
        : home(std::move(home_dir)), reporter(answer), code_page(std::move(page)) {}
};

struct Command {
    std::string name;     // as typed, e.g. "project add"
    std::string usage;    // arguments after the name
    std::string summary;  // one line for the overview
    std::function<int(Context&, Arguments&)> run;
};

// The command groups; each file adds its commands.
void add_project_commands(std::vector<Command>& commands);
void add_string_commands(std::vector<Command>& commands);
void add_operation_commands(std::vector<Command>& commands);  // backup, status, delete, PO, check
void add_code_commands(std::vector<Command>& commands);       // scan-code, write-code, translate
void add_form_commands(std::vector<Command>& commands);       // form conversion, scan/write forms
void add_memory_commands(std::vector<Command>& commands);     // pretranslate, tm import/export

// Escapes tabs, line breaks and backslashes so that one row stays one line.
std::string escape_field(const std::string& text);
// The last line of a command whose work failed for some of its files, e.g. "2 of 40 units
// could not be scanned: a.pas: ...; b.pas: ...", printed to stderr; the exit code: 1 when any
// failed, else 0. `reasons` are the failures' own texts.
int report_failures(const std::vector<std::string>& reasons, size_t total, const std::string& what);
// The same for (file, reason) pairs, each shown as "<file name>: <reason>".
int report_failed_files(const std::vector<std::pair<std::string, std::string>>& failed,
                        size_t total, const std::string& what);

// "Wahr"/"Falsch", "true"/"false", "yes"/"no", "1"/"0".
bool parse_yes_no(const std::string& text);

}  // namespace lexorin::cli
