#include "base/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

#include "base/errors.h"
#include "base/file_utils.h"

namespace lexorin {

namespace {

constexpr std::size_t kCheckLength = 16;
// A file name may hold at most 255 bytes; a longer stem is cut to fit.
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kStemMax = kNameMax - kTemporaryPrefix.size() - 1 - kCheckLength;
// What a table engine writes beside a table built under a temporary name. Companions go before
// the file that proves them ours, so none is ever left without it.
constexpr std::array<std::string_view, 3> kCompanions = {"-journal", "-wal", "-shm"};
// A fresh inode is taken when a proven name is unexpectedly taken; a few tries are plenty.
constexpr int kAttempts = 8;

// splitmix64's finaliser: every bit of the input reaches every bit of the check.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// FNV-1a.
std::uint64_t stem_hash(std::string_view stem) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : stem) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    return h;
}

std::string check_for(std::string_view stem, std::uint64_t inode) {
    const std::uint64_t value = mix(inode ^ mix(stem_hash(stem)));
    char text[kCheckLength + 1];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string_view fitting_stem(std::string_view stem) {
    return stem.substr(0, kStemMax);
}

std::string errno_text(int error) {
    return std::strerror(error);
}

// Renames without ever replacing what is at `to`; a file system that cannot say so is asked
// first whether the name is free (only our own proven name could be there).
int rename_no_replace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

// Links an O_TMPFILE file under `path`: through /proc for anyone, or by its descriptor for a
// process allowed to (CAP_DAC_READ_SEARCH).
int link_anonymous(int fd, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    if (errno == EEXIST) return -1;
    return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH);
}

std::uint64_t inode_of(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
}

// Locks and names an anonymous file; -1 with errno set when it cannot be linked.
int name_anonymous(int fd, const std::string& folder, std::string_view stem, std::string& path) {
    ::flock(fd, LOCK_EX | LOCK_NB);  // a fresh file: nobody else can hold it
    path = folder + temporary_name(stem, inode_of(fd));
    if (link_anonymous(fd, path) == 0) return fd;
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

// Where O_TMPFILE is missing (some network and foreign file systems): the file is made under a
// provisional name and renamed to its proven one at once. A kill between the two leaves an
// empty file the sweeps do not recognise, which is the safe side.
int create_staged(const std::string& folder, std::string_view stem, std::string& path) {
    std::string staging = folder + std::string(kTemporaryPrefix) + std::string(stem) + ".XXXXXX";
    const int fd = ::mkostemp(staging.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    ::flock(fd, LOCK_EX | LOCK_NB);
    path = folder + temporary_name(stem, inode_of(fd));
    if (rename_no_replace(staging, path) == 0) return fd;
    const int error = errno;
    ::unlink(staging.c_str());
    ::close(fd);
    errno = error;
    return -1;
}

int create_proven(const std::string& folder, std::string_view stem, std::string& path) {
    const char* dir = folder.empty() ? "." : folder.c_str();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        int fd = ::open(dir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0) {
            fd = name_anonymous(fd, folder, stem, path);
            // No /proc and no right to link by descriptor: the provisional way.
            if (fd < 0 && (errno == ENOENT || errno == EPERM))
                fd = create_staged(folder, stem, path);
        } else if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
            fd = create_staged(folder, stem, path);  // no O_TMPFILE here
        }
        // A name already taken: a new file has a new inode, so a new name.
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// True when `path` still is the file or folder open as `fd`: only that is ever removed.
bool still_ours(const std::string& path, int fd) {
    struct stat named {
    }, open{};
    return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 &&
           named.st_ino == open.st_ino && named.st_dev == open.st_dev;
}

void remove_companions(int dir_fd, const std::string& name) {
    for (std::string_view suffix : kCompanions) {
        const std::string companion = name + std::string(suffix);
        struct stat st {};
        if (::fstatat(dir_fd, companion.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            ::unlinkat(dir_fd, companion.c_str(), 0);
    }
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
            remove_companions(dir_fd, name);
            removed = ::unlinkat(dir_fd, name, 0) == 0;
        }
    }
    ::close(fd);
    return removed;
}

}  // namespace

std::string temporary_name(std::string_view stem, std::uint64_t inode) {
    stem = fitting_stem(stem);
    return std::string(kTemporaryPrefix) + std::string(stem) + "." + check_for(stem, inode);
}

bool names_its_inode(std::string_view name, std::uint64_t inode) {
    const std::size_t fixed = kTemporaryPrefix.size() + 1 + kCheckLength;
    if (name.size() <= fixed || name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix)
        return false;
    if (name[name.size() - kCheckLength - 1] != '.') return false;
    const std::string_view stem = name.substr(kTemporaryPrefix.size(), name.size() - fixed);
    return name.substr(name.size() - kCheckLength) == check_for(stem, inode);
}

TemporaryFile::TemporaryFile(const std::string& target) {
    fd_ = create_proven(directory_of(target), fitting_stem(file_name_of(target)), path_);
    if (fd_ < 0)
        throw Error("Cannot create a temporary file beside " + target + ": " + errno_text(errno));
}

TemporaryFile::~TemporaryFile() {
    remove();
}

int TemporaryFile::rename_over(const std::string& target) noexcept {
    if (placed_) return ENOENT;
    if (::rename(path_.c_str(), target.c_str()) != 0) return errno;
    placed_ = true;
    ::close(fd_);
    fd_ = -1;
    return 0;
}

int TemporaryFile::link_as(const std::string& target) noexcept {
    if (placed_) return ENOENT;
    if (::link(path_.c_str(), target.c_str()) != 0) return errno;
    remove();
    return 0;
}

void TemporaryFile::remove() noexcept {
    if (!placed_ && fd_ >= 0 && still_ours(path_, fd_)) {
        const std::string folder = directory_of(path_);
        const int dir_fd =
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir_fd >= 0) {
            remove_companions(dir_fd, file_name_of(path_));
            ::close(dir_fd);
        }
        ::unlink(path_.c_str());
    }
    placed_ = true;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

TemporaryDirectory::TemporaryDirectory(const std::string& parent, std::string_view stem) {
    const std::string folder = parent.empty() || parent.back() == '/' ? parent : parent + "/";
    stem = fitting_stem(stem);
    for (int attempt = 0; attempt < kAttempts && path_.empty(); ++attempt) {
        std::string staging =
            folder + std::string(kTemporaryPrefix) + std::string(stem) + ".XXXXXX";
        if (!::mkdtemp(staging.data()))
            throw Error("Cannot create a temporary directory in " + parent + ": " +
                        errno_text(errno));
        const int fd = ::open(staging.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            ::rmdir(staging.c_str());
            throw Error("Cannot open the temporary directory " + staging + ": " +
                        errno_text(error));
        }
        ::flock(fd, LOCK_EX | LOCK_NB);
        // The window between mkdtemp and this rename leaves at worst an empty folder that no
        // sweep recognises: the safe side.
        const std::string proven = folder + temporary_name(stem, inode_of(fd));
        if (rename_no_replace(staging, proven) == 0) {
            path_ = proven;
            fd_ = fd;
            break;
        }
        const int error = errno;
        ::rmdir(staging.c_str());
        ::close(fd);
        if (error != EEXIST)
            throw Error("Cannot create a temporary directory in " + parent + ": " +
                        errno_text(error));
    }
    if (path_.empty())
        throw Error("Cannot create a temporary directory in " + parent + ": " + errno_text(EEXIST));
}

TemporaryDirectory::~TemporaryDirectory() {
    if (still_ours(path_, fd_)) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ::close(fd_);
}

int sweep_temporary_files(const std::string& folder, bool folders) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            ::closedir);
    if (!dir) return 0;
    int removed = 0;
    const int dir_fd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) continue;
        struct stat st {};
        if (::fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        const bool is_folder = S_ISDIR(st.st_mode);
        if (!S_ISREG(st.st_mode) && !(folders && is_folder)) continue;
        if (!names_its_inode(name, static_cast<std::uint64_t>(st.st_ino))) continue;
        if (take_if_abandoned(folder, dir_fd, entry->d_name, st, is_folder)) ++removed;
    }
    return removed;
}

int sweep_temporary_files_beside(const std::vector<std::string>& files) {
    std::set<std::string> folders;
    for (const auto& file : files) folders.insert(directory_of(file));
    int removed = 0;
    for (const auto& folder : folders) removed += sweep_temporary_files(folder);
    return removed;
}

}  // namespace lexorin
