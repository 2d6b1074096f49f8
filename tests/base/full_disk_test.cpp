#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "base/errors.h"
#include "base/file_utils.h"
#include "support/test_support.h"
#include "support/tiny_tmpfs.h"

using namespace lexorin;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::TinyTmpfs;
using lexorin::testing::write_test_file;

namespace {

size_t entries(const std::string& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

std::string message_of_write(const std::string& target, const std::string& bytes) {
    try {
        write_file_atomically(target, bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return "written";
}

TEST(FullDisk, AWriteThatFillsTheDiskNamesItAndKeepsTheOldFile) {
    TinyTmpfs disk("64k");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    const std::string target = disk.file("strings.tra");
    write_test_file(target, "old");
    EXPECT_EQ(message_of_write(target, std::string(256 * 1024, 'x')),
              "No space left on device while writing " + target);
    EXPECT_EQ(read_test_file(target), "old");
    EXPECT_EQ(entries(disk.path()), 1u);  // no temporary file left behind
}

// The file-size limit of a process (ulimit -f) stops a write the way a full disk does; the
// child ignores SIGXFSZ, so that the write fails instead of killing it.
TEST(FullDisk, TheFileSizeLimitIsNamedAndTheOldFileStays) {
    TempDir dir;
    const std::string target = dir.file("unit1.pas");
    write_test_file(target, "old");
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(out[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {
            4096, 4096
        };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string result = message_of_write(target, std::string(64 * 1024, 'x'));
        (void)!::write(out[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<size_t>(n));
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(result, "File size limit exceeded while writing " + target);
    EXPECT_EQ(read_test_file(target), "old");
    EXPECT_EQ(entries(dir.path()), 1u);
}

}  // namespace
