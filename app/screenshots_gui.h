#pragma once

#include <QString>

namespace lexorin::gui {

class ProjectWindow;

// Saves pictures of the project window, its Exchange menu and both scan dialogs on its current
// project into `directory` as PNG files; returns the exit status for main().
int take_screenshots(ProjectWindow& window, const QString& directory);

}  // namespace lexorin::gui
