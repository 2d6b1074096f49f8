#include "app/screenshots_gui.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include "app/project_window.h"
#include "code/scan_code_dialog.h"
#include "forms/scan_forms_dialog.h"

namespace lexorin::gui {

namespace {

bool save(QWidget& widget, const QString& file) {
    widget.show();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    return widget.grab().save(file, "PNG");
}

}  // namespace

int take_screenshots(Tlx_project& window, const QString& directory) {
    QDir().mkpath(directory);
    bool ok = save(window, directory + "/project_window.png");
    {
        Tlx_codeform code(window);
        ok = save(code, directory + "/scan_code_dialog.png") && ok;
    }
    {
        Tlx_dfmform forms(window);
        ok = save(forms, directory + "/scan_forms_dialog.png") && ok;
    }
    return ok ? 0 : 1;
}

}  // namespace lexorin::gui
