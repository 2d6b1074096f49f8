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
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <memory>

#include "base/text_qt.h"
#include "editor/find_bar.h"
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

// The code grid: the original, the translation, then the flags.
constexpr int kCodeIgnoreColumn = 2;
constexpr int kCodeTranslatedColumn = 3;

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
    void open_editor(std::optional<bool> code_mode, QSettings* memory = nullptr) {
        EditorTables tables{
            dir->path(), "P_L_pascal.db", "P_L_forms.db", "P_units.db", "P_pasfiles.db", "", ""};
        editor =
            std::make_unique<TranslationEditor>(*session, tables, code_mode, 5, nullptr, memory);
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
    // The editor active again after a message box, so that its keys reach it.
    void reactivate() {
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
        editor->current_grid()->setFocus();
    }
    // The grid rows highlighted, in order.
    QList<int> highlighted() {
        QList<int> rows;
        for (const QModelIndex& i : editor->current_grid()->selectionModel()->selectedRows())
            rows << i.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    // A click on a row of the grid, as the mouse gives it.
    void click_row(int row) {
        QTableView* grid = editor->current_grid();
        const QModelIndex index = editor->current_model()->index(row, 0);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    }
    // The question after posting row 1 ("Don't"): row 3 holds the same original.
    static QString offer_to_row_3() {
        return message_text(editor::PropagationQuestion(1, "Don't", {"main.pas, line 9"}));
    }
    // Rows 7 to 186: "Row 7" ... with translations, so that the grid is longer than a screen.
    void add_many_rows() {
        store::Table pascal(*session, dir->path(), "P_L_pascal.db");
        pascal.open();
        for (int i = 7; i <= 186; ++i)
            pascal.append_record({0, "Row " + std::to_string(i), "Zeile " + std::to_string(i), 2,
                                  true, false, "", 100 + i, 100 + i, 0});
        pascal.flush();
    }
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
        answers.box(offer_to_row_3(), QMessageBox::Yes);
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
        answers.box(
            message_text(editor::PropagationQuestion(1, "Don't stop", {"main.pas, line 21"})),
            QMessageBox::Yes);
        type_translation("Geht's");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        check(answers);
        QCOMPARE(translation(7), std::string("Geht''s"));
        QCOMPARE(translation(8), std::string("Geht''s"));  // offered to the equal row
        QVERIFY(translated(8));
        QCOMPARE(current_row(), 7);
        QCOMPARE(editor->current_box()->toPlainText(), QString("Geht's"));
        QCOMPARE(editor->current_checks()->count(), 0);

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
        answers.box(offer_to_row_3(), QMessageBox::No);
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
        answers.box(offer_to_row_3(), QMessageBox::No);
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
        answers.box(offer_to_row_3(), QMessageBox::No);
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
        QVERIFY(editor->current_checks()->item(0)->text().startsWith("placeholders"));
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
        QModelIndex ignore = editor->current_model()->index(1, kCodeIgnoreColumn);
        QVERIFY(editor->current_model()->setData(ignore, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(ignored(2));
        QCOMPARE(editor->counts_text(), QString("Translated: 0   Untranslated: 4   Ignored: 2"));
    }

    // ---- the box edits the highlighted row ----

    void everyMovingKeyMovesTheHighlightWithTheRowTheBoxEdits() {
        add_many_rows();
        open_editor(true);
        QTableView* grid = editor->current_grid();
        const int last = editor->current_model()->rowCount() - 1;
        QCOMPARE(last, 185);
        // The user's path: a click on a row, Ctrl+End, a space, a click on another row.
        click_row(174);
        QCOMPARE(highlighted(), QList<int>{174});
        QCOMPARE(editor->current_box()->toPlainText(), QString("Zeile 175"));
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(current_row(), last);
        QCOMPARE(highlighted(), QList<int>{last});  // the highlight went along
        QCOMPARE(editor->current_box()->toPlainText(), QString("Zeile 186"));
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(editor->current_box()->toPlainText(), QString(" Zeile 186"));
        click_row(173);
        // The space went to the row that was highlighted while it was typed, and to no other.
        QCOMPARE(translation(186), std::string(" Zeile 186"));
        QCOMPARE(translation(175), std::string("Zeile 175"));
        QCOMPARE(translation(174), std::string("Zeile 174"));
        QCOMPARE(highlighted(), QList<int>{173});

        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(highlighted(), QList<int>{0});
        QCOMPARE(editor->code_original_box->toPlainText(), QString("Don't"));
        QTest::keyClick(grid, Qt::Key_PageDown);
        QVERIFY(current_row() > 0);
        QCOMPARE(highlighted(), QList<int>{current_row()});
        const int paged = current_row();
        QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(highlighted(), QList<int>{current_row()});
        // From the box, the arrows and the page keys move the grid, posting for the row typed.
        type_translation("Seite");
        const int typed_row = current_row();
        QTest::keyClick(editor->current_box(), Qt::Key_PageUp);
        QVERIFY(current_row() < typed_row);
        QCOMPARE(highlighted(), QList<int>{current_row()});
        QCOMPARE(translation(typed_row + 1), std::string("Seite"));
        QVERIFY(paged > 0);
        // Shift still extends the highlight; the box edits the row the cursor is on.
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(highlighted().size(), 2);
        QVERIFY(highlighted().contains(current_row()));
    }

    void anEmptiedTranslationMakesTheRowUntranslated() {
        open_editor(true);
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(1, 0));
        type_translation("Offen");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QVERIFY(translated(2));
        QCOMPARE(editor->counts_text(), QString("Translated: 1   Untranslated: 4   Ignored: 1"));
        // Select all, Delete, Enter.
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(1, 0));
        QPlainTextEdit* box = editor->current_box();
        box->setFocus();
        QTest::keySequence(box, QKeySequence::SelectAll);
        QTest::keyClick(box, Qt::Key_Delete);
        QVERIFY(box->toPlainText().isEmpty());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(translation(2), std::string(""));
        QVERIFY(!translated(2));
        QCOMPARE(editor->current_model()->data(
                     editor->current_model()->index(1, kCodeTranslatedColumn), Qt::CheckStateRole),
                 QVariant(Qt::Unchecked));
        QCOMPARE(editor->counts_text(), QString("Translated: 0   Untranslated: 5   Ignored: 1"));
    }

    // ---- Ignore: its own question, its key, and marks on many rows ----

    void tickingIgnoreAsksItsOwnQuestionAndCtrlIDoesAsTheTick() {
        open_editor(true);
        const QString ignore_row_3 =
            message_text(editor::IgnoreQuestion(1, "Don't", {"main.pas, line 9"}));
        ModalAnswerer no;
        no.box(ignore_row_3, QMessageBox::No);
        QVERIFY(editor->current_model()->setData(
            editor->current_model()->index(0, kCodeIgnoreColumn), Qt::Checked, Qt::CheckStateRole));
        check(no);
        QVERIFY(ignored(1));
        QVERIFY(!ignored(3));  // nothing ignored behind the user's back
        reactivate();
        // Ctrl+I clears it again (nothing to ask), then ticks it, and Yes ignores row 3 too.
        QTest::keyClick(editor->current_grid(), Qt::Key_I, Qt::ControlModifier);
        QVERIFY(!ignored(1));
        ModalAnswerer yes;
        yes.box(ignore_row_3, QMessageBox::Yes);
        QTest::keyClick(editor->current_grid(), Qt::Key_I, Qt::ControlModifier);
        check(yes);
        reactivate();
        QVERIFY(ignored(1));
        QVERIFY(ignored(3));
        QCOMPARE(translation(3), std::string(""));
        QVERIFY(!translated(3));
        // The key works from the translation box as well.
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(1, 0));
        QTest::keyClick(editor->current_box(), Qt::Key_I, Qt::ControlModifier);
        QVERIFY(ignored(2));
    }

    void marksApplyToEveryHighlightedRowAtOnceAndOneUndoTakesThemBack() {
        {
            store::Table pascal(*session, dir->path(), "P_L_pascal.db");
            pascal.open();
            for (int id : {1, 2, 3}) {
                pascal.find_key({id});
                pascal.edit();
                pascal.set_text("TranslateString", id == 2 ? "Offen" : "Nicht");
                pascal.post();
            }
            pascal.flush();
        }
        open_editor(true);
        QTableView* grid = editor->current_grid();
        QVERIFY(grid->actions().contains(editor->ignore_action));  // the context menu
        QVERIFY(grid->actions().contains(editor->translated_action));
        QVERIFY(grid->actions().contains(editor->not_translated_action));
        click_row(0);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(highlighted(), (QList<int>{0, 1, 2}));
        QCOMPARE(editor->selected_row_ids(), (std::vector<std::int64_t>{1, 2, 3}));

        QTest::keyClick(grid, Qt::Key_T, Qt::ControlModifier);
        for (int id : {1, 2, 3}) QVERIFY(translated(id));
        QVERIFY(!translated(5));
        QCOMPARE(editor->undo_stack()->count(), 1);
        QCOMPARE(highlighted(), (QList<int>{0, 1, 2}));  // still chosen for the next mark
        QTest::keyClick(grid, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        for (int id : {1, 2, 3}) QVERIFY(!translated(id));
        QCOMPARE(translation(2), std::string("Offen"));  // the text stays for a later look
        QTest::keyClick(grid, Qt::Key_I, Qt::ControlModifier);
        for (int id : {1, 2, 3}) QVERIFY(ignored(id));
        QCOMPARE(editor->undo_stack()->count(), 3);
        QCOMPARE(editor->counts_text(), QString("Translated: 0   Untranslated: 2   Ignored: 4"));

        // Ctrl+I on rows that are all ignored clears them; one Ctrl+Z puts them back.
        QTest::keyClick(grid, Qt::Key_I, Qt::ControlModifier);
        for (int id : {1, 2, 3}) QVERIFY(!ignored(id));
        QTest::keySequence(grid, QKeySequence::Undo);
        for (int id : {1, 2, 3}) QVERIFY(ignored(id));
        QTest::keySequence(grid, QKeySequence::Undo);
        for (int id : {1, 2, 3}) QVERIFY(!ignored(id));
        QTest::keySequence(grid, QKeySequence::Undo);
        for (int id : {1, 2, 3}) QVERIFY(translated(id));
        QVERIFY(ignored(4));  // ignored from the start, and never among the chosen rows
    }

    // ---- the find bar ----

    void ctrlFOpensAFindBarThatFindsInOriginalsAndTranslations() {
        {
            store::Table pascal(*session, dir->path(), "P_L_pascal.db");
            pascal.open();
            pascal.find_key({6});
            pascal.edit();
            pascal.set_text("TranslateString", "%d Dateien");
            pascal.post();
            pascal.flush();
        }
        open_editor(true);
        QTableView* grid = editor->current_grid();
        QVERIFY(editor->find_bar->isHidden());
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(editor->find_bar->isVisible());
        QTRY_VERIFY(editor->focusWidget() == editor->find_bar->edit);
        // An empty text finds nothing.
        QTest::keyClick(editor->find_bar->edit, Qt::Key_Return);
        QCOMPARE(current_row(), 0);
        QVERIFY(!editor->find_text("", true));

        QTest::keyClicks(editor->find_bar->edit, "ON'");
        QTest::keyClick(editor->find_bar->edit, Qt::Key_Return);
        QCOMPARE(current_row(), 2);  // "Don't", any letter case, after the current row
        QCOMPARE(highlighted(), QList<int>{2});
        QTest::keyClick(editor->find_bar->edit, Qt::Key_F3);
        QCOMPARE(current_row(), 3);
        QTest::keyClick(editor->find_bar->edit, Qt::Key_F3);
        QCOMPARE(current_row(), 4);
        QTest::keyClick(editor->find_bar->edit, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(current_row(), 3);
        QTest::keyClick(editor->find_bar->edit, Qt::Key_F3);
        QTest::keyClick(editor->find_bar->edit, Qt::Key_F3);
        QCOMPARE(current_row(), 0);  // once around
        QCOMPARE(editor->find_bar->message->text(), QString("Searched on from the first row."));
        // A translation is searched as well, inside the text.
        editor->find_bar->edit->setText("dateien");
        QTest::keyClick(editor->find_bar->edit, Qt::Key_Return);
        QCOMPARE(current_row(), 5);
        editor->find_bar->edit->setText("nowhere");
        QTest::keyClick(editor->find_bar->edit, Qt::Key_Return);
        QCOMPARE(current_row(), 5);
        QCOMPARE(editor->find_bar->message->text(), QString("Not found."));

        // The found row is edited with the bar open, and posted for that row.
        editor->find_bar->edit->setText("open");
        QTest::keyClick(editor->find_bar->edit, Qt::Key_F3);
        QCOMPARE(current_row(), 1);
        QVERIFY(editor->current_box()->isEnabled());
        type_translation("Offen");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(translation(2), std::string("Offen"));
        QVERIFY(editor->find_bar->isVisible());
        // Esc in the bar closes the bar, not the editor.
        editor->find_bar->edit->setFocus();
        QTest::keyClick(editor->find_bar->edit, Qt::Key_Escape);
        QVERIFY(editor->find_bar->isHidden());
        QVERIFY(editor->isVisible());
    }

    // ---- what the editor remembers ----

    void theEditorRemembersItsSizeFiltersAndMode() {
        QSettings memory(QString::fromStdString(dir->file("memory.ini")), QSettings::IniFormat);
        open_editor(std::nullopt, &memory);
        QVERIFY(editor->code_mode());  // nothing remembered yet
        QTest::mouseClick(editor->no_ignored_check, Qt::LeftButton);
        QTest::mouseClick(editor->forms_mode_button, Qt::LeftButton);
        QTest::mouseClick(editor->changed_only_check, Qt::LeftButton);
        editor->resize(900, 700);
        QTest::mouseClick(editor->close_button, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        editor.reset();

        open_editor(std::nullopt, &memory);
        QVERIFY(!editor->code_mode());
        QVERIFY(editor->no_ignored_check->isChecked());
        QVERIFY(editor->changed_only_check->isChecked());
        QCOMPARE(editor->current_table().filter(), std::string("Ignore=0 and Changed=1"));
        QCOMPARE(editor->size(), QSize(900, 700));
        editor->reject();
        editor.reset();
        // A mode asked for (after a scan) wins over the remembered one; the filters stay.
        open_editor(true, &memory);
        QVERIFY(editor->code_mode());
        QVERIFY(editor->no_ignored_check->isChecked());
        QCOMPARE(editor->current_table().filter(), std::string("Ignore=0"));
    }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
