#pragma once

#include <string>
#include <vector>

#include "base/disk_space.h"
#include "store/language_copies.h"
#include "store/table_store.h"

// The disk space the translation tables of every language need in a scan, besides the new rows
// the scan itself estimates.
namespace lexorin::store {

// The rows that `others` lack to be level with `scanned`, which a scan copies to them first, and
// the tables' journals.
void AddLanguageTableNeeds(DiskSpaceNeeds& needs, const std::string& program_directory,
                           Table& scanned, std::vector<LanguageTable>& others);

}  // namespace lexorin::store
