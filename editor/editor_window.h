#pragma once

class QWidget;

namespace lexorin::gui {

// Opens the translation editor on the tables the project window prepared.
void show_editor_placeholder(QWidget* parent);

}  // namespace lexorin::gui
