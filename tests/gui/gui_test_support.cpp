#include "gui/gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QInputDialog>
#include <QMessageBox>
#include <QTest>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "app/directory_edit.h"
#include "app/project_window.h"
#include "base/text_qt.h"

namespace {

// The windows under test use the code page the program would, set as soon as the test's
// application exists.
void set_code_page_at_start() {
    lexorin::gui::set_window_code_page(lexorin::code_page_from_environment());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(set_code_page_at_start)

namespace lexorin::testing {

ModalAnswerer::ModalAnswerer() {
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer_.start(20);
}

ModalAnswerer::~ModalAnswerer() {
    timer_.stop();
}

ModalAnswerer& ModalAnswerer::box(const QString& text, int button) {
    steps_.push_back({Step::Box, text, button, false, {}, {}});
    return *this;
}

ModalAnswerer& ModalAnswerer::box(const QString& text, int button, std::function<void()> look) {
    steps_.push_back({Step::Box, text, button, false, {}, std::move(look)});
    return *this;
}

ModalAnswerer& ModalAnswerer::box_starting(const QString& prefix, int button) {
    steps_.push_back({Step::BoxPrefix, prefix, button, false, {}, {}});
    return *this;
}

ModalAnswerer& ModalAnswerer::box_starting(const QString& prefix, int button,
                                           std::function<void()> look) {
    steps_.push_back({Step::BoxPrefix, prefix, button, false, {}, std::move(look)});
    return *this;
}

ModalAnswerer& ModalAnswerer::input(const QString& answer, bool cancel,
                                    std::function<void(QWidget*)> look) {
    steps_.push_back({Step::Input, answer, 0, cancel, std::move(look), {}});
    return *this;
}

ModalAnswerer& ModalAnswerer::dialog(std::function<void(QWidget*)> work) {
    steps_.push_back({Step::Dialog, {}, 0, false, std::move(work), {}});
    return *this;
}

void ModalAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->property("answered").toBool() || !modal->isVisible()) return;
    if (steps_.empty()) {
        // A box nobody waits for: give a newer answerer the first chance, then close it so that
        // the test does not hang, and say so.
        qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (!modal->property("first_seen").isValid()) modal->setProperty("first_seen", now);
        if (now - modal->property("first_seen").toLongLong() < 1500) return;
        modal->setProperty("answered", true);
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            problems << "unexpected box: " + box->text();
        else
            problems << QString("unexpected window: ") + modal->metaObject()->className();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        if (modal->isVisible()) modal->close();
        return;
    }
    Step step = steps_.front();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        modal->setProperty("answered", true);
        steps_.pop_front();
        seen << box->text();
        // Said at once as well: a box that keeps its window open would otherwise hang the test
        // without a word.
        qInfo("box: %s", qPrintable(box->text()));
        if (step.kind == Step::Box && box->text() != step.text)
            problems << "box text: \"" + box->text() + "\", expected \"" + step.text + "\"";
        else if (step.kind == Step::BoxPrefix && !box->text().startsWith(step.text))
            problems << "box text: \"" + box->text() + "\", expected to start \"" + step.text +
                            "\"";
        else if (step.kind != Step::Box && step.kind != Step::BoxPrefix)
            problems << "a box came instead of another window: " + box->text();
        if (step.look) step.look();
        QAbstractButton* button = box->button(
            static_cast<QMessageBox::StandardButton>(step.button ? step.button : QMessageBox::Ok));
        if (button)
            button->click();
        else
            box->reject();
        return;
    }
    if (auto* input = qobject_cast<QInputDialog*>(modal)) {
        modal->setProperty("answered", true);
        steps_.pop_front();
        if (step.kind != Step::Input) problems << "an input box came unexpectedly";
        if (step.kind == Step::Input && step.work) step.work(modal);
        input->setTextValue(step.text);
        if (step.cancel)
            input->reject();
        else
            input->accept();
        return;
    }
    if (step.kind == Step::Dialog) {
        modal->setProperty("answered", true);
        steps_.pop_front();
        // The dialog's own work may open further modal windows: run it after this poll.
        QTimer::singleShot(0, modal, [work = step.work, modal] { work(modal); });
    }
}

void check_answered(ModalAnswerer& answers, int timeout_ms) {
    QTRY_VERIFY2_WITH_TIMEOUT(answers.done(),
                              qPrintable("waiting for a window; seen: " + answers.seen.join(" | ") +
                                         "; problems: " + answers.problems.join(" | ")),
                              timeout_ms);
    QVERIFY2(answers.problems.isEmpty(), qPrintable(answers.problems.join("\n")));
}

void add_project_in_window(gui::ProjectWindow& window, const QString& name,
                           const QString& directory, const QString& language) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.navigator_button(gui::ProjectWindow::kAddProject), Qt::LeftButton);
    QTest::keyClicks(window.name_edit, name);
    ModalAnswerer backup;
    backup.box_starting("Do you want all your .pas and .dfm files", QMessageBox::No);
    window.directory_edit->line()->setText(directory);
    emit window.directory_edit->left();
    check_answered(backup, 20000);
    ModalAnswerer added;
    added.input(language);
    QTest::mouseClick(window.add_language_button, Qt::LeftButton);
    check_answered(added, 20000);
    window.language_list->setCurrentRow(0);
    window.language_list->item(0)->setSelected(true);
}

}  // namespace lexorin::testing
