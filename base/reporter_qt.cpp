#include "base/reporter_qt.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>

#include "base/errors.h"
#include "base/text_qt.h"

namespace lexorin::gui {

QtReporter::QtReporter(QWidget* window, QStatusBar* status_bar)
    : window_(window), label_(new QLabel(status_bar)), bar_(new QProgressBar(status_bar)) {
    status_bar->addWidget(label_, 1);
    status_bar->addPermanentWidget(bar_);
    bar_->setMaximumWidth(240);
    bar_->hide();
    since_events_.start();
}

void QtReporter::status(const std::string& text) {
    label_->setText(to_q(text));
    process_events();
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
    process_events();
}

void QtReporter::process_events() {
    if (since_events_.elapsed() < 50) return;
    // Repaint only: a key pressed now must not start another command inside this one.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    since_events_.restart();
}

void QtReporter::error(const std::string& text) {
    QMessageBox::critical(window_, QApplication::applicationDisplayName(), message_text(text),
                          QMessageBox::Ok);
}

void QtReporter::warning(const std::string& text) {
    QMessageBox::warning(window_, QApplication::applicationDisplayName(), message_text(text),
                         QMessageBox::Ok);
}

void QtReporter::information(const std::string& text) {
    QMessageBox::information(window_, QApplication::applicationDisplayName(), message_text(text),
                             QMessageBox::Ok);
}

bool QtReporter::confirm(const std::string& question) {
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
