#pragma once

#include <string>

namespace lexorin::forms {

// A directory of our own under the system's temporary directory (made with mkdtemp, so no other
// user or run can have put anything there), removed with its content when the object goes, also
// when a command fails half-way. The form commands keep their "Tempform.txt" in it.
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
};

// Removes a file if it is there; a file that is already gone is no failure.
void remove_if_present(const std::string& path) noexcept;

}  // namespace lexorin::forms
