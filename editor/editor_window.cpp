#include "editor/editor_window.h"

#include <QApplication>
#include <QMessageBox>

namespace lexorin::gui {

void show_editor_placeholder(QWidget* parent) {
    QMessageBox::information(parent, QApplication::applicationDisplayName(),
                             "The translation editor is not built yet. Use lexorin-cli strings and "
                             "translate, or export-po and import-po, to translate meanwhile.",
                             QMessageBox::Ok);
}

}  // namespace lexorin::gui
