#pragma once

#include <string>

#include "store/table_store.h"

namespace lexorin {

// Today's date in the user's short date form.
std::string short_date_today();

// Keeps one dated line per kind of event in the project's Reserve memo: removes the first line
// that begins with `message`, appends message + detail + " on " + date, and posts.
void AddStatusLine(store::Table& projects, const std::string& message, const std::string& detail,
                   const std::string& date = short_date_today());

}  // namespace lexorin
