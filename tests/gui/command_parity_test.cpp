// The window and the command line run the same commands: each command is run on one copy of a
// project through lexorin-cli and on another through the project window, and the two copies
// must then hold the same tables (every row of every table file, the Projects row with its
// Reserve memo) and the same source tree.
#include <QAbstractItemModel>
#include <QAction>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "app/program_setup.h"
#include "app/project_window.h"
#include "app/scan_code_dialog.h"
#include "app/scan_forms_dialog.h"
#include "editor/code_result_view.h"
#include "gui/gui_test_support.h"
#include "store/table_store.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::gui;
using lexorin::testing::ModalAnswerer;
using lexorin::testing::TempDir;

namespace fs = std::filesystem;

namespace {

// One copy of a project: Projects.DB in its top folder, the program directory home/ and the
// sources src/ (the demo project).
class ProjectCopy {
  public:
    ProjectCopy() {
        fs::create_directories(home());
        prepare_program_directory(home() + "/", LEXORIN_PROGRAM_DIR "/");
        fs::copy(LEXORIN_SOURCE_DIR "/examples/demo/src", src(), fs::copy_options::recursive);
    }
    std::string top() const { return dir_.path(); }
    std::string home() const { return dir_.file("home"); }
    std::string src() const { return dir_.file("src"); }

    // Runs lexorin-cli in the copy's top folder; every question is answered Yes.
    testing::CommandResult cli(const std::string& arguments) const {
        return testing::run_command("cd '" + top() +
                                    "' && '" LEXORIN_PROGRAM_DIR "/lexorin-cli' --home '" + home() +
                                    "' --yes " + arguments);
    }

    // Every file of the copy as text: tables row by row (paths of the copy written as
    // "<copy>"), other files byte for byte. Lock files say only who held them last.
    std::map<std::string, std::string> contents() const {
        std::map<std::string, std::string> all;
        for (const auto& entry : fs::recursive_directory_iterator(top())) {
            if (!entry.is_regular_file()) continue;
            const std::string path = entry.path().string();
            const std::string name = path.substr(top().size());
            if (path.ends_with(".lock")) continue;
            all[name] = path.ends_with(".db") || path.ends_with(".DB")
                            ? table_rows(entry.path().parent_path().string(),
                                         entry.path().filename().string())
                            : testing::read_test_file(path);
        }
        return all;
    }

  private:
    std::string table_rows(const std::string& directory, const std::string& file) const {
        store::Session session;
        store::Table table(session, directory, file);
        table.open();
        std::string rows;
        for (table.first(); !table.eof(); table.next()) {
            for (const auto& field : table.schema().fields)
                rows += field.name + "=" + table.text(field.name) + "\t";
            rows += "\n";
        }
        for (size_t at = rows.find(top()); at != std::string::npos; at = rows.find(top(), at))
            rows.replace(at, top().size(), "<copy>");
        return rows;
    }

    TempDir dir_;
};

}  // namespace

class CommandParityTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ProjectCopy> by_cli;
    std::unique_ptr<ProjectCopy> by_window;
    std::unique_ptr<ProjectWindow> window;

    // Both copies get the project Demo with German and French, through the command line.
    void register_project() {
        for (ProjectCopy* copy : {by_cli.get(), by_window.get()}) {
            for (const std::string& step :
                 {"project add Demo '" + copy->src() + "' --exclude '" + copy->src() + "/tools'",
                  std::string("language add Demo German"),
                  std::string("language add Demo French")}) {
                const auto result = copy->cli(step);
                QVERIFY2(result.status == 0, qPrintable(QString::fromStdString(result.err)));
            }
        }
    }
    void open_window() {
        window = std::make_unique<ProjectWindow>(by_window->top(), by_window->home() + "/");
        window->open_editor = [](ProjectWindow&) {};
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void select_language(int row) {
        window->language_list->setCurrentRow(row);
        window->language_list->item(row)->setSelected(true);
    }
    void answer(ModalAnswerer& answers) { lexorin::testing::check_answered(answers, 20000); }
    // Runs lexorin-cli on its copy; returns what it wrote to stderr.
    std::string cli(const std::string& arguments, int status = 0) {
        const auto result = by_cli->cli(arguments);
        [&] {
            QVERIFY2(result.status == status,
                     qPrintable(QString::fromStdString(arguments + ": " + result.err)));
        }();
        return result.err;
    }
    // The counts the command line printed after its "Scanned." line must be the ones the
    // window's "Scanned." box gives on its second line.
    void compare_counts(const std::string& cli_err, const QString& box) {
        QString counts;
        for (const QString& line : QString::fromStdString(cli_err).split('\n'))
            if (line.contains(" scanned, ")) counts = line;
        QVERIFY2(!counts.isEmpty(), cli_err.c_str());
        QCOMPARE(box.section('\n', 0, 0), QString("Scanned."));
        QCOMPARE(box.section('\n', 1, 1), counts + ".");
    }
    // The two copies hold the same files with the same rows.
    void compare_copies() {
        const auto expected = by_cli->contents();
        const auto actual = by_window->contents();
        QVERIFY(expected.count("/Projects.DB") && expected.count("/src/greetings.pas"));
        for (const auto& [name, text] : expected) {
            const auto found = actual.find(name);
            QVERIFY2(found != actual.end(),
                     qPrintable(QString::fromStdString("only the command line made " + name)));
            QVERIFY2(found->second == text,
                     qPrintable(QString::fromStdString(name + " differs:\ncommand line:\n" + text +
                                                       "\nwindow:\n" + found->second)));
        }
        for (const auto& [name, text] : actual)
            QVERIFY2(expected.count(name),
                     qPrintable(QString::fromStdString("only the window made " + name)));
    }
    QString scan_code_in_window() {
        ModalAnswerer scan;
        scan.dialog([](QWidget* dialog) {
                QTest::mouseClick(static_cast<CodeScanDialog*>(dialog)->scan_button,
                                  Qt::LeftButton);
            })
            .box_starting("This rewrites 2 units in place.", QMessageBox::Yes)
            .box_starting("Scanned.", QMessageBox::Ok);
        window->scan_code_action->trigger();
        answer(scan);
        return scan.seen.value(1);
    }
    QString scan_forms_in_window() {
        ModalAnswerer scan;
        scan.dialog([](QWidget* dialog) {
                QTest::mouseClick(static_cast<FormScanDialog*>(dialog)->scan_button,
                                  Qt::LeftButton);
            })
            .box_starting("Scanned.\n", QMessageBox::Ok);
        window->scan_forms_action->trigger();
        answer(scan);
        return scan.seen.value(0);
    }

  private slots:
    void init() {
        by_cli = std::make_unique<ProjectCopy>();
        by_window = std::make_unique<ProjectCopy>();
        register_project();
        open_window();
        select_language(0);  // German
    }
    void cleanup() {
        window.reset();
        by_cli.reset();
        by_window.reset();
    }

    void scanCodeThenWriteCode() {
        const std::string said = cli("scan-code Demo German");
        compare_counts(said, scan_code_in_window());
        compare_copies();

        cli("write-code Demo German");
        ModalAnswerer write;
        write.box_starting("Code written successfully.", QMessageBox::Ok);
        window->write_code_action->trigger();
        answer(write);
        compare_copies();
    }

    void scanFormsThenWriteForms() {
        const std::string said = cli("scan-forms Demo German");
        compare_counts(said, scan_forms_in_window());
        compare_copies();

        cli("write-forms Demo German");
        ModalAnswerer write;
        write.box_starting("Forms written correctly.", QMessageBox::Ok);
        window->write_forms_action->trigger();
        answer(write);
        compare_copies();
    }

    void whatNow() {
        cli("status Demo German");
        ModalAnswerer advice;
        advice.box_starting("Suggestions:\n", QMessageBox::Ok);
        QTest::mouseClick(window->what_now_button, Qt::LeftButton);
        answer(advice);
        compare_copies();
    }

    void restoreAUnit() {
        cli("scan-code Demo German");
        scan_code_in_window();
        cli("restore-code Demo German --unit greetings.pas");
        ModalAnswerer view;
        view.dialog([](QWidget* dialog) {
            auto* code_view = qobject_cast<CodeResultView*>(dialog);
            QAbstractItemModel* units = code_view->unit_list->model();
            for (int row = 0; row < units->rowCount(); ++row) {
                const QModelIndex line = units->index(row, 0);
                if (line.data().toString() != "greetings.pas") continue;
                QTest::mouseClick(code_view->unit_list->viewport(), Qt::LeftButton, {},
                                  code_view->unit_list->visualRect(line).center());
            }
            ModalAnswerer restore;
            restore.box_starting("Restore the 4 strings of greetings.pas?", QMessageBox::Yes)
                .box_starting("4 strings restored.", QMessageBox::Ok);
            QTest::mouseClick(code_view->restore_button, Qt::LeftButton);
            QTRY_VERIFY(restore.done());
            QVERIFY2(restore.problems.isEmpty(), qPrintable(restore.problems.join("\n")));
            code_view->reject();
        });
        window->view_code_results_action->trigger();
        answer(view);
        compare_copies();
    }

    void addAndDeleteALanguage() {
        cli("language add Demo Spanish");
        ModalAnswerer add;
        add.input("Spanish");
        QTest::mouseClick(window->add_language_button, Qt::LeftButton);
        answer(add);
        compare_copies();

        cli("language delete Demo French");
        select_language(1);  // French
        ModalAnswerer remove;
        remove.box_starting("With this function you delete ALL the translation", QMessageBox::Yes)
            .box_starting("ALL database files like", QMessageBox::Yes);
        QTest::mouseClick(window->delete_language_button, Qt::LeftButton);
        answer(remove);
        compare_copies();
    }

    void deleteTheProjectWithItsTables() {
        cli("scan-forms Demo German");
        scan_forms_in_window();
        cli("project delete Demo --with-tables");
        ModalAnswerer remove;
        remove.box("This function deletes your translation project. Proceed?", QMessageBox::Yes)
            .box("Do you also want to delete your translation files?", QMessageBox::Yes);
        window->delete_project_action->trigger();
        answer(remove);
        compare_copies();
    }
};

QTEST_MAIN(CommandParityTest)
#include "command_parity_test.moc"
