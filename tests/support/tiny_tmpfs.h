#pragma once

#include <stdlib.h>
#include <sys/mount.h>

#include <filesystem>
#include <string>

namespace lexorin::testing {

// A small tmpfs of its own, for tests of a full disk; mounting needs the super-user (or a
// mount namespace), so a test checks mounted() and skips otherwise.
class TinyTmpfs {
  public:
    explicit TinyTmpfs(const std::string& size) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lexorin-full-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        path_ = pattern;
        const std::string options = "size=" + size;
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~TinyTmpfs() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TinyTmpfs(const TinyTmpfs&) = delete;
    TinyTmpfs& operator=(const TinyTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    bool mounted_ = false;
};

}  // namespace lexorin::testing
