#pragma once

#include <string>

#include "base/temporary_files.h"

namespace lexorin::forms {

// A directory of our own under the system's temporary directory (made with mkdtemp, so no other
// user or run can have put anything there, and named as base/temporary_files.h says), removed
// with its content when the object goes, also when a command fails half-way; one left by a
// killed run is removed when the next one is made.
class PrivateTempDirectory {
  public:
    PrivateTempDirectory();

    const std::string& path() const { return directory_.path(); }
    std::string file(const std::string& name) const { return path() + "/" + name; }

  private:
    TemporaryDirectory directory_;
};

// Removes the folders that form commands killed on the way left under the system's temporary
// directory (those of living runs are held locked and stay; a user's folders never match), as
// making a PrivateTempDirectory does, for a command that needs no folder of its own.
void SweepKilledFormFolders();

}  // namespace lexorin::forms
