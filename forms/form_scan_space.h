#pragma once

#include <string>
#include <vector>

#include "store/language_copies.h"
#include "store/string_tables.h"

namespace lexorin::forms {

// Before a form scan changes anything: raises an Error when the program directory lacks the
// space the new rows of every language need (forms themselves are never written). Forms that
// `form_files` lists already were scanned before and count for nothing: they add only the
// strings added to them since. The other needs are store::AddLanguageTableNeeds.
void RequireSpaceForFormScan(const std::vector<std::string>& forms,
                             const std::string& program_directory, size_t languages,
                             store::FormFiles& form_files, store::FormRows& scanned,
                             std::vector<store::LanguageTable>& others);

}  // namespace lexorin::forms
