#pragma once

#include <string>

#include "store/translation_tables.h"

namespace lexorin {

// Points the four shared handles at the language's tables, in code mode with tblUnits on the
// pasfiles table, else on the units table; gives an empty pasfiles table its "(Show all)" row.
void PrepareLanguageTables(store::TDaten& daten, const std::string& project,
                           const std::string& language, bool codeMode);

}  // namespace lexorin
