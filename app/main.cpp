// lexorin: the desktop program. The project window is the main window; every other window is
// opened from it. Projects.DB is read from the working directory.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <clocale>

#include "app/program_paths.h"
#include "app/program_setup.h"
#include "app/project_window.h"
#include "app/screenshots_gui.h"
#include "base/text_qt.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lexorin");
    QApplication::setApplicationDisplayName("Lexorin");
    std::setlocale(LC_NUMERIC, "C");  // the core's number texts do not follow the user's locale
    try {
        // The windows' code page: LEXORIN_CODE_PAGE, or Windows-1252.
        lexorin::gui::set_window_code_page(lexorin::code_page_from_environment());
        std::string home = lexorin::program_directory();
        lexorin::prepare_program_directory(home, lexorin::executable_directory());
        lexorin::gui::ProjectWindow window(QDir::currentPath().toStdString(), home);
        window.show();
        // --screenshots DIR: pictures of the project window and the scan dialogs, then quit.
        QStringList args = QApplication::arguments();
        if (int at = args.indexOf("--screenshots"); at > 0 && at + 1 < args.size())
            return lexorin::gui::take_screenshots(window, args[at + 1]);
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "Lexorin", lexorin::gui::message_text(e.what()));
        return 1;
    }
}
