#include "app/screenshots_gui.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include "app/project_window.h"
#include "app/scan_code_dialog.h"
#include "app/scan_forms_dialog.h"
#include "base/text_qt.h"
#include "editor/code_result_view.h"
#include "editor/string_model_qt.h"
#include "editor/translation_editor.h"
#include "project/projects_table.h"
#include "store/translation_tables.h"

#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

namespace lexorin::gui {

namespace {

bool save(QWidget& widget, const QString& file) {
    widget.show();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    return widget.grab().save(file, "PNG");
}

}  // namespace

int take_screenshots(ProjectWindow& window, const QString& directory) {
    QDir().mkpath(directory);
    bool ok = save(window, directory + "/project_window.png");
    {
        // The Exchange menu as it drops down below its title.
        QMenu& menu = *window.exchange_menu;
        const QRect title = window.menuBar()->actionGeometry(menu.menuAction());
        menu.popup(window.menuBar()->mapToGlobal(title.bottomLeft()));
        ok = save(menu, directory + "/exchange_menu.png") && ok;
        menu.hide();
    }
    {
        CodeScanDialog code(window);
        ok = save(code, directory + "/scan_code_dialog.png") && ok;
    }
    {
        FormScanDialog forms(window);
        ok = save(forms, directory + "/scan_forms_dialog.png") && ok;
    }
    // The editor on the first language, when the project has one.
    if (window.language_list->count() > 0) {
        using store::TableKind;
        window.language_list->setCurrentRow(0);
        EditorTables tables;
        tables.directory = window.tables().directory;
        tables.project = window.projects().text(project::field::Name);
        tables.language = from_q(window.language_list->item(0)->text());
        tables.code = store::table_file_name(tables.project, tables.language, TableKind::Pascal);
        tables.forms = store::table_file_name(tables.project, tables.language, TableKind::Forms);
        tables.units = store::table_file_name(tables.project, "", TableKind::Units);
        tables.files = store::table_file_name(tables.project, "", TableKind::PasFiles);
        for (bool code : {true, false}) {
            store::Session session;
            TranslationEditor editor(session, tables, code, 5, &window);
            if (editor.current_model()->rowCount() > 1)
                editor.current_grid()->setCurrentIndex(editor.current_model()->index(1, 0));
            ok = save(editor, directory + (code ? "/editor_code.png" : "/editor_forms.png")) && ok;
        }
        // The code results, as View results -> Code shows them.
        CodeResultView view(window.tables(), tables.project, tables.language, &window);
        ok = save(view, directory + "/code_results.png") && ok;
    }
    return ok ? 0 : 1;
}

}  // namespace lexorin::gui
