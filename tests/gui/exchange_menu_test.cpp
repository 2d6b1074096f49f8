// The project window's Exchange menu on real files: PO files out and back in, the translation
// memory carried to another program directory as TMX, the pretranslation from it, and files that
// are refused without a change.
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "app/program_setup.h"
#include "app/project_window.h"
#include "app/report_text.h"
#include "gui/gui_test_support.h"
#include "store/table_store.h"
#include "store/translation_fields.h"
#include "store/translation_memory.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::gui;
using lexorin::testing::ModalAnswerer;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace fs = std::filesystem;

namespace {

struct Row {
    std::string translation;
    bool translated = false;
    bool needs_review = false;
};

// A working directory with Projects.DB, its program directory home/ and one project whose German
// code table holds the given originals, as a scan would have made them.
class Workplace {
  public:
    Workplace(const std::string& project, const std::vector<std::string>& originals)
        : project_(project) {
        fs::create_directories(home());
        prepare_program_directory(home() + "/", LEXORIN_PROGRAM_DIR "/");
        write_test_file(dir_.file(project + "/a.pas"), "unit a;\r\nend.\r\n");
        for (const std::string& step :
             {"project add " + project + " " + project, "language add " + project + " German",
              "language add " + project + " French"}) {
            const auto result = cli(step);
            QVERIFY2(result.status == 0, qPrintable(QString::fromStdString(result.err)));
        }
        store::Session session;
        store::Table pascal(session, home(), table());
        pascal.open();
        for (const auto& original : originals) pascal.append_record({0, original, "", 1});
    }
    std::string top() const { return dir_.path(); }
    std::string home() const { return dir_.file("home"); }
    std::string file(const std::string& name) const { return dir_.file(name); }
    std::string table() const { return project_ + "_German_pascal.db"; }

    testing::CommandResult cli(const std::string& arguments) const {
        return testing::run_command("cd '" + top() +
                                    "' && '" LEXORIN_PROGRAM_DIR "/lexorin-cli' --home '" + home() +
                                    "' --yes " + arguments);
    }
    Row row(std::int64_t index) const {
        store::Session session;
        store::Table pascal(session, home(), table());
        pascal.open();
        if (!pascal.find_key({index})) return {};
        return {pascal.text(store::field::TranslateString),
                pascal.logical(store::field::Translated),
                pascal.logical(store::field::NeedsReview)};
    }
    // Every row of the German code table, to see that nothing changed.
    std::string rows() const {
        store::Session session;
        store::Table pascal(session, home(), table());
        pascal.open();
        std::string all;
        for (pascal.first(); !pascal.eof(); pascal.next()) {
            for (const auto& field : pascal.schema().fields) all += pascal.text(field.name) + "\t";
            all += "\n";
        }
        return all;
    }
    std::int64_t memory_entries() const {
        store::TranslationMemory memory(home());
        return memory.Count();
    }

  private:
    TempDir dir_;
    std::string project_;
};

// Sets the translation of msgid's entry in a PO file's text.
void translate_entry(std::string& po, const std::string& msgid, const std::string& msgstr) {
    const std::string entry = "msgid \"" + msgid + "\"\nmsgstr \"\"";
    const size_t at = po.find(entry);
    QVERIFY2(at != std::string::npos, msgid.c_str());
    po.replace(at, entry.size(), "msgid \"" + msgid + "\"\nmsgstr \"" + msgstr + "\"");
}

}  // namespace

class ExchangeMenuTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ProjectWindow> window;
    // The files the window asked for, and what the next request is answered with.
    QList<ProjectWindow::FileRequest> requests;
    QString next_file;

    void open_window(const Workplace& place, int language = 0) {
        window.reset();
        window = std::make_unique<ProjectWindow>(place.top(), place.home() + "/");
        window->open_editor = [](ProjectWindow&) {};
        window->choose_file = [this](const ProjectWindow::FileRequest& request) {
            requests << request;
            return next_file;
        };
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        if (language >= 0) {
            window->language_list->setCurrentRow(language);
            window->language_list->item(language)->setSelected(true);
        }
    }
    void check(ModalAnswerer& answers) { lexorin::testing::check_answered(answers, 20000); }
    // Runs `action` with `file` as the chosen file; its one box must start with `box`.
    QString run(QAction* action, const std::string& file, const QString& box) {
        next_file = QString::fromStdString(file);
        ModalAnswerer answers;
        answers.box_starting(box, QMessageBox::Ok);
        action->trigger();
        check(answers);
        return answers.seen.value(0);
    }
    // The same for a file that is refused: the error box, whose text starts with `box`.
    void refused(QAction* action, const std::string& file, const QString& box) {
        next_file = QString::fromStdString(file);
        bool critical = false;
        ModalAnswerer answers;
        answers.box_starting(box, QMessageBox::Ok, [&] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            critical = shown && shown->icon() == QMessageBox::Critical;
        });
        action->trigger();
        check(answers);
        QVERIFY2(critical, qPrintable(answers.seen.join("|")));
    }

  private slots:
    void cleanup() {
        window.reset();
        requests.clear();
    }

    // The box lists the lines of a report up to a screenful and counts the rest.
    void aReportsLinesFollowItsMessageAndManyAreCounted() {
        QCOMPARE(commands::MessageWithLines("3 rows updated.", {}), std::string("3 rows updated."));
        std::vector<std::string> lines;
        for (int i = 1; i <= 22; ++i) lines.push_back("entry " + std::to_string(i));
        const std::string text = commands::MessageWithLines("0 rows updated.", lines, 20);
        QVERIFY(text.starts_with("0 rows updated.\r\rentry 1\rentry 2\r"));
        QVERIFY(text.find("\rentry 20\r... and 2 more.") != std::string::npos);
        QVERIFY(text.find("entry 21") == std::string::npos);
    }

    void theMenuHoldsTheExchangeCommands() {
        Workplace place("Demo", {"Close"});
        open_window(place);
        QStringList texts;
        for (QAction* action : window->exchange_menu->actions())
            if (!action->isSeparator()) texts << action->text().remove('&');
        QCOMPARE(texts, QStringList({"Export PO ...", "Import PO ...", "Export TMX ...",
                                     "Import TMX ...", "Pretranslate from memory ..."}));
        // Without a selected language nothing is asked for.
        window->language_list->clearSelection();
        window->language_list->setCurrentRow(-1);
        for (QAction* action : {window->export_po_action, window->import_po_action,
                                window->export_tmx_action, window->pretranslate_action}) {
            ModalAnswerer answers;
            answers.box("You did not select a language.", QMessageBox::Ok);
            action->trigger();
            check(answers);
        }
        QVERIFY(requests.isEmpty());
        // A cancelled file dialog does nothing.
        window->language_list->setCurrentRow(0);
        window->language_list->item(0)->setSelected(true);
        next_file.clear();
        window->export_po_action->trigger();
        QCOMPARE(requests.size(), 1);
        QVERIFY(requests[0].save);
        QVERIFY(requests[0].filter.contains("*.po"));
        QVERIFY2(requests[0].proposed.endsWith("Demo/Demo_German.po"),
                 qPrintable(requests[0].proposed));
        QVERIFY(!fs::exists(place.file("Demo/Demo_German.po")));
    }

    void aPoFileExportedAndImportedChangesTheRows() {
        Workplace place("Demo", {"Open the file", "Close", "Don''t save"});
        open_window(place);
        const std::string po_path = place.file("de.po");
        const QString exported =
            run(window->export_po_action, po_path, "3 entries (0 translated) ");
        QCOMPARE(exported,
                 QString::fromStdString("3 entries (0 translated) written to " + po_path + "."));
        std::string po = read_test_file(po_path);
        translate_entry(po, "Close",
                        "Schlie\xC3\x9F"
                        "en");
        translate_entry(po, "Don't save", "Nicht speichern");
        // An entry whose original no longer matches its row is left out, and listed.
        const std::string open = "msgid \"Open the file\"\nmsgstr \"\"";
        const size_t at = po.find(open);
        QVERIFY(at != std::string::npos);
        po.replace(at, open.size(), "msgid \"Open a file\"\nmsgstr \"Datei\"");
        write_test_file(po_path, po);

        const QString imported = run(window->import_po_action, po_path, "2 rows updated, ");
        QVERIFY2(imported.startsWith("2 rows updated, 0 unchanged, 1 entry not applied.\n\n"),
                 qPrintable(imported));
        QVERIFY2(
            imported.contains("\ncode 1 (Show all):0: the original has changed since the export"),
            qPrintable(imported));
        QCOMPARE(requests.last().save, false);
        QCOMPARE(place.row(2).translation, std::string("Schlie\xDF"
                                                       "en"));
        QVERIFY(place.row(2).translated);
        QCOMPARE(place.row(3).translation, std::string("Nicht speichern"));
        QCOMPARE(place.row(1).translation, std::string());
        // What the import translated feeds the memory.
        QCOMPARE(place.memory_entries(), std::int64_t(2));
    }

    void refusedFilesShowAnErrorAndChangeNothing() {
        Workplace place("Demo", {"Open the file", "Close"});
        QVERIFY(place.cli("translate Demo German 2 Schliessen").status == 0);
        open_window(place);
        const std::string rows = place.rows();
        const std::int64_t entries = place.memory_entries();

        write_test_file(place.file("broken.po"), "msgid \"Close\"\nmsgstr \"Zu\nmsgid\n\"");
        refused(
            window->import_po_action, place.file("broken.po"),
            QString::fromStdString("The PO file " + place.file("broken.po") + " is malformed: "));
        refused(
            window->import_po_action, place.file("missing.po"),
            QString::fromStdString("The PO file " + place.file("missing.po") + " cannot be read"));
        // A file of German into French.
        run(window->export_po_action, place.file("de.po"), "2 entries (1 translated) ");
        window->language_list->setCurrentRow(1);
        window->language_list->item(1)->setSelected(true);
        refused(window->import_po_action, place.file("de.po"),
                QString::fromStdString("The PO file " + place.file("de.po") +
                                       " holds the language German, not French"));
        write_test_file(place.file("broken.tmx"), "<tmx version=\"1.4\"><body><tu>");
        refused(window->import_tmx_action, place.file("broken.tmx"),
                QString::fromStdString("The TMX file " + place.file("broken.tmx") + ", line 1: "));
        refused(window->import_tmx_action, place.file("missing.tmx"),
                QString::fromStdString("The TMX file " + place.file("missing.tmx") +
                                       " cannot be read"));

        QCOMPARE(place.rows(), rows);
        QCOMPARE(place.memory_entries(), entries);
    }

    // The memory of one program directory goes to another as TMX, where it pretranslates a
    // project of the same strings.
    void aTmxFileCarriesTheMemoryAndPretranslationFillsRows() {
        Workplace first("Demo", {"Open the file", "Close"});
        QVERIFY(first
                    .cli("translate Demo German 1 \"Die Datei \xF6"
                         "ffnen\"")
                    .status == 0);
        QVERIFY(first.cli("translate Demo German 2 Schliessen").status == 0);
        open_window(first);
        const std::string tmx = first.file("german.tmx");
        QCOMPARE(run(window->export_tmx_action, tmx, "2 entries written to "),
                 QString::fromStdString("2 entries written to " + tmx + "."));
        QVERIFY(requests.last().save);
        QVERIFY(requests.last().filter.contains("*.tmx"));
        QVERIFY(read_test_file(tmx).find("Schliessen") != std::string::npos);

        Workplace second("Other", {"Open the file", "Open the files", "Brand new text"});
        open_window(second);
        QVERIFY(run(window->import_tmx_action, tmx, "2 entries imported from ").endsWith("."));
        QCOMPARE(second.memory_entries(), std::int64_t(2));

        // A threshold that is no percent is refused; nothing changes.
        const std::string rows = second.rows();
        ModalAnswerer wrong;
        wrong.input("0").box("The minimum similarity must be a percent from 1 to 100, not 0.",
                             QMessageBox::Ok);
        window->pretranslate_action->trigger();
        check(wrong);
        ModalAnswerer cancelled;
        cancelled.input("75", true);
        window->pretranslate_action->trigger();
        check(cancelled);
        QCOMPARE(second.rows(), rows);

        ModalAnswerer fill;
        fill.input("75", false,
                   [](QWidget* box) {
                       QCOMPARE(static_cast<QInputDialog*>(box)->textValue(), QString("75"));
                   })
            .box(
                "1 rows translated from exact matches, 1 filled from fuzzy matches for review, 1 "
                "without a match.",
                QMessageBox::Ok);
        window->pretranslate_action->trigger();
        check(fill);
        QCOMPARE(second.row(1).translation, std::string("Die Datei \xF6"
                                                        "ffnen"));
        QVERIFY(second.row(1).translated);
        QVERIFY(second.row(2).needs_review);
        QVERIFY(!second.row(2).translated);
        QCOMPARE(second.row(3).translation, std::string());
    }
};

QTEST_MAIN(ExchangeMenuTest)
#include "exchange_menu_test.moc"
