#include "base/reporter_qt.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "base/errors.h"
#include "base/text_qt.h"

namespace lexorin::gui {

namespace {

// While work that can be cancelled runs, user input reaches the Cancel button only: a key or a
// click meant for the window must not start another command inside this one. Events for the
// top-level windows pass, so that they can hand them on to their widgets.
class InputOnlyFor : public QObject {
  public:
    explicit InputOnlyFor(QWidget* target) : target_(target) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
            case QEvent::ShortcutOverride:
            case QEvent::Wheel:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::ContextMenu:
            case QEvent::Drop:
                break;
            default:
                return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget && widget != target_ && !target_->isAncestorOf(widget);
    }

  private:
    QWidget* target_;
};

}  // namespace

QtReporter::QtReporter(QWidget* window, QStatusBar* status_bar)
    : window_(window),
      label_(new QLabel(status_bar)),
      bar_(new QProgressBar(status_bar)),
      cancel_(new QPushButton("Cancel", status_bar)) {
    status_bar->addWidget(label_, 1);
    status_bar->addPermanentWidget(bar_);
    status_bar->addPermanentWidget(cancel_);
    bar_->setMaximumWidth(240);
    bar_->hide();
    cancel_->setObjectName("cancelButton");
    // Pressed, it stays down: the work stops at its next look.
    cancel_->setCheckable(true);
    cancel_->hide();
    since_events_.start();
}

void QtReporter::status(const std::string& text) {
    label_->setText(to_q(text));
    if (text.empty()) end_cancellable_work();
    still_working();
}

bool QtReporter::cancel_requested() {
    if (!cancellable_) {
        cancellable_ = true;
        cancel_->setChecked(false);
        cancel_->show();
    }
    if (since_events_.elapsed() >= 50) {
        InputOnlyFor filter(cancel_);
        qApp->installEventFilter(&filter);
        QApplication::processEvents();
        qApp->removeEventFilter(&filter);
        since_events_.restart();
    }
    return cancel_->isChecked();
}

void QtReporter::end_cancellable_work() {
    cancellable_ = false;
    cancel_->setChecked(false);
    cancel_->hide();
}

void QtReporter::progress(int done, int total, const std::string& item) {
    if (total <= 0 || done >= total) {
        bar_->hide();
    } else {
        bar_->setRange(0, total);
        bar_->setValue(done);
        bar_->show();
    }
    if (!item.empty()) label_->setText(to_q(item));
    still_working();
}

void QtReporter::still_working() {
    if (since_events_.elapsed() < 50) return;
    // Repaint only: a key pressed now must not start another command inside this one.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    since_events_.restart();
}

void QtReporter::error(const std::string& text) {
    end_cancellable_work();
    QMessageBox::critical(window_, QApplication::applicationDisplayName(), message_text(text),
                          QMessageBox::Ok);
}

void QtReporter::warning(const std::string& text) {
    end_cancellable_work();
    QMessageBox::warning(window_, QApplication::applicationDisplayName(), message_text(text),
                         QMessageBox::Ok);
}

void QtReporter::information(const std::string& text) {
    end_cancellable_work();
    QMessageBox::information(window_, QApplication::applicationDisplayName(), message_text(text),
                             QMessageBox::Ok);
}

bool QtReporter::confirm(const std::string& question) {
    end_cancellable_work();
    if (before_question) before_question();
    return QMessageBox::question(window_, QApplication::applicationDisplayName(),
                                 message_text(question), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::string QtReporter::ask_text(const std::string& caption, const std::string& prompt,
                                 const std::string& initial) {
    for (;;) {
        QInputDialog dialog(window_);
        dialog.setWindowTitle(to_q(caption));
        dialog.setLabelText(to_q(prompt));
        dialog.setTextValue(to_q(initial));
        // Wide enough for the title beside the program's name, which window managers cut short
        // ("New l... exorin") on a box as narrow as its prompt.
        const QString title = dialog.windowTitle() + " - " + QApplication::applicationDisplayName();
        const int width = dialog.fontMetrics().horizontalAdvance(title) + 160;
        // The dialog sizes itself from its layout, so the field carries the width.
        if (auto* field = dialog.findChild<QLineEdit*>()) field->setMinimumWidth(width - 40);
        if (dialog.exec() != QDialog::Accepted) return {};
        const QString answer = dialog.textValue();
        try {
            return from_q(answer);
        } catch (const Error& e) {
            error(e.what());  // ask again: the answer cannot be stored as typed
        }
    }
}

void show_failure(QWidget* parent, const std::exception& failure) {
    QMessageBox::critical(parent, QApplication::applicationDisplayName(),
                          message_text(failure.what()), QMessageBox::Ok);
}

}  // namespace lexorin::gui
