#include "forms/private_temp_directory.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/errors.h"
#include "base/temporary_files.h"

namespace lexorin::forms {

PrivateTempDirectory::PrivateTempDirectory() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    // Folders of form commands that were killed are removed first; those of living runs are
    // held locked and stay.
    sweep_temporary_files(base.string(), true);
    std::string pattern = (base / (std::string(kTemporaryPrefix) + "forms.XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw Error("Cannot create a temporary directory in " + base.string() + ": " +
                    std::strerror(errno));
    path_ = pattern;
    int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        lock_fd_ = hold_temporary_lock(fd);
        ::close(fd);
    }
}

PrivateTempDirectory::~PrivateTempDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    if (lock_fd_ >= 0) ::close(lock_fd_);
}

void remove_if_present(const std::string& path) noexcept {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

}  // namespace lexorin::forms
