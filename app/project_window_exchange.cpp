// The project window's Exchange menu: PO files of the selected language, the translation memory
// to and from TMX files, and the pretranslation from it. Each command asks for its file, runs the
// command of app/commands and shows its report as the command line words it (report_text.h).
#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include "app/commands.h"
#include "app/project_window.h"
#include "app/report_text.h"
#include "app/window_hints.h"
#include "base/errors.h"
#include "base/text_qt.h"
#include "base/text_utils.h"
#include "base/wait_cursor.h"
#include "project/pretranslate.h"
#include "project/projects_table.h"

namespace lexorin::gui {

namespace field = project::field;

namespace {

constexpr const char* kPoFilter = "PO files (*.po);;All files (*)";
constexpr const char* kTmxFilter = "TMX files (*.tmx);;All files (*)";

// The minimum similarity as typed: a whole percent from 1 to 100.
int similarity_percent(const std::string& typed) {
    const std::string text = trim(typed);
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos || std::stoi(text) < 1 ||
        std::stoi(text) > 100)
        throw Error("The minimum similarity must be a percent from 1 to 100, not " + typed + ".");
    return std::stoi(text);
}

// A report with lines beside its message (entries left alone, notes) is a warning.
void show_report(Reporter& reporter, const std::string& message,
                 const std::vector<std::string>& lines) {
    const std::string text = commands::MessageWithLines(message, lines);
    if (lines.empty())
        reporter.information(text);
    else
        reporter.warning(text);
}

}  // namespace

void ProjectWindow::build_exchange_menu() {
    exchange_menu = menuBar()->addMenu("E&xchange");
    export_po_action = exchange_menu->addAction("&Export PO ...", this, &ProjectWindow::export_po);
    import_po_action = exchange_menu->addAction("&Import PO ...", this, &ProjectWindow::import_po);
    exchange_menu->addSeparator();
    export_tmx_action =
        exchange_menu->addAction("Export &TMX ...", this, &ProjectWindow::export_tmx);
    import_tmx_action =
        exchange_menu->addAction("Import T&MX ...", this, &ProjectWindow::import_tmx);
    exchange_menu->addSeparator();
    pretranslate_action = exchange_menu->addAction("&Pretranslate from memory ...", this,
                                                   &ProjectWindow::pretranslate);
    exchange_menu->setToolTipsVisible(true);
    hints_->add(export_po_action, hints::kExportPo);
    hints_->add(import_po_action, hints::kImportPo);
    hints_->add(export_tmx_action, hints::kExportTmx);
    hints_->add(import_tmx_action, hints::kImportTmx);
    hints_->add(pretranslate_action, hints::kPretranslate);
}

std::string ProjectWindow::ask_file(const FileRequest& request) {
    const QString chosen = choose_file(request);
    // A file name as the system spells it, not through the project's code page.
    return chosen.isEmpty() ? std::string() : QFile::encodeName(chosen).toStdString();
}

QString ProjectWindow::proposed_file(const std::string& extension) const {
    store::Table& p = data_projects_->Projects;
    return to_q(p.text(field::Directory) + "/" + p.text(field::Name) + "_" + current_language() +
                extension);
}

void ProjectWindow::export_po() {
    run_command([&] {
        if (!check_project_ready(commands::Needs::SelectedLanguage)) return;
        check_language_tables();
        const std::string path = ask_file({"Export PO", proposed_file(".po"), kPoFilter, true});
        if (path.empty()) return;
        std::optional<project::PoExportResult> result;
        {
            WaitCursor wait;
            result = commands::ExportPo(handles(), path, code_page_, reporter());
        }
        show_status_lines();
        show_report(reporter(), result->message, result->notes);
    });
}

void ProjectWindow::import_po() {
    run_command([&] {
        if (!check_project_ready(commands::Needs::SelectedLanguage)) return;
        check_language_tables();
        const std::string path = ask_file({"Import PO", proposed_file(".po"), kPoFilter, false});
        if (path.empty()) return;
        std::optional<project::PoImportResult> result;
        {
            WaitCursor wait;
            result = commands::ImportPo(handles(), path, code_page_, reporter());
        }
        show_status_lines();
        show_report(reporter(), result->message, result->not_applied);
    });
}

void ProjectWindow::export_tmx() {
    run_command([&] {
        if (!check_project_ready(commands::Needs::SelectedLanguage)) return;
        const std::string path = ask_file({"Export TMX", proposed_file(".tmx"), kTmxFilter, true});
        if (path.empty()) return;
        std::optional<project::TmxExportResult> result;
        {
            WaitCursor wait;
            result = commands::ExportTmx(handles(), path, reporter());
        }
        if (!result) return;
        show_status_lines();
        reporter().information(result->message);
    });
}

void ProjectWindow::import_tmx() {
    // The memory belongs to the program directory, not to the project: no project is needed.
    run_command([&] {
        const std::string path = ask_file({"Import TMX", QString(), kTmxFilter, false});
        if (path.empty()) return;
        std::optional<project::TmxImportResult> result;
        {
            WaitCursor wait;
            result = commands::ImportTmx(program_directory_, path);
        }
        show_report(reporter(), result->message, result->left_out);
    });
}

void ProjectWindow::pretranslate() {
    run_command([&] {
        if (!check_project_ready(commands::Needs::SelectedLanguage)) return;
        check_language_tables();
        const std::string typed =
            reporter().ask_text("Pretranslate from memory", "Minimum similarity (percent)",
                                std::to_string(project::kDefaultPretranslateSimilarity));
        if (typed.empty()) return;
        const int percent = similarity_percent(typed);
        std::optional<project::PretranslateResult> result;
        {
            WaitCursor wait;
            result = commands::Pretranslate(handles(), percent, reporter());
        }
        if (!result) return;
        show_status_lines();
        show_report(reporter(), result->message, result->notes);
    });
}

}  // namespace lexorin::gui
