#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/temporary_files.h"

namespace lexorin {

// Writes a file the safe way: the text goes to a temporary file in the target's directory (named
// and held as base/temporary_files.h says), which
// is renamed over the target only once it is complete and flushed. The target keeps its mode;
// until commit() the target is untouched, and a writer destroyed without commit() removes its
// temporary file. So a crash, a full disk or an error never leaves a half-written file.
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(std::string target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::string_view bytes);
    // Flushes and closes the temporary file, syncing it to disk when asked; the target is not
    // touched yet. Writers that replace many files sync them together (sync_file_systems).
    void finish(bool sync);
    // Renames the finished temporary file over the target.
    void replace();
    // finish(true), then replace().
    void commit();
    const std::string& target() const { return target_; }
    const std::string& temp_path() const { return temp_.path(); }

  private:
    void discard() noexcept;

    std::string target_;
    TemporaryFile temp_;  // keeps the file and its lock after file_ is closed
    std::FILE* file_ = nullptr;
    bool finished_ = false;
    bool committed_ = false;
};

void write_file_atomically(const std::string& target, std::string_view bytes);

// Syncs the file systems that hold the given files, once per file system: one call in place of
// one sync per file.
void sync_file_systems(const std::vector<std::string>& paths);

// Why a file may not be replaced or changed in place, checked before a command's first
// irreversible step: it must be a regular file, and both it and its folder (where journals and
// temporary files go) writable. The mode bits count too: the super-user may write anything, but
// a read-only file is meant to stay as it is.
enum class FileProblem { None, Missing, NotRegular, ReadOnly, FolderReadOnly };
FileProblem writable_file_problem(const std::string& path);
// "the file does not exist", "it is not a regular file", "the file is read-only", "its folder
// is read-only"; "" for None.
std::string describe(FileProblem problem);

// Raises an Error "<what> <path> cannot be written: <problem>" unless the file is writable as
// writable_file_problem says.
void require_writable_file(const std::string& path, const std::string& what);

bool file_exists(const std::string& path);
bool directory_exists(const std::string& path);
// The directory part of a path with its trailing "/", or "" for a bare name.
std::string directory_of(const std::string& path);
// The file name without its directory.
std::string file_name_of(const std::string& path);
// Joins a directory (with or without a trailing "/") and a name.
std::string join_path(const std::string& dir, const std::string& name);

}  // namespace lexorin
