#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/reporter.h"

namespace lexorin::testing {

// Records what the core said and asked; answers the Yes/No questions from a script (then with
// the fallback answer) and input boxes with a fixed text.
class RecordingReporter : public Reporter {
  public:
    explicit RecordingReporter(bool answer = true) : fallback_(answer) {}
    explicit RecordingReporter(std::vector<bool> answers, bool fallback = false)
        : answers_(std::move(answers)), fallback_(fallback) {}

    void status(const std::string& text) override { statuses.push_back(text); }
    // The status texts without the clearing ones.
    std::vector<std::string> shown_statuses() const {
        std::vector<std::string> shown;
        for (const auto& s : statuses)
            if (!s.empty()) shown.push_back(s);
        return shown;
    }
    void progress(int done, int total, const std::string&) override {
        progress_calls.push_back({done, total});
    }
    void error(const std::string& text) override { errors.push_back(text); }
    void warning(const std::string& text) override { warnings.push_back(text); }
    void information(const std::string& text) override { infos.push_back(text); }
    bool confirm(const std::string& question) override {
        questions.push_back(question);
        return next_ < answers_.size() ? answers_[next_++] : fallback_;
    }
    std::string ask_text(const std::string&, const std::string&, const std::string&) override {
        return text_answer;
    }

    std::string text_answer;
    std::vector<std::pair<int, int>> progress_calls;
    std::vector<std::string> statuses, errors, warnings, infos, questions;

  private:
    std::vector<bool> answers_;
    size_t next_ = 0;
    bool fallback_;
};

}  // namespace lexorin::testing
