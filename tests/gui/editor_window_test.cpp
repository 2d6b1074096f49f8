#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <memory>

#include "editor/locate_dialog.h"
#include "editor/post_rules.h"
#include "editor/string_model_qt.h"
#include "editor/translation_editor.h"
#include "gui/gui_test_support.h"
#include "project/project_lock.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::gui;
using lexorin::testing::ModalAnswerer;
using lexorin::testing::TempDir;

class EditorWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<store::Session> session;
    std::unique_ptr<TranslationEditor> editor;

    void make_tables() {
        using store::create_table;
        create_table(dir->file("P_L_pascal.db"), store::pascal_schema());
        create_table(dir->file("P_L_forms.db"), store::forms_schema());
        create_table(dir->file("P_units.db"), store::file_list_schema());
        create_table(dir->file("P_pasfiles.db"), store::file_list_schema());
        store::Table pascal(*session, dir->path(), "P_L_pascal.db");
        pascal.open();
        const char* context = "line 1\rline 2\r  S := 'Don''t';\rline 4\rline 5\r";
        pascal.append_record({0, "Don't", "", 2, false, false, context, 3, 3, 0});    // 1
        pascal.append_record({0, "Open", "", 2, false, false, context, 7, 7, 0});     // 2
        pascal.append_record({0, "Don't", "", 2, false, false, context, 9, 9, 0});    // 3
        pascal.append_record({0, "Don't", "", 2, false, true, context, 11, 11, 0});   // 4 ignored
        pascal.append_record({0, "don't", "", 2, false, false, context, 12, 12, 0});  // 5
        pascal.append_record({0, "%d files", "", 2, false, false, context, 14, 14, 0});  // 6
        pascal.flush();
        store::Table forms(*session, dir->path(), "P_L_forms.db");
        forms.open();
        forms.append_record({0, "Caption", "", 2, false, false, "Form1", "Caption", true, 0});
        forms.append_record({0, "Hint", "", 2, false, false, "Form1.Button1", "Hint", true, 0});
        forms.flush();
        store::Table files(*session, dir->path(), "P_pasfiles.db");
        files.open();
        files.append_record({0, "(Show all)"});
        files.append_record({0, "main.pas", "/src/main.pas"});
        files.flush();
        store::Table units(*session, dir->path(), "P_units.db");
        units.open();
        units.append_record({0, "(Show all)"});
        units.append_record({0, "main.dfm", "/src/main.dfm"});
        units.flush();
    }
    void open_editor(bool code_mode) {
        EditorTables tables{
            dir->path(), "P_L_pascal.db", "P_L_forms.db", "P_units.db", "P_pasfiles.db", "", ""};
        editor = std::make_unique<TranslationEditor>(*session, tables, code_mode, 5, nullptr);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
    }
    bool ignored(int index) {
        store::Table t(*session, dir->path(), "P_L_pascal.db");
        t.open();
        return t.find_key({index}) && t.logical("Ignore");
    }
    std::string translation(int index) {
        store::Table t(*session, dir->path(), "P_L_pascal.db");
        t.open();
        return t.find_key({index}) ? t.text("TranslateString") : "?";
    }
    bool translated(int index) {
        store::Table t(*session, dir->path(), "P_L_pascal.db");
        t.open();
        return t.find_key({index}) && t.logical("Translated");
    }
    int current_row() { return editor->current_grid()->currentIndex().row(); }
    void type_translation(const QString& text) {
        QPlainTextEdit* box = editor->current_box();
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void check(ModalAnswerer& answers) { lexorin::testing::check_answered(answers, 5000); }

  private slots:
    void init() {
        dir = std::make_unique<TempDir>();
        session = std::make_unique<store::Session>();
        make_tables();
    }
    void cleanup() {
        editor.reset();
        session.reset();
        dir.reset();
    }

    void enterPostsMarksTranslatedAndOffersEqualRows() {
        open_editor(true);
        QCOMPARE(editor->windowTitle(), QString("Translation Editor"));
        QCOMPARE(current_row(), 0);
        QCOMPARE(editor->code_unit_label->text(), QString("/src/main.pas"));
        QCOMPARE(editor->context_view->toPlainText(),
                 QString("line 1\nline 2\n  S := 'Don''t';\nline 4\nline 5"));
        ModalAnswerer answers;
        answers.box(QString::fromStdString(editor::PropagationQuestion(1)), QMessageBox::Yes);
        type_translation("Nicht");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        check(answers);
        QCOMPARE(translation(1), std::string("Nicht"));
        QVERIFY(translated(1));
        QCOMPARE(translation(3), std::string("Nicht"));  // an equal untranslated row
        QCOMPARE(translation(4), std::string(""));       // an ignored row keeps its value
        QCOMPARE(translation(5), std::string(""));       // another letter case
        QCOMPARE(current_row(), 1);                      // Enter moves on
        QVERIFY(editor->current_box()->toPlainText().isEmpty());
        // The copy takes the posted row's flags; the ignored row stays as it was.
        QCOMPARE(editor->counts_text(), QString("Translated: 2   Untranslated: 3   Ignored: 1"));
        QVERIFY(ignored(4));
        QVERIFY(!translated(4));

        // Ctrl+Z puts back every row of that post.
        QTest::keySequence(editor->current_box(), QKeySequence::Undo);
        QCOMPARE(translation(1), std::string(""));
        QCOMPARE(translation(3), std::string(""));
        QVERIFY(!translated(1));
        QVERIFY(!translated(4));
        QCOMPARE(editor->counts_text(), QString("Translated: 0   Untranslated: 5   Ignored: 1"));
    }

    void codeRowsShowAndTakeTheTextTheirLiteralStandsFor() {
        {
            // A code row keeps the literal's body; an earlier version stored translations as
            // typed (row 7).
            store::Table pascal(*session, dir->path(), "P_L_pascal.db");
            pascal.open();
            pascal.append_record({0, "Don''t stop", "Nicht's", 2, true, false, "", 20, 20, 0});
            pascal.append_record({0, "Don''t stop", "", 2, false, false, "", 21, 21, 0});  // 8
            pascal.append_record(
                {0, "Zeile'#13#10'zwei", "Line'#13#10'two", 2, true, false, "", 22, 22, 0});  // 9
            pascal.flush();
        }
        open_editor(true);
        // Found as it reads, in any letter case.
        QVERIFY(editor->locate_next("OriginalString", "don't st"));
        QCOMPARE(current_row(), 6);
        QCOMPARE(
            editor->current_model()->data(editor->current_model()->index(6, 0), Qt::DisplayRole),
            QVariant("Don't stop"));
        QCOMPARE(editor->code_original_box->toPlainText(), QString("Don't stop"));
        QCOMPARE(editor->current_box()->toPlainText(), QString("Nicht's"));

        ModalAnswerer answers;
        answers.box(QString::fromStdString(editor::PropagationQuestion(1)), QMessageBox::Yes);
        type_translation("Geht's");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        check(answers);
        QCOMPARE(translation(7), std::string("Geht''s"));
        QCOMPARE(translation(8), std::string("Geht''s"));  // offered to the equal row
        QVERIFY(translated(8));
        QCOMPARE(current_row(), 7);
        QCOMPARE(editor->current_box()->toPlainText(), QString("Geht's"));
        QVERIFY(editor->code_problems_label->text().isEmpty());

        // Undo gives back exactly what was stored, typed text and all.
        QTest::keySequence(editor->current_box(), QKeySequence::Undo);
        QCOMPARE(translation(7), std::string("Nicht's"));
        QCOMPARE(translation(8), std::string(""));
        QVERIFY(!translated(8));

        // Line breaks show as lines; passing the row posts nothing, and a new text takes the
        // original's line break.
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(8, 0));
        QCOMPARE(editor->code_original_box->toPlainText(), QString("Zeile\nzwei"));
        QCOMPARE(editor->current_box()->toPlainText(), QString("Line\ntwo"));
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(7, 0));
        QCOMPARE(translation(9), std::string("Line'#13#10'two"));
        QCOMPARE(editor->undo_stack()->count(), 1);  // the post above, taken back
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(8, 0));
        editor->current_box()->setPlainText("Eins\nZwei");  // as pasted
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(translation(9), std::string("Eins'#13#10'Zwei"));
    }

    void answeringNoFillsNoOtherRow() {
        open_editor(true);
        ModalAnswerer answers;
        answers.box(QString::fromStdString(editor::PropagationQuestion(1)), QMessageBox::No);
        type_translation("Nicht");
        QTest::keyClick(editor->current_box(), Qt::Key_Enter);
        check(answers);
        QCOMPARE(translation(1), std::string("Nicht"));
        QCOMPARE(translation(3), std::string(""));
        // Leaving a row with unposted text posts it; nothing else shares "Open".
        type_translation("Offen");
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(3, 0));
        QCOMPARE(translation(2), std::string("Offen"));
    }

    void aPostWaitsForAnotherCommandOnTheProject() {
        // Another process holds the project while the user posts: after the wait the post is
        // refused with the holder named, and nothing is written; once it lets go, posting works.
        const pid_t holder = ::fork();
        if (holder == 0) {
            ProjectLock lock(dir->path(), "P");
            ::sleep(30);
            ::_exit(0);
        }
        QVERIFY(holder > 0);
        // The holder writes its pid once it holds the lock.
        const std::string lock_file = project_lock_path(dir->path(), "P");
        const std::string holder_line = std::to_string(holder) + "\n";
        QTRY_VERIFY(QFile(QString::fromStdString(lock_file)).exists() &&
                    lexorin::testing::read_test_file(lock_file) == holder_line);
        EditorTables tables{
            dir->path(), "P_L_pascal.db", "P_L_forms.db", "P_units.db", "P_pasfiles.db", "P", "L"};
        editor = std::make_unique<TranslationEditor>(*session, tables, true, 5, nullptr);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        ModalAnswerer refused;
        refused.box(
            "Project P is in use by another Lexorin command (pid " + QString::number(holder) + ").",
            QMessageBox::Ok);
        type_translation("Nicht");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        check(refused);
        QCOMPARE(translation(1), std::string(""));
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);

        ModalAnswerer answers;
        answers.box(QString::fromStdString(editor::PropagationQuestion(1)), QMessageBox::No);
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        check(answers);
        QCOMPARE(translation(1), std::string("Nicht"));
    }

    void aRefusedCharacterKeepsTheRowAndTheTypedText() {
        open_editor(true);
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(1, 0));
        const QString typed = QString::fromUtf8("Knopf \xC5\x82");  // not in Windows-1252
        ModalAnswerer enter;
        enter.box_starting("The character \"\u0142\" (U+0142)", QMessageBox::Ok);
        type_translation("Knopf ");
        // A key that types a character outside Latin-1, as a Polish keyboard does.
        QKeyEvent l_stroke(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                           QString::fromUtf8("\xC5\x82"));
        QApplication::sendEvent(editor->current_box(), &l_stroke);
        QCOMPARE(editor->current_box()->toPlainText(), typed);
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        check(enter);
        QCOMPARE(enter.seen.size(), 1);  // one box, not one per attempt
        QCOMPARE(current_row(), 1);
        QCOMPARE(editor->current_box()->toPlainText(), typed);
        QTRY_VERIFY(editor->focusWidget() == editor->current_box());
        QCOMPARE(translation(2), std::string(""));
        // The next keys still go to the same row's box.
        QTest::keyClicks(editor->focusWidget(), "x");
        QCOMPARE(editor->current_box()->toPlainText(), typed + "x");
        QCOMPARE(translation(3), std::string(""));

        // Clicking another row does not drop the text either.
        ModalAnswerer leave;
        leave.box_starting("The character \"\u0142\" (U+0142)", QMessageBox::Ok);
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(3, 0));
        check(leave);
        QCOMPARE(current_row(), 1);
        QCOMPARE(editor->current_box()->toPlainText(), typed + "x");

        // Close refuses to drop the text: the editor stays open with it.
        ModalAnswerer close;
        close.box_starting("The character \"\u0142\" (U+0142)", QMessageBox::Ok);
        QTest::mouseClick(editor->close_button, Qt::LeftButton);
        check(close);
        QCOMPARE(close.seen.size(), 1);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->current_box()->toPlainText(), typed + "x");

        // Mended, Enter posts it and moves on.
        ModalAnswerer mended;  // "Open" has no equal row: no question
        type_translation("Knopf");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(translation(2), std::string("Knopf"));
        QCOMPARE(current_row(), 2);
        QVERIFY(mended.problems.isEmpty());
    }

    void filtersNarrowAndRestore() {
        open_editor(true);
        QCOMPARE(editor->current_model()->rowCount(), 6);
        QTest::mouseClick(editor->no_ignored_check, Qt::LeftButton);
        QCOMPARE(editor->current_model()->rowCount(), 5);
        QCOMPARE(editor->current_table().filter(), std::string("Ignore=0"));
        QTest::mouseClick(editor->not_translated_check, Qt::LeftButton);
        QCOMPARE(editor->current_table().filter(), std::string("Ignore=0 and Translated=0"));
        // With "Not translated only" on, a posted row leaves the grid and the cursor stands on
        // the next one.
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(1, 0));
        type_translation("Offen");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(editor->current_model()->rowCount(), 4);
        QCOMPARE(editor->current_box()->toPlainText(), QString());
        QTest::mouseClick(editor->no_ignored_check, Qt::LeftButton);
        QTest::mouseClick(editor->not_translated_check, Qt::LeftButton);
        QCOMPARE(editor->current_model()->rowCount(), 6);
        QVERIFY(!editor->current_table().filtered());
    }

    void searchFindsTheNextMatchingRow() {
        open_editor(true);
        QVERIFY(editor->locate_next("OriginalString", "don"));
        QCOMPARE(current_row(), 2);  // the next one after the current row, any letter case
        QVERIFY(editor->locate_next("OriginalString", "DON"));
        QCOMPARE(current_row(), 3);
        QVERIFY(editor->locate_next("OriginalString", "don"));
        QCOMPARE(current_row(), 4);
        // Past the last match the search goes on from the first row, and says so.
        bool wrapped = false;
        QVERIFY(editor->locate_next("OriginalString", "don", &wrapped));
        QVERIFY(wrapped);
        QCOMPARE(current_row(), 0);
        QVERIFY(editor->locate_next("OriginalString", "don", &wrapped));
        QVERIFY(!wrapped);
        QCOMPARE(current_row(), 2);
        QVERIFY(!editor->locate_next("OriginalString", "nothing like it", &wrapped));
        QCOMPARE(current_row(), 2);
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(4, 0));
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(0, 0));
        QVERIFY(editor->locate_next("NewLine", "14"));
        QCOMPARE(current_row(), 5);

        ModalAnswerer answers;
        answers
            .dialog([](QWidget* w) {
                auto* d = static_cast<LocateDialog*>(w);
                QCOMPARE(d->windowTitle(), QString("Locate Field Value"));
                QCOMPARE(d->fields->currentText(), QString("OriginalString"));
                d->edit->setText("nothing like it");
                QTest::mouseClick(d->next, Qt::LeftButton);
                d->reject();
            })
            .box("Search value not found.", QMessageBox::Ok);
        editor->search();
        check(answers);
    }

    void titleAndStatusBarNameTheProjectAndLanguage() {
        EditorTables tables{dir->path(),     "P_L_pascal.db", "P_L_forms.db", "P_units.db",
                            "P_pasfiles.db", "Demo",          "German"};
        editor = std::make_unique<TranslationEditor>(*session, tables, true, 5, nullptr);
        QCOMPARE(editor->windowTitle(), QString("Translation Editor - Demo - German"));
        QCOMPARE(editor->project_language_label->text(), QString("Project Demo, language German"));
    }

    void opensOnTheModeWithRowsWithTheFocusInTheGrid() {
        {
            store::Table forms(*session, dir->path(), "P_L_forms.db");
            forms.open();
            forms.empty();
        }
        open_editor(false);  // the last scan was of forms, but only code has rows
        QVERIFY(editor->code_mode());
        QVERIFY(editor->code_mode_button->isChecked());
        QCOMPARE(current_row(), 0);
        QTRY_VERIFY(editor->focusWidget() == editor->code_grid);
    }

    void typingInTheGridGoesToTheTranslationBox() {
        open_editor(true);
        editor->current_grid()->setFocus();
        QTest::keyClicks(editor->current_grid(), "Ja");
        QCOMPARE(editor->current_box()->toPlainText(), QString("Ja"));
        QTest::keyClick(editor->current_grid(), '&');
        QCOMPARE(editor->current_box()->toPlainText(), QString("Ja"));
        // The arrow keys move the grid from the box, posting what was typed.
        ModalAnswerer answers;
        answers.box(QString::fromStdString(editor::PropagationQuestion(1)), QMessageBox::No);
        QTest::keyClick(editor->current_box(), Qt::Key_Down);
        check(answers);
        QCOMPARE(current_row(), 1);
        QCOMPARE(translation(1), std::string("Ja"));
    }

    void formsRowsLoseTheirChangedFlagOnPost() {
        open_editor(false);
        QVERIFY(!editor->code_mode());
        QVERIFY(editor->forms_mode_button->isChecked());
        QVERIFY(editor->changed_only_check->isVisible());
        QCOMPARE(editor->object_label->text(), QString("Form1"));
        QCOMPARE(editor->forms_unit_label->text(), QString("/src/main.dfm"));
        QTest::mouseClick(editor->changed_only_check, Qt::LeftButton);
        QCOMPARE(editor->current_table().filter(), std::string("Changed=1"));
        QCOMPARE(editor->current_model()->rowCount(), 2);
        type_translation("Titel");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(editor->current_model()->rowCount(), 1);
        store::Table forms(*session, dir->path(), "P_L_forms.db");
        forms.open();
        forms.find_key({1});
        QVERIFY(!forms.logical("Changed"));
        QVERIFY(forms.logical("Translated"));
        // Back to code mode: "Changed only" is cleared and hidden.
        QTest::mouseClick(editor->code_mode_button, Qt::LeftButton);
        QVERIFY(editor->code_mode());
        QVERIFY(!editor->changed_only_check->isVisible());
        QVERIFY(!editor->changed_only_check->isChecked());
    }

    void translationChecksMarkRowsWithProblems() {
        open_editor(true);
        const QSize box_size = editor->current_box()->size();
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(5, 0));
        type_translation("Dateien");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(5, 0));
        QVERIFY(editor->code_problems_label->text().startsWith("placeholders"));
        QApplication::processEvents();
        QCOMPARE(editor->current_box()->size(), box_size);  // the problem text takes no room
        QVERIFY(editor->current_model()
                    ->data(editor->current_model()->index(5, 0), Qt::DisplayRole)
                    .toString()
                    .startsWith("(!)"));
        QTest::mouseClick(editor->problems_only_check, Qt::LeftButton);
        QCOMPARE(editor->current_model()->rowCount(), 1);
        type_translation("%d Dateien");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(editor->current_model()->rowCount(), 0);
    }

    void checkBoxesInTheGridPostWithTheRules() {
        open_editor(true);
        QModelIndex ignore = editor->current_model()->index(1, 1);
        QVERIFY(editor->current_model()->setData(ignore, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(ignored(2));
        QCOMPARE(editor->counts_text(), QString("Translated: 0   Untranslated: 4   Ignored: 2"));
    }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
