#pragma once

#include <string>

#include "base/reporter.h"

namespace lexorin::cli {

// How a question of the core is answered on the command line.
enum class Answer { Ask, Yes, No };

// Messages and progress on stderr. A Yes/No question is asked on the terminal when stdin is one,
// answered by --yes/--no when given, and otherwise taken as No, so scripts never hang.
// Progress is a live line when stderr is a terminal; otherwise one plain line per item and no
// status texts.
class CliReporter : public Reporter {
  public:
    explicit CliReporter(Answer answer);
    ~CliReporter() override;

    void status(const std::string& text) override;
    void progress(int done, int total, const std::string& item) override;
    void error(const std::string& text) override;
    void warning(const std::string& text) override;
    void information(const std::string& text) override;
    bool confirm(const std::string& question) override;
    std::string ask_text(const std::string& caption, const std::string& prompt,
                         const std::string& initial) override;

    // Ends a live progress line before other output.
    void end_live_line();

  private:
    void line(const std::string& text);

    Answer answer_;
    bool stderr_tty_;
    bool stdin_tty_;
    bool live_line_ = false;
};

// Message texts use a single CR as line break; on a terminal that becomes a new line.
std::string terminal_text(const std::string& text);
// The same text on one line, for error messages.
std::string one_line(const std::string& text);

}  // namespace lexorin::cli
