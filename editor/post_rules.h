#pragma once

#include "store/table_store.h"

namespace lexorin::editor {

// What posting a row in the translation editor does before the row is stored: a translation that
// is not blank marks the row translated (a blank one leaves the flag as it is), and in forms mode
// the row loses its changed flag. Call it on a row in edit state.
void ApplyBeforePostRule(store::Table& table, bool formsMode);

// Sets the translation of the current row and posts it as the editor does.
void PostTranslation(store::Table& table, const std::string& translation, bool formsMode);

}  // namespace lexorin::editor
