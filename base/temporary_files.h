#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexorin {

// Temporary files and folders of Lexorin, and the sweep that removes those a killed run left.
//
// A name alone proves nothing: a user may well keep ".~lexorin.notes.txt.abc123". So each
// temporary is named ".~lexorin.<stem>.<check>", where the check (16 hex digits) is made of the
// stem and of the inode number of the file or folder itself. A file gets its inode before it
// gets a name (it is opened with O_TMPFILE and linked under its name once the number is known),
// so it is born with the proof; a folder is renamed to its proven name right after mkdtemp. No
// file of a user's names its own inode number by chance, and a copy of one of ours has another
// inode, so the sweep takes exactly what Lexorin made. The proof is in the name because the
// content is not ours to mark (the file becomes a user's unit), and unlike a registry it needs
// no second file to keep in step, no extra disk sync per file and no knowledge of where the
// program directory is.
//
// While its run lives, a temporary is held with an exclusive flock (the kernel drops it when the
// process dies), so a sweep never takes the file of a command still at work.
inline constexpr std::string_view kTemporaryPrefix = ".~lexorin.";

// The name of a temporary with this stem whose inode has this number.
std::string temporary_name(std::string_view stem, std::uint64_t inode);
// True when `name` is that of a temporary and its check fits `inode`.
bool names_its_inode(std::string_view name, std::uint64_t inode);

// A new, empty temporary file in the folder of `target`, named after the target's file name and
// held locked. Destroyed before it was put in place, it is removed together with the companions
// a table engine names after it ("<name>-journal", "-wal", "-shm").
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    // Open for reading and writing; it keeps the lock (and the file) while the object lives.
    int fd() const { return fd_; }

    // Renames the file over `target`; from then on it is no temporary. Returns 0 or the errno.
    int rename_over(const std::string& target) noexcept;
    // Links the file as `target`, never replacing a file there, and drops the temporary name.
    // Returns 0 or the errno (EEXIST when the name is taken).
    int link_as(const std::string& target) noexcept;
    // Removes the file now (companions first); it is no temporary any more.
    void remove() noexcept;

  private:
    std::string path_;
    int fd_ = -1;
    bool placed_ = false;
};

// A new, empty temporary folder in `parent`, held locked, removed with its content when the
// object goes.
class TemporaryDirectory {
  public:
    TemporaryDirectory(const std::string& parent, std::string_view stem);
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    int fd_ = -1;
};

// Removes the leftovers in `folder`: regular files (and, with `folders`, folders) whose names
// prove them ours and that no living process holds, with their companions. Links are never
// followed and never removed; a folder that cannot be read is skipped. Returns the number
// removed.
int sweep_temporary_files(const std::string& folder, bool folders = false);

// Sweeps each distinct folder that holds one of `files` once.
int sweep_temporary_files_beside(const std::vector<std::string>& files);

}  // namespace lexorin
