#include "base/file_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "base/errors.h"

namespace lexorin {

static std::string errno_text() {
    return std::strerror(errno);
}

// The text of a failed write of `path`: a full disk or quota is named as such, so that the user
// knows to make room rather than look for a fault in the file.
static std::string write_failure(const std::string& path, int error) {
    if (error == ENOSPC || error == EDQUOT) return "No space left on device while writing " + path;
    if (error == EFBIG) return "File size limit exceeded while writing " + path;
    return "Cannot write " + path + ": " + std::strerror(error);
}

// A link is followed, so that the file it points to is replaced and the link stays a link; a
// target that exists but is no regular file (a device, a pipe, a folder) is never replaced.
static std::string replaceable_target(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return target;
    if (S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(target.c_str(), resolved)) {
            if (errno == ENOENT) return target;  // a dangling link is replaced by the new file
            throw Error("Cannot write " + target + ": " + errno_text());
        }
        if (::stat(resolved, &st) != 0 || !S_ISREG(st.st_mode))
            throw Error("Cannot write " + target + ": it is not a regular file");
        return resolved;
    }
    if (!S_ISREG(st.st_mode)) throw Error("Cannot write " + target + ": it is not a regular file");
    return target;
}

AtomicFileWriter::AtomicFileWriter(std::string target)
    : target_(replaceable_target(target)), temp_(target_) {
    struct stat st {};
    mode_t mode = 0644;
    if (::stat(target_.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(temp_.fd(), mode);
    const int fd = ::fcntl(temp_.fd(), F_DUPFD_CLOEXEC, 0);
    file_ = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!file_) {
        const std::string why = errno_text();
        if (fd >= 0) ::close(fd);
        throw Error("Cannot write " + temp_.path() + ": " + why);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (!committed_) discard();
}

void AtomicFileWriter::discard() noexcept {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    temp_.remove();
}

void AtomicFileWriter::write(std::string_view bytes) {
    if (!file_) throw Error("Cannot write " + target_ + ": the file is already closed");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        throw Error(write_failure(target_, errno));
}

void AtomicFileWriter::finish(bool sync) {
    if (!file_) throw Error("Cannot write " + target_ + ": the file is already closed");
    bool ok = std::fflush(file_) == 0 && (!sync || ::fsync(::fileno(file_)) == 0);
    int error = ok ? 0 : errno;
    if (std::fclose(file_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    file_ = nullptr;
    if (!ok) throw Error(write_failure(target_, error));
    finished_ = true;
}

void AtomicFileWriter::replace() {
    if (!finished_) throw Error("Cannot replace " + target_ + ": the new text is not complete");
    if (const int error = temp_.rename_over(target_); error != 0)
        throw Error("Cannot replace " + target_ + ": " + std::strerror(error));
    committed_ = true;
}

void AtomicFileWriter::commit() {
    finish(true);
    replace();
}

void sync_file_systems(const std::vector<std::string>& paths) {
    std::vector<dev_t> done;
    for (const auto& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) continue;
        if (std::find(done.begin(), done.end(), st.st_dev) != done.end()) continue;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        int rc = ::syncfs(fd);
        int saved = errno;
        ::close(fd);
        if (rc != 0) throw Error("Cannot write " + path + ": " + std::strerror(saved));
        done.push_back(st.st_dev);
    }
}

void write_file_atomically(const std::string& target, std::string_view bytes) {
    AtomicFileWriter writer(target);
    writer.write(bytes);
    writer.commit();
}

FileProblem writable_file_problem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FileProblem::Missing;
    if (!S_ISREG(st.st_mode)) return FileProblem::NotRegular;
    if (::access(path.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return FileProblem::ReadOnly;
    const std::string folder = directory_of(path);
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
        return FileProblem::FolderReadOnly;
    return FileProblem::None;
}

std::string describe(FileProblem problem) {
    switch (problem) {
        case FileProblem::None:
            return "";
        case FileProblem::Missing:
            return "the file does not exist";
        case FileProblem::NotRegular:
            return "it is not a regular file";
        case FileProblem::ReadOnly:
            return "the file is read-only";
        case FileProblem::FolderReadOnly:
            return "its folder is read-only";
    }
    return "";
}

void require_writable_file(const std::string& path, const std::string& what) {
    const FileProblem problem = writable_file_problem(path);
    if (problem != FileProblem::None)
        throw Error(what + " " + path + " cannot be written: " + describe(problem));
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directory_exists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string directory_of(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string file_name_of(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string join_path(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace lexorin
