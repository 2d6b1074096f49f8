#include "forms/private_temp_directory.h"

#include <filesystem>

namespace lexorin::forms {

namespace {

// The system's temporary directory, after the folders of form commands that were killed are
// removed from it (those of living runs are held locked and stay; a user's folders never match).
std::string swept_temp_base() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    sweep_temporary_files(base.string(), true);
    return base.string();
}

}  // namespace

void SweepKilledFormFolders() {
    swept_temp_base();
}

PrivateTempDirectory::PrivateTempDirectory() : directory_(swept_temp_base(), "forms") {}

}  // namespace lexorin::forms
