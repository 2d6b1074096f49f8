#include "editor/editor_memory.h"

#include <QSettings>

namespace lexorin::gui {

namespace {

constexpr const char* kGroup = "TranslationEditor";

}  // namespace

EditorMemory read_editor_memory(QSettings& settings) {
    EditorMemory memory;
    settings.beginGroup(kGroup);
    const QSize size = settings.value("size").toSize();
    if (size.isValid() && !size.isEmpty()) memory.size = size;
    const QString mode = settings.value("mode").toString();
    if (mode == "code") memory.code_mode = true;
    if (mode == "forms") memory.code_mode = false;
    memory.no_ignored = settings.value("noIgnored", false).toBool();
    memory.not_translated = settings.value("notTranslatedOnly", false).toBool();
    memory.changed_only = settings.value("changedOnly", false).toBool();
    memory.problems_only = settings.value("problemsOnly", false).toBool();
    memory.state = settings.value("stateFilter", "all").toString().toStdString();
    memory.file = settings.value("fileFilter").toString();
    settings.endGroup();
    return memory;
}

void write_editor_memory(QSettings& settings, const EditorMemory& memory) {
    settings.beginGroup(kGroup);
    if (memory.size) settings.setValue("size", *memory.size);
    if (memory.code_mode) settings.setValue("mode", *memory.code_mode ? "code" : "forms");
    settings.setValue("noIgnored", memory.no_ignored);
    settings.setValue("notTranslatedOnly", memory.not_translated);
    settings.setValue("changedOnly", memory.changed_only);
    settings.setValue("problemsOnly", memory.problems_only);
    settings.setValue("stateFilter", QString::fromStdString(memory.state));
    settings.setValue("fileFilter", memory.file);
    settings.endGroup();
    settings.sync();
}

}  // namespace lexorin::gui
