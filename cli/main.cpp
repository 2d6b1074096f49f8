// lexorin-cli: the headless face of Lexorin. Data goes to stdout, progress and messages to
// stderr; a failed command exits with 1, wrong usage with 2.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/program_paths.h"
#include "app/program_setup.h"
#include "base/errors.h"
#include "base/file_utils.h"
#include "cli/command_line.h"
#include "store/translation_tables.h"

using namespace lexorin;
using namespace lexorin::cli;

namespace {

std::vector<Command> all_commands() {
    std::vector<Command> commands;
    commands.push_back({"write-templates", "DIR", "write the empty template tables into DIR",
                        [](Context&, Arguments& args) {
                            auto words = args.positional(1);
                            store::ensure_templates(words[0]);
                            return 0;
                        }});
    add_project_commands(commands);
    add_string_commands(commands);
    add_code_commands(commands);
    add_form_commands(commands);
    add_operation_commands(commands);
    add_memory_commands(commands);
    return commands;
}

void print_overview(const std::vector<Command>& commands, std::ostream& out) {
    out << "usage: lexorin-cli [--home DIR] [--yes|--no] COMMAND [ARGS]\n\n"
           "The program directory (tables, templates, glue files, backups) is --home DIR, else\n"
           "$LEXORIN_HOME, else the directory of this program. Projects.DB is read from and\n"
           "written to the working directory. Questions are answered by --yes or --no; without\n"
           "them they are asked on a terminal and otherwise taken as no.\n\ncommands:\n";
    for (const auto& c : commands) {
        if (c.name == "write-templates") continue;
        std::string head = "  " + c.name + " " + c.usage;
        out << head << std::string(head.size() < 44 ? 44 - head.size() : 1, ' ') << c.summary
            << "\n";
    }
    out << "\nEvery command takes --help.\n";
}

// The program directory, seeded with the template tables and glue files built beside this
// program.
std::string prepare_home(const std::string& override_dir) {
    std::string home = program_directory(override_dir);
    if (!directory_exists(home)) throw Error("The program directory " + home + " does not exist.");
    prepare_program_directory(home, executable_directory());
    return home;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");
    std::vector<std::string> words(argv + 1, argv + argc);
    std::string home_override;
    Answer answer = Answer::Ask;
    bool help = false;
    std::vector<std::string> rest;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "--home") {
            if (i + 1 == words.size()) {
                std::cerr << "error: --home needs a directory\n";
                return 2;
            }
            home_override = words[++i];
        } else if (w.rfind("--home=", 0) == 0) {
            home_override = w.substr(7);
        } else if (w == "--yes" || w == "-y") {
            answer = Answer::Yes;
        } else if (w == "--no") {
            answer = Answer::No;
        } else if (w == "--help" || w == "-h") {
            help = true;
        } else {
            rest.push_back(w);
        }
    }

    auto commands = all_commands();
    const Command* chosen = nullptr;
    size_t name_words = 0;
    for (const auto& c : commands) {
        size_t n = c.name.find(' ') == std::string::npos ? 1 : 2;
        if (rest.size() < n) continue;
        std::string typed = n == 1 ? rest[0] : rest[0] + " " + rest[1];
        if (typed == c.name) {
            chosen = &c;
            name_words = n;
        }
    }
    if (!chosen) {
        if (help || rest.empty()) {
            print_overview(commands, help ? std::cout : std::cerr);
            return help ? 0 : 2;
        }
        std::cerr << "error: unknown command " << rest[0] << "\n";
        print_overview(commands, std::cerr);
        return 2;
    }
    if (help) {
        std::cout << "usage: lexorin-cli " << chosen->name << " " << chosen->usage << "\n"
                  << chosen->summary << "\n";
        return 0;
    }
    Arguments args(
        std::vector<std::string>(rest.begin() + static_cast<long>(name_words), rest.end()));
    try {
        std::string home =
            chosen->name == "write-templates" ? std::string() : prepare_home(home_override);
        Context context(home, answer, code_page_from_environment());
        int status = chosen->run(context, args);
        context.reporter.end_live_line();
        return status;
    } catch (const UsageError& e) {
        std::cerr << "error: " << e.what() << "\nusage: lexorin-cli " << chosen->name << " "
                  << chosen->usage << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "error: " << one_line(e.what()) << "\n";
        return 1;
    }
}
