#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexorin {

// Every temporary file Lexorin makes beside a user's file is named
// ".~lexorin.<name>.<six random letters or digits>", so that a leftover of a run that was killed
// can be told from the user's own files. While its run lives, the file (or folder) is held with
// an exclusive flock, so a sweep never takes the file of a command still at work; the kernel
// drops the lock when the process dies.
inline constexpr std::string_view kTemporaryPrefix = ".~lexorin.";

// The mkstemp/mkdtemp pattern for a temporary file beside `target` (in the same folder):
// "<folder>/.~lexorin.<file name>.XXXXXX".
std::string temporary_pattern_beside(const std::string& target);

// True for a bare file name of exactly that form.
bool is_temporary_name(std::string_view name);

// Removes the leftovers in `folder`: regular files (and, with `folders`, folders of ours) whose
// names have that form and that no living process holds. Links are never followed and never
// removed; a folder that cannot be read is skipped. Returns the number removed.
int sweep_temporary_files(const std::string& folder, bool folders = false);

// Sweeps each distinct folder that holds one of `files` once.
int sweep_temporary_files_beside(const std::vector<std::string>& files);

// Takes an exclusive flock on an open descriptor and returns a duplicate that keeps it (the lock
// belongs to the open file, so it stays while the duplicate is open); -1 when it fails.
int hold_temporary_lock(int fd) noexcept;

}  // namespace lexorin
