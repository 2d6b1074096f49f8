#pragma once

#include "base/reporter.h"
#include "project/language_list.h"
#include "store/table_store.h"

namespace lexorin {

// The precondition of every command: a project with name and directory, and where needed a
// language, selected or (unless a selection is required) the first one.
bool CheckProjectReady(const store::Table& projects, LanguageList& languages, bool needLanguage,
                       bool requireSelection, Reporter& reporter);

}  // namespace lexorin
