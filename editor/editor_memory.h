#pragma once

#include <QSize>
#include <QString>
#include <optional>
#include <string>

class QSettings;

namespace lexorin::gui {

// What the translation editor remembers between openings: its size, its filter boxes and lists
// and the mode it was left in. Kept in the window layer's settings, under a group of its own.
struct EditorMemory {
    std::optional<QSize> size;
    std::optional<bool> code_mode;
    bool no_ignored = false;
    bool not_translated = false;
    bool changed_only = false;  // forms mode only
    bool problems_only = false;
    std::string state = "all";  // editor::state_filter_key of the state list's choice
    QString file;               // the name of the file shown alone; empty for all files
};

// Nothing remembered yet reads as the defaults: no size, no mode, no filter.
EditorMemory read_editor_memory(QSettings& settings);
void write_editor_memory(QSettings& settings, const EditorMemory& memory);

}  // namespace lexorin::gui
