#include "code/build_command.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/errors.h"

namespace lexorin::code {

namespace {

constexpr size_t kOutputLimit = 8 * 1024 * 1024;

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

}  // namespace

BuildResult RunBuildCommand(const std::string& command, const std::string& directory) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw Error(std::string("Cannot run the build command: ") + std::strerror(errno));
    FileDescriptor read_end(ends[0]), write_end(ends[1]);
    FileDescriptor no_input(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const char* dir = directory.empty() ? "." : directory.c_str();

    const pid_t child = ::fork();
    if (child < 0)
        throw Error(std::string("Cannot run the build command: ") + std::strerror(errno));
    if (child == 0) {
        // Only calls that are safe between fork and exec.
        if (::chdir(dir) != 0) ::_exit(126);
        if (no_input.get() >= 0) ::dup2(no_input.get(), 0);
        ::dup2(write_end.get(), 1);
        ::dup2(write_end.get(), 2);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    write_end.reset();

    BuildResult result;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(read_end.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (result.output.size() < kOutputLimit)
            result.output.append(
                buffer, std::min(static_cast<size_t>(got), kOutputLimit - result.output.size()));
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            throw Error(std::string("Cannot wait for the build command: ") + std::strerror(errno));
    }
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.status = 128 + WTERMSIG(status);
    return result;
}

}  // namespace lexorin::code
