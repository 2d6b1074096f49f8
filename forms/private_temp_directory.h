#pragma once

#include <string>

#include "base/temporary_files.h"

namespace lexorin::forms {

// A directory of our own under the system's temporary directory (made with mkdtemp, so no other
// user or run can have put anything there, and named as base/temporary_files.h says), removed
// with its content when the object goes, also when a command fails half-way; one left by a
// killed run is removed when the next one is made. The form commands keep their "Tempform.txt"
// in it.
class PrivateTempDirectory {
  public:
    PrivateTempDirectory();

    const std::string& path() const { return directory_.path(); }
    std::string file(const std::string& name) const { return path() + "/" + name; }

  private:
    TemporaryDirectory directory_;
};

// Removes a file if it is there; a file that is already gone is no failure.
void remove_if_present(const std::string& path) noexcept;

}  // namespace lexorin::forms
