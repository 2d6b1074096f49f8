#include "editor/post_rules.h"

#include "app/text_utils.h"

namespace lexorin::editor {

void ApplyBeforePostRule(store::Table& table, bool formsMode) {
    if (!trim(table.text("TranslateString")).empty()) table.set_logical("Translated", true);
    if (formsMode) table.set_logical("Changed", false);
}

void PostTranslation(store::Table& table, const std::string& translation, bool formsMode) {
    table.edit();
    try {
        table.set_text("TranslateString", translation);
        ApplyBeforePostRule(table, formsMode);
        table.post();
    } catch (...) {
        table.cancel();
        throw;
    }
}

}  // namespace lexorin::editor
