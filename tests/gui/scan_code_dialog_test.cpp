// The Scan code dialog's build and link options, worked as a user works them: Cancel in the
// status bar stops a build that does not end (with every process it started), input meant for
// the rest of the window waits meanwhile, and the options are kept in the project.
#include <signal.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/program_setup.h"
#include "app/project_window.h"
#include "app/scan_code_dialog.h"
#include "base/text_utils.h"
#include "gui/gui_test_support.h"
#include "store/table_store.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::gui;
using lexorin::testing::ModalAnswerer;
using lexorin::testing::TempDir;

class ScanCodeDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> work;
    std::unique_ptr<ProjectWindow> window;

    std::string home() { return work->file("home"); }
    std::string src() { return work->file("src"); }
    void check(ModalAnswerer& answers) { lexorin::testing::check_answered(answers, 20000); }

    // The demo project with the language German, registered as the user does it.
    void open_project() {
        window = std::make_unique<ProjectWindow>(work->path(), home() + "/");
        window->open_editor = [](ProjectWindow&) {};
        lexorin::testing::add_project_in_window(*window, "Demo", QString::fromStdString(src()),
                                                "German");
    }
    // Opens Scan code, lets `before_scan` set the options, presses Scan and answers the first
    // scan's question; `after_scan` answers what follows.
    void scan(const std::function<void(CodeScanDialog*)>& before_scan,
              const std::function<void(ModalAnswerer&)>& after_scan) {
        ModalAnswerer answers;
        answers.dialog([&](QWidget* dialog) {
            auto* code = static_cast<CodeScanDialog*>(dialog);
            before_scan(code);
            QTest::mouseClick(code->scan_button, Qt::LeftButton);
        });
        answers.box_starting("This rewrites ", QMessageBox::Yes);
        after_scan(answers);
        window->scan_code_action->trigger();
        check(answers);
    }

  private slots:
    void init() {
        work = std::make_unique<TempDir>();
        std::filesystem::create_directories(home());
        prepare_program_directory(home() + "/", LEXORIN_PROGRAM_DIR "/");
        std::filesystem::copy(LEXORIN_SOURCE_DIR "/examples/demo/src", src(),
                              std::filesystem::copy_options::recursive);
    }
    void cleanup() {
        window.reset();
        work.reset();
    }

    void cancelStopsABuildThatDoesNotEndAndOnlyCancelTakesInput() {
        open_project();
        QElapsedTimer clock;
        QTimer presser;
        bool typed_into_running_dialog = false;
        scan(
            [&](CodeScanDialog* code) {
                code->verify_check->setChecked(true);
                code->build_command_edit->setText("echo $$ > ../leader.pid; sleep 1000");
                // While the build runs: typing into the dialog does nothing, Cancel stops it.
                QObject::connect(&presser, &QTimer::timeout, [&, code] {
                    QPushButton* cancel = code->reporter().cancel_button();
                    if (!cancel->isVisible() || clock.elapsed() < 300) return;
                    presser.stop();
                    const QString before = code->min_length_edit->text();
                    QTest::keyClicks(code->min_length_edit, "9");
                    typed_into_running_dialog = code->min_length_edit->text() != before;
                    QTest::mouseClick(cancel, Qt::LeftButton);
                });
                clock.start();
                presser.start(50);
            },
            [](ModalAnswerer& answers) {
                answers.box(
                    "The build was cancelled and stopped, with every process it started "
                    "(1 build). The project was not verified.",
                    QMessageBox::Ok);
                answers.box_starting("Scanned, but the build was stopped", QMessageBox::Ok);
            });
        QVERIFY2(clock.elapsed() < 15000, "the build was not stopped");
        QVERIFY(!typed_into_running_dialog);
        const std::string leader = trim(testing::read_test_file(work->file("leader.pid")));
        QVERIFY(!leader.empty());
        QVERIFY(::kill(-std::stoi(leader), 0) != 0 && errno == ESRCH);
        QVERIFY(window->details_memo->toPlainText().contains("Code verified: it does not compile"));
    }

    void theBuildTimeLimitAndTheLinkChoiceAreKeptInTheProject() {
        open_project();
        scan(
            [](CodeScanDialog* code) {
                QVERIFY(!code->follow_links_check->isChecked());
                QCOMPARE(code->build_timeout_spin->value(), 600);
                QTest::mouseClick(code->follow_links_check, Qt::LeftButton);
                code->build_timeout_spin->setValue(45);
            },
            [](ModalAnswerer& answers) { answers.box_starting("Scanned.", QMessageBox::Ok); });
        store::Table& p = window->projects();
        QVERIFY(p.logical("Cfollowlinks"));
        QCOMPARE(p.integer("Cbuildtimeout"), std::int64_t{45});
    }
};

QTEST_MAIN(ScanCodeDialogTest)
#include "scan_code_dialog_test.moc"
