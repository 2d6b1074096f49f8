#pragma once

#include <QSize>
#include <optional>

class QSettings;

namespace lexorin::gui {

// What the translation editor remembers between openings: its size, its filter boxes and the
// mode it was left in. Kept in the window layer's settings, under a group of its own.
struct EditorMemory {
    std::optional<QSize> size;
    std::optional<bool> code_mode;
    bool no_ignored = false;
    bool not_translated = false;
    bool changed_only = false;  // forms mode only
    bool problems_only = false;
};

// Nothing remembered yet reads as the defaults: no size, no mode, no filter.
EditorMemory read_editor_memory(QSettings& settings);
void write_editor_memory(QSettings& settings, const EditorMemory& memory);

}  // namespace lexorin::gui
