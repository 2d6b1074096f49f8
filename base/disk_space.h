#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The disk space a command needs, checked before its first change. A command that runs out of
// space on the way takes its last unit of work back and stops, so this check is no guarantee; it
// spares the user a command that cannot end, and says how much room to make.
namespace lexorin {

// What a command will write, gathered by disk and checked against the free space there.
class DiskSpaceNeeds {
  public:
    // About `bytes` will be written under `folder` (which must exist) for `what` ("the
    // rewritten units"), estimated as `why` says (the margin and its reason, for the user).
    void Add(std::string folder, std::uintmax_t bytes, const std::string& what,
             const std::string& why = "");
    // Raises an Error for the first disk whose free space is short of what it needs:
    // "Not enough space on the disk of <folder>: <what> need about N KB[ and <what> about M KB]
    // (<why>[; <why>]), F KB are free. " + `nothing_changed`.
    void Require(const std::string& nothing_changed) const;

  private:
    struct Need {
        std::string folder;
        std::uintmax_t bytes = 0;
        std::string what;
        std::string why;
    };
    std::vector<Need> needs_;
};

}  // namespace lexorin
