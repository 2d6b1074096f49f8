#include "project/project_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "base/errors.h"
#include "base/file_utils.h"

namespace lexorin {

namespace {

constexpr std::chrono::milliseconds kPollInterval{50};

// The pid in the lock file ("" while the holder has not written it yet, or after it let go).
std::string holder_pid(int fd) {
    char buffer[32] = {};
    ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    std::string text = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

std::string project_lock_path(const std::string& program_directory, const std::string& project) {
    return join_path(program_directory, project + ".lock");
}

ProjectLock::ProjectLock(const std::string& program_directory, const std::string& project,
                         std::chrono::milliseconds wait) {
    const std::string path = project_lock_path(program_directory, project);
    // O_NOFOLLOW: a link put in the lock file's place is not written through.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        throw Error("Cannot lock project " + project + ": " + path + ": " + std::strerror(errno));
    const std::string own_pid = std::to_string(::getpid());
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            int saved = errno;
            ::close(fd);
            throw Error("Cannot lock project " + project + ": " + path + ": " +
                        std::strerror(saved));
        }
        // Held by this very process: a command function inside another command.
        if (holder_pid(fd) == own_pid) {
            ::close(fd);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            std::string pid = holder_pid(fd);
            ::close(fd);
            throw Error("Project " + project + " is in use by another Lexorin command (pid " +
                        (pid.empty() ? std::string("unknown") : pid) + ").");
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    const std::string line = own_pid + "\n";
    if (::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, line.data(), line.size(), 0) != static_cast<ssize_t>(line.size())) {
        int saved = errno;
        ::close(fd);
        throw Error("Cannot lock project " + project + ": " + path + ": " + std::strerror(saved));
    }
    fd_ = fd;
}

ProjectLock::~ProjectLock() {
    if (fd_ < 0) return;
    // The pid goes before the lock, so that no later command of this process, nor a waiting
    // one, takes a pid of a holder that has let go for the current holder.
    (void)!::ftruncate(fd_, 0);
    ::close(fd_);
}

}  // namespace lexorin
