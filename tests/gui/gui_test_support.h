#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class QWidget;

namespace lexorin::gui {
class ProjectWindow;
}

namespace lexorin::testing {

// Answers the modal windows that a command opens, in order, as a user would: each step waits
// for the next modal window, checks it and answers it. Message boxes are checked for their exact
// text; input boxes get a typed answer; any other dialog is handed to a callback.
class ModalAnswerer : public QObject {
    Q_OBJECT
  public:
    ModalAnswerer();
    ~ModalAnswerer() override;

    // A message box with exactly this text, answered with the button.
    ModalAnswerer& box(const QString& text, int button);
    // The same, and `look` runs while the box is open, before it is answered.
    ModalAnswerer& box(const QString& text, int button, std::function<void()> look);
    // A message box whose text starts with `prefix`.
    ModalAnswerer& box_starting(const QString& prefix, int button);
    ModalAnswerer& box_starting(const QString& prefix, int button, std::function<void()> look);
    // An input box, answered with `answer` (OK) or cancelled when `cancel`.
    ModalAnswerer& input(const QString& answer, bool cancel = false,
                         std::function<void(QWidget*)> look = {});
    // Any other modal dialog: the callback works it (it may open further modal windows).
    ModalAnswerer& dialog(std::function<void(QWidget*)> work);

    // The texts of the boxes answered so far, and what went wrong.
    QStringList seen;
    QStringList problems;
    bool done() const { return steps_.empty(); }

  private:
    struct Step {
        enum Kind { Box, BoxPrefix, Input, Dialog } kind;
        QString text;
        int button = 0;
        bool cancel = false;
        std::function<void(QWidget*)> work;
        std::function<void()> look;
    };
    void poll();

    std::deque<Step> steps_;
    QTimer timer_;
};

// Waits until every step of `answers` was taken, up to `timeout_ms`; otherwise, or when a step
// went wrong, the running test fails with what was seen.
void check_answered(ModalAnswerer& answers, int timeout_ms = 5000);

// Shows the project window and adds a project as the user does: its name and its directory
// (the backup offer declined), then the language `language`, which ends up selected.
void add_project_in_window(gui::ProjectWindow& window, const QString& name,
                           const QString& directory, const QString& language);

}  // namespace lexorin::testing
