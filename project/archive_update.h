#pragma once

#include <zip.h>

#include <string>

namespace lexorin::project {

// Opens the ZIP archive at `path` for changing, creating it when missing, as zip_open with
// ZIP_CREATE does; but zip_close writes the new archive to a temporary file of ours beside it
// (base/temporary_files.h) and renames that into place. libzip's own file source writes to
// "<archive>.XXXXXX", which, once a run was killed, no sweep could tell from a user's file.
// Returns null and sets `error` (a libzip error code) when the archive cannot be opened.
zip_t* open_archive_for_update(const std::string& path, int& error);

}  // namespace lexorin::project
