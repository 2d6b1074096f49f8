#include "base/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "base/file_utils.h"

namespace lexorin {

namespace {

constexpr std::size_t kRandomLength = 6;  // mkstemp's XXXXXX

bool is_random_character(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Opens a leftover without following a link and takes its lock without waiting: a file that a
// living run still holds stays. The inode is compared with the one the listing saw, so a file
// swapped in between is not the one removed.
bool take_if_abandoned(const std::string& folder_path, int dir_fd, const char* name,
                       const struct stat& listed, bool folder) {
    int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (folder ? O_DIRECTORY : 0);
    int fd = ::openat(dir_fd, name, flags);
    if (fd < 0) return false;
    struct stat st {};
    bool ours = ::fstat(fd, &st) == 0 && st.st_ino == listed.st_ino && st.st_dev == listed.st_dev &&
                ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    bool removed = false;
    if (ours) {
        if (folder) {
            std::error_code ec;
            // remove_all removes links inside as links, never what they point to.
            removed = std::filesystem::remove_all(join_path(folder_path, name), ec) > 0;
        } else {
            removed = ::unlinkat(dir_fd, name, 0) == 0;
        }
    }
    ::close(fd);
    return removed;
}

}  // namespace

std::string temporary_pattern_beside(const std::string& target) {
    return directory_of(target) + std::string(kTemporaryPrefix) + file_name_of(target) + ".XXXXXX";
}

bool is_temporary_name(std::string_view name) {
    const std::size_t minimum = kTemporaryPrefix.size() + 1 + 1 + kRandomLength;
    if (name.size() < minimum || name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix)
        return false;
    std::string_view random = name.substr(name.size() - kRandomLength);
    for (char c : random)
        if (!is_random_character(c)) return false;
    return name[name.size() - kRandomLength - 1] == '.';
}

int sweep_temporary_files(const std::string& folder, bool folders) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    const int dir_fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!is_temporary_name(entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        const bool is_folder = S_ISDIR(st.st_mode);
        if (!S_ISREG(st.st_mode) && !(folders && is_folder)) continue;
        if (take_if_abandoned(folder, dir_fd, entry->d_name, st, is_folder)) ++removed;
    }
    ::closedir(dir);
    return removed;
}

int sweep_temporary_files_beside(const std::vector<std::string>& files) {
    std::set<std::string> folders;
    for (const auto& file : files) folders.insert(directory_of(file));
    int removed = 0;
    for (const auto& folder : folders) removed += sweep_temporary_files(folder);
    return removed;
}

int hold_temporary_lock(int fd) noexcept {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return -1;
    return ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
}

}  // namespace lexorin
