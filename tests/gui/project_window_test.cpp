#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <memory>

#include "app/program_setup.h"
#include "app/project_window.h"
#include "app/scan_code_dialog.h"
#include "app/scan_forms_dialog.h"
#include "base/file_utils.h"
#include "base/text_qt.h"
#include "gui/gui_test_support.h"
#include "project/projects_table.h"
#include "store/table_store.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::gui;
using lexorin::testing::ModalAnswerer;
using lexorin::testing::TempDir;

namespace field = lexorin::project::field;

class ProjectWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> work;
    std::unique_ptr<ProjectWindow> window;
    int editor_opened = 0;

    std::string home() { return work->file("home"); }
    std::string src() { return work->file("src"); }

    void open_window() {
        window = std::make_unique<ProjectWindow>(work->path(), home() + "/");
        window->open_editor = [this](ProjectWindow&) { ++editor_opened; };
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    // Types into a field and leaves it with Tab, as a user does.
    void type_and_leave(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, text);
        if (edit->hasFocus()) {
            edit->clearFocus();  // leaving the field finishes the editing
        } else {
            emit edit->editingFinished();  // a window without focus: leave it by hand
        }
    }
    void check(ModalAnswerer& answers) { lexorin::testing::check_answered(answers, 5000); }
    // Adds a project by the navigator and stores it by leaving the directory field.
    void add_project(const QString& name, const std::string& dir, bool backup = false) {
        QTest::mouseClick(window->navigator_button(ProjectWindow::kAddProject), Qt::LeftButton);
        QVERIFY(window->name_edit->isEnabled());
        QVERIFY(window->recursive_check->isChecked());
        QTest::keyClicks(window->name_edit, name);
        ModalAnswerer answers;
        answers.box(
            "Do you want all your .pas and .dfm files to be automatically backed up\ninto " + name +
                ".zip in the Lexorin directory?",
            backup ? QMessageBox::Yes : QMessageBox::No);
        if (backup)
            answers.box("Your files have been backed up successfully into " +
                            QString::fromStdString(home() + "/") + name + ".zip",
                        QMessageBox::Ok);
        type_and_leave(window->directory_edit->line(), QString::fromStdString(dir));
        check(answers);
    }
    void add_language(const QString& language) {
        ModalAnswerer answers;
        answers.input(language);
        QTest::mouseClick(window->add_language_button, Qt::LeftButton);
        check(answers);
    }
    void select_language(int row) {
        window->language_list->setCurrentRow(row);
        window->language_list->item(row)->setSelected(true);
    }

  private slots:
    void init() {
        work = std::make_unique<TempDir>();
        std::filesystem::create_directories(home());
        prepare_program_directory(home() + "/", LEXORIN_PROGRAM_DIR "/");
        std::filesystem::copy(LEXORIN_SOURCE_DIR "/examples/demo/src", src(),
                              std::filesystem::copy_options::recursive);
        editor_opened = 0;
    }
    void cleanup() {
        window.reset();
        work.reset();
    }

    void commandsNeedAProjectAndALanguage() {
        open_window();
        ModalAnswerer answers;
        answers.box("No project name found. Plase enter a project.", QMessageBox::Ok);
        window->scan_code_action->trigger();
        check(answers);

        add_project("Demo", src());
        ModalAnswerer no_language;
        no_language.box("You have to add a language first.", QMessageBox::Ok);
        window->scan_code_action->trigger();
        check(no_language);

        add_language("German");
        add_language("French");
        window->language_list->clearSelection();
        window->language_list->setCurrentRow(-1);
        ModalAnswerer not_selected;
        not_selected.box("You did not select a language.", QMessageBox::Ok);
        window->edit_translations_action->trigger();
        check(not_selected);
        QCOMPARE(editor_opened, 0);
        // Scan -> Code selects the first language and goes on, here to its dialog.
        ModalAnswerer scan;
        scan.dialog([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        window->scan_code_action->trigger();
        check(scan);
        QCOMPARE(window->language_list->currentRow(), 0);
        QCOMPARE(editor_opened, 0);  // closed without scanning: no editor, no history line
        QVERIFY(!window->details_memo->toPlainText().contains("Code scanned"));
    }

    void addingAProjectChecksTheDirectoryAndOffersTheBackup() {
        open_window();
        // Leaving the directory field with no name typed changes nothing and says nothing.
        ModalAnswerer silent;
        type_and_leave(window->directory_edit->line(), "/nowhere");
        QTest::qWait(100);
        QVERIFY(silent.seen.isEmpty());

        QTest::mouseClick(window->navigator_button(ProjectWindow::kAddProject), Qt::LeftButton);
        QTest::keyClicks(window->name_edit, "Demo");
        ModalAnswerer missing;
        missing.box("The directory /nowhere/at/all does not exist.", QMessageBox::Ok);
        type_and_leave(window->directory_edit->line(), "/nowhere/at/all");
        check(missing);
        ModalAnswerer empty_field;
        empty_field.box("The directory  does not exist.", QMessageBox::Ok);
        type_and_leave(window->directory_edit->line(), "");
        check(empty_field);

        std::filesystem::create_directories(work->file("empty"));
        ModalAnswerer warned;
        warned.box("Warning: The directory " + QString::fromStdString(work->file("empty")) +
                       " does not countain files with the extensions *.pas or *.dfm.",
                   QMessageBox::Ok);
        warned.box(
            "Do you want all your .pas and .dfm files to be automatically backed up\ninto "
            "Demo.zip in the Lexorin directory?",
            QMessageBox::No);
        type_and_leave(window->directory_edit->line(), QString::fromStdString(work->file("empty")));
        check(warned);
        QVERIFY(!window->name_edit->isEnabled());
        QVERIFY(!file_exists(home() + "/Demo.zip"));

        // The row is stored with its defaults; a directory given again offers no backup.
        store::Session session;
        project::ProjectsTable data(session, work->path());
        project::require_project(data.Projects, "Demo");
        QVERIFY(data.Projects.logical(field::Recoursive));
        QCOMPARE(data.Projects.text(field::Directory), work->file("empty"));
        ModalAnswerer again;
        type_and_leave(window->directory_edit->line(), QString::fromStdString(src()));
        QTest::qWait(150);
        QVERIFY2(again.seen.isEmpty(), qPrintable(again.seen.join("|")));

        add_project("Second", src(), true);
        QVERIFY(file_exists(home() + "/Second.zip"));
    }

    void aNameDifferingOnlyInLetterCaseIsRefused() {
        open_window();
        add_project("Demo", src());
        QTest::mouseClick(window->navigator_button(ProjectWindow::kAddProject), Qt::LeftButton);
        QTest::keyClicks(window->name_edit, "DEMO");
        ModalAnswerer answers;
        answers.box_starting("Do you want all your .pas and .dfm files", QMessageBox::No)
            .box(
                "A project named Demo already exists; names that differ only in letter case "
                "would share their table files.",
                QMessageBox::Ok);
        type_and_leave(window->directory_edit->line(), QString::fromStdString(src()));
        check(answers);
        QVERIFY(window->name_edit->isEnabled());  // still being added: the name can be mended
    }

    void excludedDirectoriesAndLanguages() {
        open_window();
        add_project("Demo", src());
        QTest::mouseClick(window->add_excluded_folder_button, Qt::LeftButton);
        QVERIFY(window->new_excluded_folder_edit->isVisible());
        QCOMPARE(window->new_excluded_folder_edit->line()->text(), QString::fromStdString(src()));
        type_and_leave(window->new_excluded_folder_edit->line(),
                       QString::fromStdString(src() + "/tools"));
        QCOMPARE(window->excluded_folder_list->count(), 1);
        QCOMPARE(window->excluded_folder_list->item(0)->text(),
                 QString::fromStdString(src() + "/tools/"));
        // The project directory itself is refused silently.
        QTest::mouseClick(window->add_excluded_folder_button, Qt::LeftButton);
        type_and_leave(window->new_excluded_folder_edit->line(), QString::fromStdString(src()));
        QCOMPARE(window->excluded_folder_list->count(), 1);
        window->excluded_folder_list->setCurrentRow(0);
        window->excluded_folder_list->item(0)->setSelected(true);
        QTest::mouseClick(window->delete_excluded_folder_button, Qt::LeftButton);
        QCOMPARE(window->excluded_folder_list->count(), 0);

        add_language("German");
        QCOMPARE(window->language_list->count(), 1);
        QCOMPARE(window->language_list->currentRow(), 0);  // the only one is selected
        QVERIFY(file_exists(home() + "/Demo_German_pascal.db"));
        ModalAnswerer duplicate;
        duplicate.input("german").box("This language already exists for the project.",
                                      QMessageBox::Ok);
        QTest::mouseClick(window->add_language_button, Qt::LeftButton);
        check(duplicate);
        ModalAnswerer cancelled;
        cancelled.input("Klingon", true);
        QTest::mouseClick(window->add_language_button, Qt::LeftButton);
        check(cancelled);
        QCOMPARE(window->language_list->count(), 1);
        add_language("French");
        QVERIFY(window->details_memo->toPlainText().contains("Language added: French on "));

        select_language(1);
        ModalAnswerer remove;
        remove
            .box(
                "With this function you delete ALL the translation for the current project and "
                "the language French!\n\nProceed?",
                QMessageBox::Yes)
            .box("ALL database files like " + QString::fromStdString(home()) +
                     "/Demo_French_*.* will be deleted!\n\nProceed?",
                 QMessageBox::Yes);
        QTest::mouseClick(window->delete_language_button, Qt::LeftButton);
        check(remove);
        QVERIFY(!file_exists(home() + "/Demo_French_pascal.db"));
        QVERIFY(file_exists(home() + "/Demo_German_pascal.db"));
        QCOMPARE(window->language_list->count(), 1);
        QCOMPARE(window->language_list->currentRow(), 0);

        window->language_list->clearSelection();
        window->language_list->setCurrentRow(-1);
        ModalAnswerer none;
        none.box("You did not select a language.", QMessageBox::Ok);
        QTest::mouseClick(window->delete_language_button, Qt::LeftButton);
        check(none);
    }

    void scanReportsTheLiteralsLeftAlone() {
        lexorin::testing::write_test_file(
            src() + "/settings.pas",
            "unit settings;\r\ninterface\r\nimplementation\r\nconst\r\n"
            "  Title = 'Settings';\r\nprocedure P;\r\nbegin\r\n  Writeln('Shown');\r\n"
            "end;\r\nend.\r\n");
        open_window();
        add_project("Demo", src());
        add_language("German");
        select_language(0);
        ModalAnswerer scan;
        scan.dialog([](QWidget* widget) {
                QTest::mouseClick(static_cast<CodeScanDialog*>(widget)->scan_button,
                                  Qt::LeftButton);
            })
            .box_starting("This rewrites ", QMessageBox::Yes)
            .box_starting("Scanned.", QMessageBox::Ok);
        window->scan_code_action->trigger();
        check(scan);
        // The demo's own units keep a const of their own.
        QVERIFY2(scan.seen.join("|").contains("2 literals left alone: 2 const section."),
                 qPrintable(scan.seen.join("|")));
        const std::string unit = lexorin::testing::read_test_file(src() + "/settings.pas");
        QVERIFY(unit.find("  Title = 'Settings';") != std::string::npos);
        QVERIFY(unit.find("Writeln(''+s_") != std::string::npos);
    }

    void scanCodeAndWriteChanges() {
        open_window();
        add_project("Demo", src());
        QTest::mouseClick(window->add_excluded_folder_button, Qt::LeftButton);
        type_and_leave(window->new_excluded_folder_edit->line(),
                       QString::fromStdString(src() + "/tools"));
        add_language("German");
        add_language("French");
        select_language(0);

        ModalAnswerer scan;
        scan.dialog([](QWidget* widget) {
                auto* dialog = static_cast<CodeScanDialog*>(widget);
                QCOMPARE(dialog->windowTitle(), QString("Scan code"));
                QCOMPARE(dialog->extensions_edit->text(), QString("*.pas"));
                QCOMPARE(dialog->min_length_edit->text(), QString("2"));
                QCOMPARE(dialog->excluded_folder_list->count(), 1);
                QCOMPARE(dialog->language_list->count(), 2);
                QTest::mouseClick(dialog->scan_button, Qt::LeftButton);
            })
            // tools/ is excluded: two units of the demo.
            .box("This rewrites 2 units in place. A backup archive does not exist. Scan now?",
                 QMessageBox::Yes)
            // The counts that scan-code prints after its "Scanned." line.
            .box("Scanned.\n2 units scanned, 5 strings found, 0 units skipped.", QMessageBox::Ok);
        window->scan_code_action->trigger();
        check(scan);
        QCOMPARE(editor_opened, 1);
        QVERIFY(window->last_scan_was_code());
        QVERIFY(window->details_memo->toPlainText().contains("Code scanned on "));
        std::string unit = lexorin::testing::read_test_file(src() + "/greetings.pas");
        QVERIFY(unit.find("''+s_1+''") != std::string::npos);
        QVERIFY(lexorin::testing::read_test_file(src() + "/tools/helper.pas").find("s_") ==
                std::string::npos);
        {
            store::Session session;
            store::Table french(session, home(), "Demo_French_pascal.db");
            french.open();
            QCOMPARE(french.record_count(), 5);  // copied to the other language
        }

        ModalAnswerer write;
        write.box_starting("Code written successfully.", QMessageBox::Ok);
        window->write_code_action->trigger();
        check(write);
        QVERIFY(file_exists(src() + "/strings.org"));
        QVERIFY(file_exists(src() + "/strings.tra"));
        QVERIFY(file_exists(src() + "/lx_lang.pas"));
        QVERIFY(window->details_memo->toPlainText().contains("Code changes written in German on "));

        // Delete table, declined and then accepted.
        ModalAnswerer declined;
        declined
            .dialog([](QWidget* widget) {
                auto* dialog = static_cast<CodeScanDialog*>(widget);
                QTest::mouseClick(dialog->delete_tables_button, Qt::LeftButton);
                QTest::mouseClick(dialog->delete_tables_button, Qt::LeftButton);
                QTest::mouseClick(dialog->close_button, Qt::LeftButton);
            })
            .box("Do you really want to delete your last scan and ALL of your translations?",
                 QMessageBox::No)
            .box("Do you really want to delete your last scan and ALL of your translations?",
                 QMessageBox::Yes);
        window->scan_code_action->trigger();
        check(declined);
        store::Session session;
        store::Table pasfiles(session, home(), "Demo_pasfiles.db");
        pasfiles.open();
        QCOMPARE(pasfiles.record_count(), 1);
        pasfiles.first();
        QCOMPARE(pasfiles.text("UnitName"), std::string("(Show all)"));
        store::Table german(session, home(), "Demo_German_pascal.db");
        german.open();
        QCOMPARE(german.record_count(), 0);
    }

    void enterInAScanOptionFieldDoesNotScan() {
        open_window();
        add_project("Demo", src(), true);
        add_language("German");
        select_language(0);
        const std::string before = lexorin::testing::read_test_file(src() + "/greetings.pas");
        bool still_open = false;
        bool moved_on = false;
        bool open_after_no = false;
        ModalAnswerer scan;
        scan.dialog([&](QWidget* widget) {
                auto* dialog = static_cast<CodeScanDialog*>(widget);
                QVERIFY(!dialog->scan_button->isDefault());
                dialog->min_length_edit->setFocus();
                QTest::keyClick(dialog->min_length_edit, Qt::Key_Return);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
                still_open = dialog->isVisible();
                moved_on = !dialog->min_length_edit->hasFocus();
                // Scan asks first; No leaves every unit as it was and the dialog open.
                QTest::mouseClick(dialog->scan_button, Qt::LeftButton);
                open_after_no = dialog->isVisible();
                QTest::mouseClick(dialog->close_button, Qt::LeftButton);
            })
            .box("This rewrites 3 units in place. A backup archive exists. Scan now?",
                 QMessageBox::No);
        window->scan_code_action->trigger();
        check(scan);
        QVERIFY(still_open);
        QVERIFY(moved_on);
        QVERIFY(open_after_no);
        QCOMPARE(scan.seen.size(), 1);
        QCOMPARE(editor_opened, 0);
        QCOMPARE(lexorin::testing::read_test_file(src() + "/greetings.pas"), before);
    }

    void scanFormsWriteFormsWhatNowAndDeletion() {
        open_window();
        add_project("Demo", src());
        add_language("German");
        add_language("French");
        select_language(1);

        ModalAnswerer scan;
        scan.dialog([](QWidget* widget) {
                auto* dialog = static_cast<FormScanDialog*>(widget);
                QCOMPARE(dialog->windowTitle(), QString("Scan forms"));
                QCOMPARE(dialog->extensions_edit->text(), QString("*.dfm"));
                // The properties without text, one a line; the scan stores what is typed.
                QVERIFY(dialog->non_text_properties_memo->toPlainText().startsWith(
                    "LCLVersion\nTIPropertyName\n"));
                dialog->non_text_properties_memo->setPlainText("LCLVersion\nhint");
                QTest::mouseClick(dialog->scan_button, Qt::LeftButton);
            })
            .box("Scanned.\n2 forms scanned, 12 strings found, 0 forms skipped.", QMessageBox::Ok);
        window->scan_forms_action->trigger();
        check(scan);
        QCOMPARE(editor_opened, 1);
        QVERIFY(!window->last_scan_was_code());
        QVERIFY(window->details_memo->toPlainText().contains("Forms scanned on "));
        int french_rows = 0;
        {
            store::Session session;
            store::Table french(session, home(), "Demo_French_forms.db");
            french.open();
            french_rows = french.record_count();
            store::Table german(session, home(), "Demo_German_forms.db");
            german.open();
            QCOMPARE(german.record_count(), french_rows);  // copied to the other language
            // The two hints of the demo's forms are stored ignored in both languages.
            QCOMPARE(german.count_where("Ignore=1"), 2);
            QCOMPARE(french.count_where("Ignore=1"), 2);
            project::ProjectsTable data(session, work->path());
            project::require_project(data.Projects, "Demo");
            QCOMPARE(data.Projects.text(field::Fnontextproperties),
                     std::string("LCLVersion\r\nhint"));
        }
        QVERIFY(french_rows >= 4);

        ModalAnswerer write;
        write.box_starting("Forms written correctly.", QMessageBox::Ok);
        window->write_forms_action->trigger();
        check(write);
        QCOMPARE(window->reporter().status_label()->text(), QString());  // not "N Strings found"
        QVERIFY(file_exists(src() + "/mainform.tra.res"));
        QVERIFY(window->details_memo->toPlainText().contains("Form changes written in French on "));

        ModalAnswerer advice;
        advice.box_starting("Suggestions:\n", QMessageBox::Ok);
        QTest::mouseClick(window->what_now_button, Qt::LeftButton);
        check(advice);
        QVERIFY(advice.seen.value(0).contains("Scan the code."));
        QVERIFY(window->details_memo->toPlainText().contains("Check French: "));

        ModalAnswerer remove;
        bool tables_while_asking = false;
        remove.box("This function deletes your translation project. Proceed?", QMessageBox::Yes)
            .box("Do you also want to delete your translation files?", QMessageBox::Yes,
                 [&] { tables_while_asking = file_exists(home() + "/Demo_German_forms.db"); });
        window->delete_project_action->trigger();
        check(remove);
        // Both questions come before anything goes; then the tables go, and the row last.
        QVERIFY(tables_while_asking);
        QVERIFY(!file_exists(home() + "/Demo_German_forms.db"));
        QVERIFY(!file_exists(home() + "/Demo_units.db"));
        QVERIFY(file_exists(src() + "/mainform.tra.res"));  // the sources stay
        QCOMPARE(window->name_edit->text(), QString());
        ModalAnswerer nothing;
        nothing.box("No project name found. Plase enter a project.", QMessageBox::Ok);
        window->write_code_action->trigger();
        check(nothing);
    }

    // Tables a deletion left are not taken over without a word: No gives up the new project,
    // Yes takes them over with their languages.
    void addingANameWhoseTablesWereLeftAsksFirst() {
        open_window();
        add_project("Demo", src());
        add_language("German");
        add_language("French");
        ModalAnswerer row_only;
        row_only.box("This function deletes your translation project. Proceed?", QMessageBox::Yes)
            .box("Do you also want to delete your translation files?", QMessageBox::No);
        window->delete_project_action->trigger();
        check(row_only);

        QString question =
            "The program directory already holds table files of a project named Demo:";
        for (const char* name :
             {"Demo_French_forms.db", "Demo_French_pascal.db", "Demo_German_forms.db",
              "Demo_German_pascal.db", "Demo_pasfiles.db", "Demo_units.db"})
            question += "\n" + QString::fromStdString(home()) + "/" + name;
        question += "\n\nKeep them and use them for the new project? (No does not add it.)";
        for (const bool keep : {false, true}) {
            QTest::mouseClick(window->navigator_button(ProjectWindow::kAddProject), Qt::LeftButton);
            QTest::keyClicks(window->name_edit, "Demo");
            ModalAnswerer answers;
            answers.box_starting("Do you want all your .pas and .dfm files", QMessageBox::No)
                .box(question, keep ? QMessageBox::Yes : QMessageBox::No);
            type_and_leave(window->directory_edit->line(), QString::fromStdString(src()));
            check(answers);
            QVERIFY(!window->name_edit->isEnabled());
            QVERIFY(file_exists(home() + "/Demo_units.db"));
            store::Session session;
            project::ProjectsTable data(session, work->path());
            QCOMPARE(project::project_names(data.Projects).size(), keep ? size_t{1} : size_t{0});
        }
        QCOMPARE(window->name_edit->text(), QString("Demo"));
        QCOMPARE(window->language_list->count(), 2);
        store::Session session;
        project::ProjectsTable data(session, work->path());
        project::require_project(data.Projects, "Demo");
        QCOMPARE(data.Projects.text(field::Languages), std::string("French\r\nGerman"));
    }

    void aTypedCharacterTheCodePageCannotHoldIsRefused() {
        open_window();
        add_project("Demo", src());
        ModalAnswerer refused;
        refused.input(QString::fromUtf8("Polski \xC5\x82"))
            .box(
                "The character \"\u0142\" (U+0142) cannot be written in the code page "
                "Windows-1252.",
                QMessageBox::Ok)
            .input(QString::fromUtf8("Fran\xC3\xA7"
                                     "ais"));
        QTest::mouseClick(window->add_language_button, Qt::LeftButton);
        check(refused);
        QCOMPARE(window->language_list->item(0)->text(), QString::fromUtf8("Fran\xC3\xA7"
                                                                           "ais"));
        // Stored as the one byte of the code page.
        QVERIFY(file_exists(home() + "/Demo_Fran\xE7"
                                     "ais_pascal.db"));
    }

    void theKindFollowsTheSourcesAndCanBeChanged() {
        // A Lazarus program beside the demo's Delphi sources.
        const std::string laz = work->file("laz");
        lexorin::testing::write_test_file(laz + "/hello.lpr", "program hello;\nbegin\nend.\n");
        lexorin::testing::write_test_file(laz + "/main.lfm", "object Form1: TForm1\nend\n");
        lexorin::testing::write_test_file(laz + "/main.pas", "unit main;\nend.\n");
        const std::string program_page = window_code_page().name();
        open_window();
        add_project("Demo", src());
        QCOMPARE(window->kind_combo->currentText(), QString("Delphi"));
        add_project("Laz", laz);
        QCOMPARE(window->kind_combo->currentText(), QString("Lazarus"));
        QCOMPARE(window->code_page().name(), std::string("UTF-8"));
        QCOMPARE(window_code_page().name(), std::string("UTF-8"));
        {
            store::Session session;
            project::ProjectsTable data(session, work->path());
            project::require_project(data.Projects, "Laz");
            QCOMPARE(data.Projects.text(field::Ckind), std::string("Lazarus"));
            QCOMPARE(data.Projects.text(field::Ccodepage), std::string("UTF-8"));
            QCOMPARE(data.Projects.text(field::SourceExtensions), std::string("*.pas;*.pp;*.lpr"));
            QCOMPARE(data.Projects.text(field::FormsExtension), std::string("*.lfm"));
        }
        // The project's texts are kept in its code page: a typed note in UTF-8.
        window->details_memo->setPlainText(
            QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                              "e"));
        QTest::mouseClick(window->navigator_button(ProjectWindow::kFirstProject), Qt::LeftButton);
        QCOMPARE(window->kind_combo->currentText(), QString("Delphi"));
        QCOMPARE(window->code_page().name(), program_page);
        QTest::mouseClick(window->navigator_button(ProjectWindow::kLastProject), Qt::LeftButton);
        QCOMPARE(window->kind_combo->currentText(), QString("Lazarus"));
        QCOMPARE(window->details_memo->toPlainText(), QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                                                                        "e"));
        {
            store::Session session;
            project::ProjectsTable data(session, work->path());
            project::require_project(data.Projects, "Laz");
            QCOMPARE(data.Projects.text(field::Reserve), std::string("Gr\xC3\xB6\xC3\x9F"
                                                                     "e"));
        }

        // Choosing Delphi brings Delphi's defaults and the program's code page.
        window->kind_combo->setFocus();
        QTest::keyClick(window->kind_combo, Qt::Key_Up);
        QCOMPARE(window->kind_combo->currentText(), QString("Delphi"));
        QCOMPARE(window->code_page().name(), program_page);
        {
            store::Session session;
            project::ProjectsTable data(session, work->path());
            project::require_project(data.Projects, "Laz");
            QCOMPARE(data.Projects.text(field::Ckind), std::string("Delphi"));
            QCOMPARE(data.Projects.text(field::Ccodepage), std::string());
            QCOMPARE(data.Projects.text(field::SourceExtensions), std::string("*.pas"));
            QCOMPARE(data.Projects.text(field::FormsExtension), std::string("*.dfm"));
            QCOMPARE(data.Projects.text(field::Cbuildcommand), std::string());
        }

        // A kind chosen while a project is added wins over its folder.
        QTest::mouseClick(window->navigator_button(ProjectWindow::kAddProject), Qt::LeftButton);
        QCOMPARE(window->kind_combo->currentText(), QString("Delphi"));
        QTest::keyClicks(window->name_edit, "Chosen");
        window->kind_combo->setFocus();
        QTest::keyClick(window->kind_combo, Qt::Key_Down);
        QCOMPARE(window->kind_combo->currentText(), QString("Lazarus"));
        ModalAnswerer answers;
        answers.box_starting("Do you want all your .pas and .dfm files", QMessageBox::No);
        type_and_leave(window->directory_edit->line(), QString::fromStdString(src()));
        check(answers);
        QVERIFY(!window->name_edit->isEnabled());
        QCOMPARE(window->kind_combo->currentText(), QString("Lazarus"));
        store::Session session;
        project::ProjectsTable data(session, work->path());
        project::require_project(data.Projects, "Chosen");
        QCOMPARE(data.Projects.text(field::Ckind), std::string("Lazarus"));
        QCOMPARE(data.Projects.text(field::Directory), src());

        // The kind box has its hint.
        window->help_memo->clear();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(window->kind_combo, &enter);
        QVERIFY(window->help_memo->toPlainText().startsWith("A Delphi project"));
    }

    void hintsFillTheHelpPanel() {
        open_window();
        window->hints()->ShowLongHint("Tip only|");
        QCOMPARE(window->help_memo->toPlainText(), QString());
        window->hints()->ShowLongHint("Short|Line one\r\nLine two");
        QCOMPARE(window->help_memo->toPlainText(), QString("Line one\nLine two"));
        window->hints()->ShowLongHint("No bar at all");
        QCOMPARE(window->help_memo->toPlainText(), QString("No bar at all"));
        QCOMPARE(window->navigator_button(ProjectWindow::kFirstProject)->toolTip(),
                 QString("Go to first project"));
        QCOMPARE(window->add_language_button->text(), QString("A&dd"));
        QCOMPARE(window->windowTitle(), QString("Projects"));
        QVERIFY(window->view_results_menu->menuAction()->isVisible() == false ||
                !window->menuBar()->actions().contains(window->view_results_menu->menuAction()));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(window->language_list, &enter);
        QVERIFY(window->help_memo->toPlainText().startsWith(
            "These are the languages for your project."));
    }

    void mailToUsSaysSoWhenNoMailProgramTakesIt() {
        open_window();
        QVERIFY(!window->statusBar()->isSizeGripEnabled());  // the window keeps its size
        QString asked;
        window->open_url = [&](const QUrl& url) {
            asked = url.toString();
            return false;
        };
        ModalAnswerer answers;
        answers.box("No mail program could be opened. Please write to support@lexorin.example.",
                    QMessageBox::Ok);
        window->mail_to_us_action->trigger();
        check(answers);
        QCOMPARE(asked, QString("mailto:support@lexorin.example"));
        window->open_url = [](const QUrl&) { return true; };
        ModalAnswerer quiet;  // a mail program took it: nothing to say
        window->mail_to_us_action->trigger();
        QVERIFY(quiet.problems.isEmpty());
    }

    void theInputBoxIsWideEnoughForItsTitle() {
        open_window();
        add_project("Demo", src());
        int width = 0, needed = 0;
        ModalAnswerer answers;
        answers.input("German", false, [&](QWidget* box) {
            width = box->width();
            needed = box->fontMetrics().horizontalAdvance(box->windowTitle() + " - " +
                                                          QApplication::applicationDisplayName());
        });
        QTest::mouseClick(window->add_language_button, Qt::LeftButton);
        check(answers);
        QVERIFY2(width >= needed + 100, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
    }

    void buttonsAndMenusHaveTheirOwnAltKeys() {
        open_window();
        QCOMPARE(window->what_now_button->text(), QString("W&hat now?"));
        QStringList texts;
        for (auto* button : window->findChildren<QAbstractButton*>()) texts << button->text();
        for (auto* action : window->menuBar()->actions()) texts << action->text();
        QHash<QChar, QString> owner;
        for (const QString& text : texts) {
            int amp = text.indexOf('&');
            if (amp < 0 || amp + 1 >= text.size()) continue;
            QChar key = text.at(amp + 1).toLower();
            QVERIFY2(!owner.contains(key),
                     qPrintable("Alt+" + QString(key) + ": " + owner.value(key) + " and " + text));
            owner.insert(key, text);
        }
    }

    void everyHintShowsOnlyItsLongPart() {
        open_window();
        for (int i = 0; i < ProjectWindow::kNavigatorButtonCount; ++i) {
            window->help_memo->clear();
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(window->navigator_button(i), &enter);
            QVERIFY2(window->help_memo->toPlainText().startsWith(
                         "Use this navigator to browse through your projects.\n"),
                     qPrintable(window->help_memo->toPlainText()));
        }
        const QList<QWidget*> controls = {window->name_edit,       window->directory_edit->line(),
                                          window->recursive_check, window->excluded_folder_list,
                                          window->language_list,   window->what_now_button};
        for (QWidget* control : controls) {
            window->help_memo->clear();
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(control, &enter);
            QVERIFY(!window->help_memo->toPlainText().isEmpty());
            QVERIFY2(!window->help_memo->toPlainText().contains('|'),
                     qPrintable(window->help_memo->toPlainText()));
            QVERIFY2(!window->help_memo->toPlainText().startsWith(control->toolTip() + "\n"),
                     qPrintable(window->help_memo->toPlainText()));
        }
        for (QAction* action :
             {window->delete_project_action, window->scan_code_action, window->scan_forms_action,
              window->view_code_results_action, window->view_form_results_action,
              window->edit_translations_action, window->write_code_action,
              window->write_forms_action, window->export_po_action, window->import_po_action,
              window->export_tmx_action, window->import_tmx_action, window->pretranslate_action}) {
            window->help_memo->clear();
            emit action->hovered();
            QVERIFY(!window->help_memo->toPlainText().isEmpty());
            QVERIFY2(!window->help_memo->toPlainText().contains('|'),
                     qPrintable(window->help_memo->toPlainText()));
            QVERIFY2(!window->help_memo->toPlainText().startsWith(action->toolTip() + "|"),
                     qPrintable(window->help_memo->toPlainText()));
        }
    }
};

QTEST_MAIN(ProjectWindowTest)
#include "project_window_test.moc"
