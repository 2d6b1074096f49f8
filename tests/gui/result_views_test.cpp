#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/program_setup.h"
#include "app/project_window.h"
#include "app/scan_code_dialog.h"
#include "app/scan_forms_dialog.h"
#include "base/text_utils.h"
#include "editor/code_result_view.h"
#include "editor/form_result_view.h"
#include "editor/result_model_qt.h"
#include "gui/gui_test_support.h"
#include "store/string_tables.h"
#include "store/table_store.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::gui;
using lexorin::testing::ModalAnswerer;
using lexorin::testing::TempDir;

namespace {

// The texts of one column of a grid, top to bottom.
QStringList column_texts(QAbstractItemView* grid, int column) {
    QStringList texts;
    QAbstractItemModel* model = grid->model();
    while (model->canFetchMore({})) model->fetchMore({});
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

void click_line(QListView* list, const QString& text) {
    QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QModelIndex line = model->index(row, 0);
        if (line.data().toString() != text) continue;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(line).center());
        return;
    }
    QFAIL(qPrintable("no line " + text));
}

void click_cell(QTableView* grid, int row, int column) {
    QModelIndex cell = grid->model()->index(row, column);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

}  // namespace

class ResultViewsTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> work;
    std::unique_ptr<ProjectWindow> window;

    std::string home() { return work->file("home"); }
    std::string src() { return work->file("src"); }

    void check(ModalAnswerer& answers) { lexorin::testing::check_answered(answers, 20000); }
    // A project on the demo sources with the language German, scanned as the user does it;
    // `before_scan` may set the dialog's options and `after_scan` answer what the scan shows
    // before "Scanned.".
    void open_scanned_project(bool forms, std::function<void(ScanDialog*)> before_scan = {},
                              std::function<void(ModalAnswerer&)> after_scan = {},
                              const QString& closing = "Scanned.") {
        window = std::make_unique<ProjectWindow>(work->path(), home() + "/");
        window->open_editor = [](ProjectWindow&) {};
        lexorin::testing::add_project_in_window(*window, "Demo", QString::fromStdString(src()),
                                                "German");

        ModalAnswerer scan;
        scan.dialog([&](QWidget* dialog) {
            auto* scan_dialog = static_cast<ScanDialog*>(dialog);
            if (before_scan) before_scan(scan_dialog);
            QTest::mouseClick(scan_dialog->scan_button, Qt::LeftButton);
        });
        if (!forms) scan.box_starting("This rewrites ", QMessageBox::Yes);  // the first scan
        if (after_scan) after_scan(scan);
        // The box goes on with the literals left alone, when there are some.
        scan.box_starting(closing, QMessageBox::Ok);
        (forms ? window->scan_forms_action : window->scan_code_action)->trigger();
        check(scan);
    }
    // The code view, worked by `work` and closed.
    void in_code_view(const std::function<void(CodeResultView*)>& work) {
        ModalAnswerer view;
        view.dialog([&](QWidget* dialog) {
            [&] {
                auto* code_view = qobject_cast<CodeResultView*>(dialog);
                QVERIFY(code_view);
                work(code_view);
            }();
            static_cast<QDialog*>(dialog)->reject();
        });
        window->view_code_results_action->trigger();
        check(view);
    }
    // True while some handle of the window's session holds the table file open.
    bool in_use(const std::string& file) {
        return window->tables().session.is_in_use(home() + "/" + file);
    }
    // Every row of a table of the language, read through a handle of the test's own.
    std::vector<std::map<std::string, std::string>> rows_of(
        const std::string& file, const std::vector<std::string>& fields) {
        store::Session session;
        store::Table table(session, home(), file);
        table.open();
        std::vector<std::map<std::string, std::string>> rows;
        for (table.first(); !table.eof(); table.next()) {
            std::map<std::string, std::string> row;
            for (const auto& f : fields) row[f] = table.text(f);
            rows.push_back(row);
        }
        return rows;
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

    void codeViewNarrowsByUnitThenWriteChangesSeesEveryRow() {
        open_scanned_project(false);
        // Earlier work on the strings: row 1 translated in text only, row 2 ignored, row 3
        // changed.
        {
            store::PascalRows german(window->tables(), "Demo", "German");
            store::Table& pascal = german.table();
            auto set = [&](int index, const char* field, const char* text) {
                QVERIFY(pascal.find_key({index}));
                pascal.edit();
                pascal.set_text(field, text);
                pascal.post();
            };
            set(1, "TranslateString", "Hallo");
            set(2, "Ignore", "Wahr");
            set(3, "Changed", "Wahr");
        }
        auto rows = rows_of("Demo_German_pascal.db", {"Index", "OriginalString", "UnitName"});
        QVERIFY(rows.size() >= 4);
        auto files = rows_of("Demo_pasfiles.db", {"Index", "UnitName"});
        std::string first_unit_key = rows[0]["UnitName"];
        QString first_unit;
        for (auto& f : files)
            if (f["Index"] == first_unit_key) first_unit = QString::fromStdString(f["UnitName"]);
        QStringList all_originals, first_unit_originals, sorted_originals;
        for (auto& r : rows) {
            all_originals << QString::fromStdString(r["OriginalString"]);
            if (r["UnitName"] == first_unit_key)
                first_unit_originals << QString::fromStdString(r["OriginalString"]);
        }
        sorted_originals = all_originals;
        std::sort(
            sorted_originals.begin(), sorted_originals.end(),
            [](const QString& a, const QString& b) { return a.toStdString() < b.toStdString(); });
        QString third_original = all_originals[2];

        ModalAnswerer view;
        view.dialog([&](QWidget* dialog) {
            // Checks that fail return from here; the window is closed below all the same.
            [&] {
                auto* code_view = qobject_cast<CodeResultView*>(dialog);
                QVERIFY(code_view);
                QCOMPARE(code_view->windowTitle(), QString("Translator - Scan PAS files"));
                QCOMPARE(code_view->no_ignored_check->text(),
                         QString("don't show \"ignored strings\""));
                QVERIFY(code_view->unsorted_radio->isChecked());
                // The unit list is sorted by file name; "(Show all)" sorts first.
                QStringList lines = column_texts(code_view->unit_list, 0);
                QCOMPARE(lines.value(0), QString("(Show all)"));
                QStringList sorted_lines = lines;
                sorted_lines.sort();
                QCOMPARE(lines, sorted_lines);
                QCOMPARE(column_texts(code_view->string_grid, 0), all_originals);

                click_line(code_view->unit_list, first_unit);
                QCOMPARE(column_texts(code_view->string_grid, 0), first_unit_originals);
                // The boxes act only through a click; "not translated" goes by the text alone.
                QTest::mouseClick(code_view->no_translated_check, Qt::LeftButton);
                QTest::mouseClick(code_view->no_ignored_check, Qt::LeftButton);
                QCOMPARE(column_texts(code_view->string_grid, 0), first_unit_originals);
                click_line(code_view->unit_list, "(Show all)");
                QStringList shown = column_texts(code_view->string_grid, 0);
                QCOMPARE(shown.size(), all_originals.size() - 2);
                QVERIFY(!shown.contains(all_originals[0]) && !shown.contains(all_originals[1]));
                QTest::mouseClick(code_view->no_translated_check, Qt::LeftButton);
                QTest::mouseClick(code_view->no_ignored_check, Qt::LeftButton);
                QTest::mouseClick(code_view->changed_only_check, Qt::LeftButton);
                click_line(code_view->unit_list, "(Show all)");
                QCOMPARE(column_texts(code_view->string_grid, 0), QStringList{third_original});
                QTest::mouseClick(code_view->changed_only_check, Qt::LeftButton);
                QTest::mouseClick(code_view->sort_by_string_radio, Qt::LeftButton);
                click_line(code_view->unit_list, "(Show all)");
                QCOMPARE(column_texts(code_view->string_grid, 0), sorted_originals);
                QTest::mouseClick(code_view->unsorted_radio, Qt::LeftButton);
                click_line(code_view->unit_list, "(Show all)");
                QCOMPARE(column_texts(code_view->string_grid, 0), all_originals);

                // The original cannot be entered: the cursor goes on to the translation.
                click_cell(code_view->string_grid, 3, kOriginalColumn);
                QCOMPARE(code_view->string_grid->currentIndex().column(), kTranslationColumn);
                QCOMPARE(code_view->string_grid->currentIndex().row(), 3);
                QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
                auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                editor->selectAll();
                QTest::keyClicks(editor, "Vier");
                QTest::keyClick(editor, Qt::Key_Return);
                QTRY_COMPARE(
                    code_view->string_grid->model()->index(3, kTranslationColumn).data().toString(),
                    QString("Vier"));
                QVERIFY(!code_view->translated_check->isChecked());  // no posting rules here
                QTest::mouseClick(code_view->ignore_check, Qt::LeftButton);

                // With "not translated" on, the translated row leaves the grid when posted.
                QTest::mouseClick(code_view->no_translated_check, Qt::LeftButton);
                click_line(code_view->unit_list, "(Show all)");
                int before = code_view->string_grid->model()->rowCount();
                click_cell(code_view->string_grid, 0, kTranslationColumn);
                QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
                QTest::keyClicks(QApplication::focusWidget(), "Erste");
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QTRY_COMPARE(code_view->string_grid->model()->rowCount(), before - 1);
                // The box refuses text the code page cannot hold.
                click_cell(code_view->string_grid, 0, kTranslationColumn);
                ModalAnswerer refused;
                refused.box_starting("", QMessageBox::Ok);
                QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
                qobject_cast<QLineEdit*>(QApplication::focusWidget())
                    ->setText(QString::fromUtf8("\u4e2d"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QTRY_VERIFY(refused.done());
                QCOMPARE(code_view->string_grid->model()->rowCount(), before - 1);
                code_view->reject();
            }();
            static_cast<QDialog*>(dialog)->reject();
        });
        window->view_code_results_action->trigger();
        check(view);

        // The view's tables, with its filter and order, went with it: nothing holds the files.
        QVERIFY(!in_use("Demo_German_pascal.db"));
        QVERIFY(!in_use("Demo_pasfiles.db"));
        QCOMPARE(store::PascalRows(window->tables(), "Demo", "German").record_count(),
                 static_cast<int>(rows.size()));
        auto stored =
            rows_of("Demo_German_pascal.db", {"Index", "TranslateString", "Translated", "Ignore"});
        QCOMPARE(stored[3]["TranslateString"], std::string("Vier"));
        QCOMPARE(stored[3]["Translated"], std::string("Falsch"));
        QCOMPARE(stored[3]["Ignore"], std::string("Wahr"));

        ModalAnswerer write;
        write.box_starting("Code written successfully.", QMessageBox::Ok);
        window->write_code_action->trigger();
        check(write);
        std::string tra = testing::read_test_file(src() + "/strings.tra");
        int declared = 0;
        for (const auto& line : read_text_lines(tra)) declared += starts_with(line, "  s_");
        QCOMPARE(declared, static_cast<int>(rows.size()));
        QVERIFY(tra.find("  s_" + stored[3]["Index"] + " = 'Vier';") != std::string::npos);
    }

    void codeViewShowsAndTakesTheTextsTheLiteralsStandFor() {
        open_scanned_project(false);
        {
            // A code row keeps its literal's body: an apostrophe doubled, a line break as codes.
            store::PascalRows german(window->tables(), "Demo", "German");
            store::Table& pascal = german.table();
            QVERIFY(pascal.find_key({1}));
            pascal.edit();
            pascal.set_text("OriginalString", "Don''t'#13#10'go");
            pascal.set_text("TranslateString", "Geh''s");
            pascal.post();
            QVERIFY(pascal.find_key({2}));
            pascal.edit();
            pascal.set_text("TranslateString", "Bis'#13#10'bald");
            pascal.post();
        }
        in_code_view([&](CodeResultView* code_view) {
            QCOMPARE(column_texts(code_view->string_grid, kOriginalColumn).value(0),
                     QString("Don't\r\ngo"));
            QCOMPARE(column_texts(code_view->string_grid, kTranslationColumn).value(0),
                     QString("Geh's"));
            QCOMPARE(column_texts(code_view->string_grid, kTranslationColumn).value(1),
                     QString("Bis\r\nbald"));
            // Passing through a cell stores nothing; a typed text is stored as a body.
            click_cell(code_view->string_grid, 1, kTranslationColumn);
            QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
            click_cell(code_view->string_grid, 0, kTranslationColumn);
            QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
            auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            editor->selectAll();
            QTest::keyClicks(editor, "Nicht's");
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(
                code_view->string_grid->model()->index(0, kTranslationColumn).data().toString(),
                QString("Nicht's"));
        });
        auto stored = rows_of("Demo_German_pascal.db", {"TranslateString"});
        QCOMPARE(stored[0]["TranslateString"], std::string("Nicht''s"));
        QCOMPARE(stored[1]["TranslateString"], std::string("Bis'#13#10'bald"));
    }

    void restoreIsReachedFromTheScanMenu() {
        open_scanned_project(false);
        // The command sits in a menu of the menu bar, shown and enabled.
        QMenu* holder = nullptr;
        for (QAction* top : window->menuBar()->actions())
            if (top->menu() && top->menu()->actions().contains(window->code_results_action))
                holder = top->menu();
        QVERIFY(holder);
        QCOMPARE(holder->title(), QString("&Scan"));
        QVERIFY(window->code_results_action->isVisible());
        QVERIFY(window->code_results_action->isEnabled());
        const std::string greetings = src() + "/greetings.pas";
        ModalAnswerer view;
        view.dialog([&](QWidget* dialog) {
            [&] {
                auto* code_view = qobject_cast<CodeResultView*>(dialog);
                QVERIFY(code_view);
                QVERIFY(code_view->restore_button->isEnabled());
                click_cell(code_view->string_grid, 0, kTranslationColumn);
                ModalAnswerer row;
                row.box_starting("Restore 1 string?", QMessageBox::Yes)
                    .box_starting("1 string restored.", QMessageBox::Ok);
                QTest::mouseClick(code_view->restore_button, Qt::LeftButton);
                QTRY_VERIFY(row.done());
                QVERIFY2(row.problems.isEmpty(), qPrintable(row.problems.join("\n")));
            }();
            static_cast<QDialog*>(dialog)->reject();
        });
        window->code_results_action->trigger();
        check(view);
        QVERIFY(testing::read_test_file(greetings).find("'Hello, '") != std::string::npos);
        QVERIFY(window->details_memo->toPlainText().contains("Code restored on "));
    }

    void codeViewRestoresTheChosenRowThenTheChosenUnit() {
        open_scanned_project(false);
        const std::string greetings = src() + "/greetings.pas";
        const std::string original = join_text_lines(read_text_lines(
            testing::read_test_file(LEXORIN_SOURCE_DIR "/examples/demo/src/greetings.pas")));
        in_code_view([&](CodeResultView* code_view) {
            QVERIFY(code_view->restore_button->isEnabled());
            // The grid's first row, greetings.pas's first literal.
            click_cell(code_view->string_grid, 0, kTranslationColumn);
            ModalAnswerer row;
            row.box(
                   "Restore 1 string? Its literal goes back into the code; the row stays, "
                   "marked Ignore.",
                   QMessageBox::Yes)
                .box("1 string restored.\ngreetings.pas:22: Result := 'Hello, ' + Name + '!';",
                     QMessageBox::Ok);
            QTest::mouseClick(code_view->restore_button, Qt::LeftButton);
            QTRY_VERIFY(row.done());
            QVERIFY2(row.problems.isEmpty(), qPrintable(row.problems.join("\n")));
            QVERIFY(testing::read_test_file(greetings).find("'Hello, '") != std::string::npos);
            QVERIFY(code_view->ignore_check->isChecked());
            QCOMPARE(code_view->new_line_label->text(), QString("0"));

            // The unit: declined first, then done; the count leaves out the row given back.
            click_line(code_view->unit_list, "greetings.pas");
            const QString question =
                "Restore the 3 strings of greetings.pas? Their literals go back into the code; "
                "the rows stay, marked Ignore.";
            ModalAnswerer declined;
            declined.box(question, QMessageBox::No);
            QTest::mouseClick(code_view->restore_button, Qt::LeftButton);
            QTRY_VERIFY(declined.done());
            QVERIFY(testing::read_test_file(greetings).find("''+s_") != std::string::npos);
            ModalAnswerer unit;
            unit.box(question, QMessageBox::Yes)
                .box_starting("3 strings restored.", QMessageBox::Ok);
            QTest::mouseClick(code_view->restore_button, Qt::LeftButton);
            QTRY_VERIFY(unit.done());
            QVERIFY2(unit.problems.isEmpty(), qPrintable(unit.problems.join("\n")));
            QVERIFY(unit.seen.value(1).contains("greetings.pas refers to no string any more."));
        });
        QCOMPARE(testing::read_test_file(greetings), original);
        QVERIFY(window->details_memo->toPlainText().contains("Code restored on "));
        // Every row stays, ignored, in the language's table.
        for (const auto& row : rows_of("Demo_German_pascal.db", {"UnitName", "Ignore", "NewLine"}))
            if (row.at("UnitName") == "2") {
                QCOMPARE(row.at("Ignore"), std::string("Wahr"));
                QCOMPARE(row.at("NewLine"), std::string("0"));
            }
    }

    // A restore of many lines shows the first 20 of them and counts the others, one line each
    // however many literals it holds.
    void codeViewRestoreReportShowsTheFirstLinesAndCountsTheOthers() {
        std::string unit =
            "unit many;\ninterface\nimplementation\nprocedure P;\nbegin\n"
            "  A('one', 'two', 'three');\n";
        for (int i = 0; i < 24; ++i) unit += "  B('line " + std::to_string(i) + "');\n";
        unit += "end;\nend.\n";
        testing::write_test_file(src() + "/many.pas", unit);
        open_scanned_project(false);
        in_code_view([&](CodeResultView* code_view) {
            click_line(code_view->unit_list, "many.pas");
            ModalAnswerer restore;
            restore.box_starting("Restore the 27 strings of many.pas?", QMessageBox::Yes)
                .box_starting("27 strings restored.", QMessageBox::Ok);
            QTest::mouseClick(code_view->restore_button, Qt::LeftButton);
            QTRY_VERIFY(restore.done());
            QVERIFY2(restore.problems.isEmpty(), qPrintable(restore.problems.join("\n")));
            const QStringList lines = restore.seen.value(1).split('\n');
            QCOMPARE(lines.size(), 23);
            QCOMPARE(lines[1], QString("many.pas:6: A('one', 'two', 'three');"));
            QCOMPARE(lines[20], QString("many.pas:25: B('line 18');"));
            QCOMPARE(lines[21], QString("... and 5 more lines."));
            QCOMPARE(lines[22], QString("many.pas refers to no string any more."));
        });
        QCOMPARE(testing::read_test_file(src() + "/many.pas"),
                 join_text_lines(read_text_lines(unit)));
    }

    void scanWithVerifyGivesBackWhatTheCompilerRefuses() {
        if (std::system("command -v fpc >/dev/null 2>&1") != 0) QSKIP("fpc is not installed");
        std::filesystem::remove_all(src());
        testing::write_test_file(src() + "/prog.dpr",
                                 "program prog;\nuses show;\nbegin\n  Run;\nend.\n");
        testing::write_test_file(src() + "/show.pas",
                                 "unit show;\n\ninterface\n\nprocedure Run;\n\nimplementation\n\n"
                                 "procedure Show(P: PChar);\nbegin\n  WriteLn(P);\nend;\n\n"
                                 "procedure Run;\nbegin\n  Show('Hello world');\nend;\n\nend.\n");
        open_scanned_project(
            false,
            [](ScanDialog* dialog) {
                auto* code = static_cast<CodeScanDialog*>(dialog);
                QVERIFY(!code->verify_check->isChecked());
                QTest::mouseClick(code->verify_check, Qt::LeftButton);
                code->build_command_edit->setText(
                    "mkdir -p out && fpc -Mobjfpc -FUout -FEout prog.dpr");
            },
            [](ModalAnswerer& answers) {
                answers.box(
                    "Restored show.pas:16: Show('Hello world');\n"
                    "The project compiles (2 builds).",
                    QMessageBox::Ok);
            });
        QVERIFY(testing::read_test_file(src() + "/show.pas").find("  Show('Hello world');") !=
                std::string::npos);
        QVERIFY(window->details_memo->toPlainText().contains("Code verified: it compiles on "));
        store::Table& p = window->projects();
        QVERIFY(p.logical("Cverify"));
        QCOMPARE(p.text("Cbuildcommand"),
                 std::string("mkdir -p out && fpc -Mobjfpc -FUout -FEout prog.dpr"));
    }

    void scanThatDoesNotCompileIsNotReportedAsSuccess() {
        open_scanned_project(
            false,
            [](ScanDialog* dialog) {
                auto* code = static_cast<CodeScanDialog*>(dialog);
                QTest::mouseClick(code->verify_check, Qt::LeftButton);
                code->build_command_edit->setText(
                    "echo 'demo.dpr(3,1) Fatal: Can'\\''t open resource file' && false");
            },
            [](ModalAnswerer& answers) {
                answers.box_starting("The project does not compile (1 build).", QMessageBox::Ok);
            },
            "Scanned, but the project does not compile");
        QVERIFY(window->details_memo->toPlainText().contains("Code verified: it does not compile"));
    }

    void formsViewShowsEveryStringAndTheClickedUnitsPath() {
        open_scanned_project(true);
        auto rows = rows_of("Demo_German_forms.db", {"OriginalString", "Ignore"});
        auto units = rows_of("Demo_units.db", {"UnitName", "Directory"});
        QVERIFY(rows.size() >= 2);
        QVERIFY(units.size() >= 2);
        QStringList all_originals;
        for (auto& r : rows) all_originals << QString::fromStdString(r["OriginalString"]);

        ModalAnswerer view;
        view.dialog([&](QWidget* dialog) {
            // Checks that fail return from here; the window is closed below all the same.
            [&] {
                auto* forms = qobject_cast<FormResultView*>(dialog);
                QVERIFY(forms);
                QCOMPARE(forms->windowTitle(), QString("View forms"));
                QCOMPARE(column_texts(forms->string_grid, 0), all_originals);
                QCOMPARE(forms->directory_edit->text(),
                         QString::fromStdString(units[0]["Directory"]));
                click_line(forms->unit_list, QString::fromStdString(units[1]["UnitName"]));
                QCOMPARE(forms->directory_edit->text(),
                         QString::fromStdString(units[1]["Directory"]));
                QCOMPARE(column_texts(forms->string_grid, 0), all_originals);  // the grid stays

                // A typed translation is stored as it stands: not marked translated, not changed.
                click_cell(forms->string_grid, 1, kTranslationColumn);
                QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
                QTest::keyClicks(QApplication::focusWidget(), "Zweite");
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QTRY_COMPARE(
                    forms->string_grid->model()->index(1, kTranslationColumn).data().toString(),
                    QString("Zweite"));
                QVERIFY(!forms->translated_check->isChecked());
                QTest::mouseClick(forms->changed_check, Qt::LeftButton);
                QTest::mouseClick(forms->ignore_check, Qt::LeftButton);

                // The boxes narrow the grid at once.
                QTest::mouseClick(forms->no_translated_check, Qt::LeftButton);
                QCOMPARE(column_texts(forms->string_grid, 0).size(), all_originals.size() - 1);
                QTest::mouseClick(forms->no_translated_check, Qt::LeftButton);
                QTest::mouseClick(forms->changed_only_check, Qt::LeftButton);
                QCOMPARE(column_texts(forms->string_grid, 0), QStringList{all_originals[1]});
                QTest::mouseClick(forms->changed_only_check, Qt::LeftButton);
                QTest::mouseClick(forms->no_ignored_check, Qt::LeftButton);
                int ignored_before = 0;
                for (size_t r = 0; r < rows.size(); ++r)
                    ignored_before += r != 1 && rows[r]["Ignore"] == "Wahr";
                QCOMPARE(column_texts(forms->string_grid, 0).size(),
                         all_originals.size() - 1 - ignored_before);
                QVERIFY(!forms->sort_by_string_radio
                             ->isEnabled());  // the forms table has no string order
                forms->accept();
            }();
            static_cast<QDialog*>(dialog)->reject();
        });
        window->view_form_results_action->trigger();
        check(view);

        QVERIFY(!in_use("Demo_German_forms.db"));
        QVERIFY(!in_use("Demo_units.db"));
        QCOMPARE(store::FormRows(window->tables(), "Demo", "German").record_count(),
                 static_cast<int>(rows.size()));
        auto stored =
            rows_of("Demo_German_forms.db", {"TranslateString", "Translated", "Changed", "Ignore"});
        QCOMPARE(stored[1]["TranslateString"], std::string("Zweite"));
        QCOMPARE(stored[1]["Translated"], std::string("Falsch"));
        QCOMPARE(stored[1]["Changed"], std::string("Wahr"));
        QCOMPARE(stored[1]["Ignore"], std::string("Wahr"));
    }
};

QTEST_MAIN(ResultViewsTest)
#include "result_views_test.moc"
