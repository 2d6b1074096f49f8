#pragma once

#include <chrono>
#include <string>

namespace lexorin {

// How long a command waits for another one on the same project before it gives up.
inline constexpr std::chrono::milliseconds kProjectLockWait{3000};

// The exclusive lock of a project, held by every command that changes the project's tables or
// files, from its first change to its end. It is an flock on "<Project>.lock" in the program
// directory, so the kernel drops it when the holder dies (a kill -9 leaves no stale lock); the
// holder writes its pid into the file, for the message of the one that waits.
//
// A process that already holds the lock of a project (a command function called inside another
// command) gets a lock that owns nothing: the nested one neither waits for itself nor lets go
// of the outer one.
class ProjectLock {
  public:
    // Waits up to `wait`, then raises "Project <name> is in use by another Lexorin command
    // (pid N)."
    ProjectLock(const std::string& program_directory, const std::string& project,
                std::chrono::milliseconds wait = kProjectLockWait);
    ~ProjectLock();
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;
    // The lock goes with the object: the moved-from one owns nothing.
    ProjectLock(ProjectLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    ProjectLock& operator=(ProjectLock&&) = delete;

    // False for the nested lock of a process that already held it.
    bool owns() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

// "<program directory>/<Project>.lock".
std::string project_lock_path(const std::string& program_directory, const std::string& project);

}  // namespace lexorin
