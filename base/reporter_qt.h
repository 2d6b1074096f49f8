#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <functional>

#include "base/reporter.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QWidget;

namespace lexorin::gui {

// The core's reporter for a window: status texts in its status bar, progress in a progress bar
// inside it, and message boxes over the window.
class QtReporter : public Reporter {
  public:
    QtReporter(QWidget* window, QStatusBar* status_bar);

    void status(const std::string& text) override;
    void progress(int done, int total, const std::string& item) override;
    // Lets the window repaint, at most every 50 ms so that long loops are not slowed down.
    void still_working() override;
    // Shows the Cancel button in the status bar until the status is cleared or a message box
    // comes, and lets the window repaint; true once the button was pressed.
    bool cancel_requested() override;
    void error(const std::string& text) override;
    void warning(const std::string& text) override;
    void information(const std::string& text) override;
    bool confirm(const std::string& question) override;
    std::string ask_text(const std::string& caption, const std::string& prompt,
                         const std::string& initial) override;

    // Runs before each Yes/No question is shown, so that a window can show what the work before
    // the question changed (a deleted project row, for example).
    std::function<void()> before_question;

    QLabel* status_label() const { return label_; }
    QProgressBar* progress_bar() const { return bar_; }
    QPushButton* cancel_button() const { return cancel_; }

  private:
    void end_cancellable_work();

    QPointer<QWidget> window_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    bool cancellable_ = false;
    QElapsedTimer since_events_;
};

// Shows the text of a failure in the application's error box.
void show_failure(QWidget* parent, const std::exception& failure);

}  // namespace lexorin::gui
