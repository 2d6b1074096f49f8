#include "cli/cli_reporter.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "app/report_text.h"

namespace lexorin::cli {

std::string terminal_text(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string one_line(const std::string& text) {
    return commands::OneLine(text);
}

CliReporter::CliReporter(Answer answer)
    : answer_(answer), stderr_tty_(::isatty(2) != 0), stdin_tty_(::isatty(0) != 0) {}

CliReporter::~CliReporter() {
    end_live_line();
}

void CliReporter::end_live_line() {
    if (live_line_) {
        std::cerr << "\n";
        live_line_ = false;
    }
}

void CliReporter::line(const std::string& text) {
    end_live_line();
    std::cerr << terminal_text(text) << std::endl;
}

// Status texts come often (every tenth line of a unit); only a terminal shows them, on the
// live line. A log gets the one line per file of progress().
void CliReporter::status(const std::string& text) {
    if (text.empty() || !stderr_tty_) return;
    std::cerr << "\r\x1b[K" << terminal_text(text) << std::flush;
    live_line_ = true;
}

void CliReporter::progress(int done, int total, const std::string& item) {
    if (item.empty() && !stderr_tty_) return;
    std::string text = total > 0 ? std::to_string(done) + "/" + std::to_string(total) + " " + item
                                 : std::to_string(done) + " " + item;
    if (stderr_tty_) {
        std::cerr << "\r\x1b[K" << text << std::flush;
        live_line_ = true;
    } else {
        line(text);
    }
}

void CliReporter::error(const std::string& text) {
    line("error: " + text);
}

void CliReporter::warning(const std::string& text) {
    line("warning: " + text);
}

void CliReporter::information(const std::string& text) {
    line(text);
}

bool CliReporter::confirm(const std::string& question) {
    if (answer_ != Answer::Ask) {
        line(question + (answer_ == Answer::Yes ? " [yes]" : " [no]"));
        return answer_ == Answer::Yes;
    }
    if (!stdin_tty_) {
        line(question + " [no: not asked without a terminal; give --yes to agree]");
        return false;
    }
    end_live_line();
    std::cerr << terminal_text(question) << " [y/N] " << std::flush;
    std::string reply;
    if (!std::getline(std::cin, reply)) return false;
    return reply == "y" || reply == "Y" || reply == "yes" || reply == "Yes";
}

std::string CliReporter::ask_text(const std::string& caption, const std::string& prompt,
                                  const std::string& initial) {
    if (!stdin_tty_) return initial;
    end_live_line();
    std::cerr << caption << ": " << prompt << " " << std::flush;
    std::string reply;
    if (!std::getline(std::cin, reply)) return {};
    return reply;
}

}  // namespace lexorin::cli
