#pragma once

#include <string>

namespace lexorin::forms {

// A directory of our own under the system's temporary directory (made with mkdtemp, so no other
// user or run can have put anything there, and named ".~lexorin.forms.XXXXXX"), removed with its
// content when the object goes, also when a command fails half-way; one left by a killed run is
// removed when the next one is made. The form commands keep their "Tempform.txt" in it.
class PrivateTempDirectory {
  public:
    PrivateTempDirectory();
    ~PrivateTempDirectory();
    PrivateTempDirectory(const PrivateTempDirectory&) = delete;
    PrivateTempDirectory& operator=(const PrivateTempDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    int lock_fd_ = -1;  // flock on the folder: a sweep by another run leaves it alone
};

// Removes a file if it is there; a file that is already gone is no failure.
void remove_if_present(const std::string& path) noexcept;

}  // namespace lexorin::forms
