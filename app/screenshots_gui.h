#pragma once

#include <QString>

namespace lexorin::gui {

class Tlx_project;

// Saves pictures of the project window and of both scan dialogs on its current project into
// `directory` as PNG files; returns the exit status for main().
int take_screenshots(Tlx_project& window, const QString& directory);

}  // namespace lexorin::gui
