#include "forms/private_temp_directory.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/errors.h"

namespace lexorin::forms {

PrivateTempDirectory::PrivateTempDirectory() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / "lexorin-forms-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw Error("Cannot create a temporary directory in " + base.string() + ": " +
                    std::strerror(errno));
    path_ = pattern;
}

PrivateTempDirectory::~PrivateTempDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void remove_if_present(const std::string& path) noexcept {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

}  // namespace lexorin::forms
