#pragma once

#include <functional>
#include <string>

namespace lexorin::testing {

// A fresh directory under the system's temporary directory, removed with everything in it when
// the object goes. path() has no trailing "/".
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // With a trailing "/", as the program directory is handed around.
    std::string dir() const { return path_ + "/"; }

  private:
    std::string path_;
};

void write_test_file(const std::string& path, const std::string& bytes);
std::string read_test_file(const std::string& path);

// Runs a shell command line, returning its exit status; stdout and stderr are captured.
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};
CommandResult run_command(const std::string& command_line, const std::string& stdin_text = {});

// Runs `check` in a child process that, when this one is the super-user, first becomes the user
// nobody: file permissions then apply as they do to a user, also where CI runs as root. Returns
// what `check` returned (false when it threw). The files it needs must be open to others; the
// child must not use handles this process opened.
bool check_without_privileges(const std::function<bool()>& check);

}  // namespace lexorin::testing
