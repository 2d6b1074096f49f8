#pragma once

#include <string>

namespace lexorin {

// How the core talks to the person running a command: status texts, progress, message boxes
// and Yes/No questions. The desktop program answers with Qt dialogs, the command-line tool
// with terminal output; tests use the silent reporter below.
class Reporter {
  public:
    virtual ~Reporter() = default;

    // The status bar text; an empty text clears it.
    virtual void status(const std::string& text) = 0;
    // Long work: `done` of `total` items finished, `item` the one at hand (total 0 = unknown).
    virtual void progress(int done, int total, const std::string& item) = 0;
    // Long work calls this between its rows when it has no count to report: a window repaints
    // and keeps its Cancel button live; other front ends need nothing.
    virtual void still_working() {}
    // Asked again and again by work that can stop halfway (a build): whether the user wants it
    // stopped. A window shows a Cancel button while the work asks, until the status is cleared;
    // the command line has none (Ctrl+C ends the program, and its work with it).
    virtual bool cancel_requested() {
        still_working();
        return false;
    }

    virtual void error(const std::string& text) = 0;
    virtual void warning(const std::string& text) = 0;
    virtual void information(const std::string& text) = 0;
    // A Yes/No confirmation; true means Yes.
    virtual bool confirm(const std::string& question) = 0;
    // An input box; an empty answer means the box was cancelled or left empty.
    virtual std::string ask_text(const std::string& caption, const std::string& prompt,
                                 const std::string& initial) = 0;
};

// Says nothing and answers every question with a fixed choice.
class SilentReporter : public Reporter {
  public:
    explicit SilentReporter(bool answer = false, std::string text_answer = {})
        : answer_(answer), text_answer_(std::move(text_answer)) {}
    void status(const std::string&) override {}
    void progress(int, int, const std::string&) override {}
    void error(const std::string&) override {}
    void warning(const std::string&) override {}
    void information(const std::string&) override {}
    bool confirm(const std::string&) override { return answer_; }
    std::string ask_text(const std::string&, const std::string&, const std::string&) override {
        return text_answer_;
    }

  private:
    bool answer_;
    std::string text_answer_;
};

}  // namespace lexorin
