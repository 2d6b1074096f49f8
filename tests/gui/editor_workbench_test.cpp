// The translation editor as a translator's workbench: the translation and review columns, the
// state and file filters with each file's progress, the memory's suggestions and the checks of
// the text typed.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <memory>

#include "editor/string_model_qt.h"
#include "editor/translation_editor.h"
#include "gui/gui_test_support.h"
#include "project/spelling.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_memory.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::gui;
using lexorin::testing::TempDir;

namespace {

constexpr int kTranslationColumn = 1;
constexpr int kReviewColumn = 4;  // code grid: original, translation, Ignore, Translated, Review
constexpr int kNeedsReview = 2;   // the state list: All, Untranslated, Needs review, Problems
constexpr int kProblems = 3;

QStringList items(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

QStringList items(QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    return texts;
}

}  // namespace

class EditorWorkbenchTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<store::Session> session;
    std::unique_ptr<TranslationEditor> editor;

    void make_tables() {
        using store::create_table;
        create_table(dir->file("P_German_pascal.db"), store::pascal_schema());
        create_table(dir->file("P_German_forms.db"), store::forms_schema());
        create_table(dir->file("P_units.db"), store::file_list_schema());
        create_table(dir->file("P_pasfiles.db"), store::file_list_schema());
        store::Table pascal(*session, dir->path(), "P_German_pascal.db");
        pascal.open();
        pascal.append_record({0, "Open the file", "", 2, false, false, "", 3, 3});  // 1
        pascal.append_record({0, "%d files", "", 2, false, false, "", 4, 4});       // 2
        pascal.append_record({0, "Don''t", "Geht''s", 2, true, false, "", 5, 5});   // 3
        pascal.append_record({0, "Close", "", 3, false, false, "", 6, 6});          // 4
        pascal.append_record({0, "Save", "", 3, false, false, "", 7, 7});           // 5
        pascal.append_record({0, "Skip", "", 3, false, true, "", 8, 8});            // 6 ignored
        pascal.flush();
        store::Table files(*session, dir->path(), "P_pasfiles.db");
        files.open();
        files.append_record({0, "(Show all)"});
        files.append_record({0, "main.pas", "/src/main.pas"});
        files.append_record({0, "util.pas", "/src/util.pas"});
        files.flush();
        store::Table units(*session, dir->path(), "P_units.db");
        units.open();
        units.append_record({0, "(Show all)"});
        units.flush();
    }
    void open_editor(QSettings* memory = nullptr) {
        EditorTables tables{dir->path(),  "P_German_pascal.db", "P_German_forms.db",
                            "P_units.db", "P_pasfiles.db",      "P",
                            "German"};
        editor = std::make_unique<TranslationEditor>(*session, tables, true, 5, nullptr, memory);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
    }
    // A field of the row with this Index, as stored.
    std::string stored(int index, const char* field) {
        store::Table t(*session, dir->path(), "P_German_pascal.db");
        t.open();
        return t.find_key({index}) ? t.text(field) : "?";
    }
    bool needs_review(int index) {
        store::Table t(*session, dir->path(), "P_German_pascal.db");
        t.open();
        return t.find_key({index}) && t.logical("NeedsReview");
    }
    void go_to(int row) {
        editor->current_grid()->setCurrentIndex(editor->current_model()->index(row, 0));
    }
    void type_translation(const QString& text) {
        QPlainTextEdit* box = editor->current_box();
        box->setFocus();
        box->selectAll();
        // QTest types ASCII only; other text goes in as a paste does.
        bool ascii = true;
        for (QChar c : text) ascii = ascii && c.unicode() < 128;
        if (ascii)
            QTest::keyClicks(box, text);
        else
            box->insertPlainText(text);
    }
    QVariant cell(int row, int column, int role) {
        return editor->current_model()->data(editor->current_model()->index(row, column), role);
    }

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

    void theTranslationColumnShowsWhatTheTranslatorReads() {
        open_editor();
        QCOMPARE(editor->current_model()->headerData(kTranslationColumn, Qt::Horizontal,
                                                     Qt::DisplayRole),
                 QVariant("Translation"));
        QCOMPARE(cell(2, kTranslationColumn, Qt::DisplayRole), QVariant("Geht's"));
        QCOMPARE(cell(0, kTranslationColumn, Qt::DisplayRole), QVariant(""));
        type_translation("Die Datei öffnen");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(cell(0, kTranslationColumn, Qt::DisplayRole), QVariant("Die Datei öffnen"));
    }

    void ctrlRMarksTheHighlightedRowsForReviewAndTheStateListFindsThem() {
        open_editor();
        go_to(0);
        QTest::keyClick(editor->current_grid(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(editor->current_grid(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(needs_review(1));
        QVERIFY(needs_review(2));
        QVERIFY(!needs_review(3));
        QCOMPARE(stored(1, "Translated"), stored(4, "Translated"));  // no other flag changed
        QCOMPARE(cell(0, kReviewColumn, Qt::CheckStateRole), QVariant(Qt::Checked));
        // One undo takes back both.
        QTest::keySequence(editor->current_grid(), QKeySequence::Undo);
        QVERIFY(!needs_review(1));
        QVERIFY(!needs_review(2));
        editor->undo_stack()->redo();
        QVERIFY(needs_review(1) && needs_review(2));

        editor->state_combo->setCurrentIndex(kNeedsReview);
        QCOMPARE(editor->current_table().filter(), std::string("NeedsReview=1"));
        QCOMPARE(editor->current_model()->rowCount(), 2);
        // Ctrl+R on rows that all have the mark takes it off.
        go_to(1);
        QTest::keyClick(editor->current_grid(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!needs_review(2));
        QCOMPARE(editor->current_model()->rowCount(), 1);
        // A translator's post is the review.
        go_to(0);
        type_translation("Die Datei öffnen");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QVERIFY(!needs_review(1));
        QCOMPARE(editor->current_model()->rowCount(), 0);
        // The check box in the grid sets the mark as well, without a post.
        editor->state_combo->setCurrentIndex(0);
        QVERIFY(editor->current_model()->setData(editor->current_model()->index(3, kReviewColumn),
                                                 Qt::Checked, Qt::CheckStateRole));
        QVERIFY(needs_review(4));
        QCOMPARE(stored(4, "Translated"), std::string("Falsch"));
    }

    void theFileListShowsEachFilesProgressAndNarrowsToOne() {
        open_editor();
        QCOMPARE(items(editor->file_combo),
                 QStringList({"All files", "main.pas - 1 of 3 translated",
                              "util.pas - 0 of 2 translated"}));
        QCOMPARE(editor->file_progress_text(), QString("main.pas: 1 of 3 translated"));
        editor->file_combo->setCurrentIndex(2);
        QCOMPARE(editor->current_table().filter(), std::string("UnitName=3"));
        QCOMPARE(editor->current_model()->rowCount(), 3);
        QCOMPARE(editor->file_progress_text(), QString("util.pas: 0 of 2 translated"));
        type_translation("Schließen");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QTRY_COMPARE(editor->file_progress_text(), QString("util.pas: 1 of 2 translated"));
        QCOMPARE(editor->file_combo->itemText(2), QString("util.pas - 1 of 2 translated"));
        // Combined with the boxes and the state.
        editor->state_combo->setCurrentIndex(1);
        QCOMPARE(editor->current_table().filter(),
                 std::string("Translated=0 and Ignore=0 and UnitName=3"));
        QCOMPARE(editor->current_model()->rowCount(), 1);
        // Undo counts again.
        editor->state_combo->setCurrentIndex(0);
        editor->undo_stack()->undo();
        QTRY_COMPARE(editor->file_progress_text(), QString("util.pas: 0 of 2 translated"));
    }

    void theFileAndTheStateAreRemembered() {
        QSettings memory(QString::fromStdString(dir->file("memory.ini")), QSettings::IniFormat);
        open_editor(&memory);
        editor->file_combo->setCurrentIndex(2);
        editor->state_combo->setCurrentIndex(1);
        editor->accept();
        editor.reset();
        open_editor(&memory);
        QCOMPARE(editor->file_combo->currentText(), QString("util.pas - 0 of 2 translated"));
        QCOMPARE(editor->state_combo->currentIndex(), 1);
        QCOMPARE(editor->current_table().filter(),
                 std::string("Translated=0 and Ignore=0 and UnitName=3"));
        editor->reject();
        editor.reset();
        // A file that is gone from the list shows all files.
        memory.setValue("TranslationEditor/fileFilter", "gone.pas");
        open_editor(&memory);
        QCOMPARE(editor->file_combo->currentIndex(), 0);
    }

    void theMemorysSuggestionsShowAndCtrlNumberTakesOneUnposted() {
        {
            store::TranslationMemory memory(dir->path());
            memory.Record({{"German", "Open the file", "Datei öffnen", "Demo", {}},
                           {"German", "Open the files", "Dateien öffnen", "Other", {}},
                           {"German", "Don't", "Nicht", "Demo", {}}});
        }
        open_editor();
        QStringList shown = items(editor->current_suggestions());
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], QString("1  100%  Datei öffnen  (Demo)"));
        QVERIFY(shown[1].startsWith("2  "));
        QVERIFY(shown[1].endsWith("%  Dateien öffnen  (Other)"));
        QVERIFY(!shown[1].contains("100%"));
        QVERIFY(editor->current_memory_note()->isHidden());
        QTest::keyClick(editor->current_grid(), Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(editor->current_box()->toPlainText(), QString("Dateien öffnen"));
        QTest::keyClick(editor->current_box(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(editor->current_box()->toPlainText(), QString("Datei öffnen"));
        QCOMPARE(stored(1, "TranslateString"), std::string(""));                 // not posted yet
        QTest::keyClick(editor->current_box(), Qt::Key_5, Qt::ControlModifier);  // none: no change
        QCOMPARE(editor->current_box()->toPlainText(), QString("Datei öffnen"));
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(stored(1, "TranslateString"), std::string("Datei \xF6"
                                                           "ffnen"));
        // A code row asks with the text its literal stands for.
        go_to(2);
        QCOMPARE(items(editor->current_suggestions()), QStringList({"1  100%  Nicht  (Demo)"}));
        // A row the memory knows nothing like.
        go_to(4);
        QCOMPARE(editor->current_suggestions()->count(), 0);
        QCOMPARE(editor->current_memory_note()->text(), QString("No suggestions."));
    }

    void withoutAMemoryThePanelSaysSoAndTheEditorWorks() {
        open_editor();
        QCOMPARE(editor->current_suggestions()->count(), 0);
        QCOMPARE(editor->current_memory_note()->text(), QString("No translation memory yet."));
        QVERIFY(editor->current_memory_note()->isVisible());
        type_translation("Datei öffnen");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(stored(1, "Translated"), std::string("Wahr"));
        // The post made the memory: an equal original now finds it.
        go_to(0);
        QCOMPARE(items(editor->current_suggestions()), QStringList({"1  100%  Datei öffnen  (P)"}));

        // A file that is no memory: a quiet note, and posts go on.
        editor.reset();
        lexorin::testing::write_test_file(dir->file(store::kTranslationMemoryFile),
                                          "no database, just bytes");
        open_editor();
        QVERIFY(editor->current_memory_note()->text().contains("cannot be used"));
        // Its first post warns that the memory takes nothing; the next ones say it in the status
        // bar only.
        go_to(3);
        type_translation("Schließen");
        lexorin::testing::ModalAnswerer answers;
        answers.box_starting("The translation memory ", QMessageBox::Ok);
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        lexorin::testing::check_answered(answers);
        QCOMPARE(stored(4, "TranslateString"), std::string("Schlie\xDF"
                                                           "en"));
        go_to(4);
        type_translation("Sichern");
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(stored(5, "TranslateString"), std::string("Sichern"));
    }

    void aMissingPlaceholderShowsWhileTypedAndTheRowCountsAsAProblem() {
        open_editor();
        go_to(1);
        QCOMPARE(editor->current_checks()->count(), 0);
        type_translation("Dateien");
        QTRY_COMPARE(editor->current_checks()->count(), 1);
        QVERIFY(editor->current_checks()->item(0)->text().startsWith("placeholders: "));
        // A warning: the post goes ahead.
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(stored(2, "TranslateString"), std::string("Dateien"));
        go_to(1);
        QCOMPARE(editor->current_checks()->count(), 1);
        editor->state_combo->setCurrentIndex(kProblems);
        QCOMPARE(editor->current_model()->rowCount(), 1);
        QCOMPARE(cell(0, 0, Qt::DisplayRole).toString(), QString("(!) %d files"));
        type_translation("%d Dateien");
        QTRY_COMPARE(editor->current_checks()->count(), 0);
        QTest::keyClick(editor->current_box(), Qt::Key_Return);
        QCOMPARE(editor->current_model()->rowCount(), 0);
    }

    void aMisspelledGermanWordShowsBesideTheBox() {
        project::SpellChecker german("German", project::SpellChecker::DefaultDictionaryFolders());
        if (!german.available()) QSKIP("no German dictionary installed");
        open_editor();
        type_translation("Die Dattei öffnen");
        QTRY_COMPARE(editor->current_checks()->count(), 1);
        QVERIFY2(editor->current_checks()->item(0)->text().startsWith("spelling: Dattei ("),
                 qPrintable(editor->current_checks()->item(0)->text()));
        type_translation("Die Datei öffnen");
        QTRY_COMPARE(editor->current_checks()->count(), 0);
    }
};

QTEST_MAIN(EditorWorkbenchTest)
#include "editor_workbench_test.moc"
