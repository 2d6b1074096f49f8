#include "base/file_utils.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "base/errors.h"
#include "base/text_utils.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

size_t entries(const std::string& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

TEST(AtomicFileWriter, ReplacesOnlyWhenCompleteAndKeepsTheMode) {
    TempDir dir;
    std::string unit = dir.file("unit.pas");
    write_test_file(unit, "old");
    ::chmod(unit.c_str(), 0750);
    {
        AtomicFileWriter writer(unit);
        writer.write("new text");
        EXPECT_EQ(read_test_file(unit), "old");  // nothing changes before commit
        writer.commit();
    }
    EXPECT_EQ(read_test_file(unit), "new text");
    struct stat st {};
    ::stat(unit.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0750u);

    // A writer given up on (an error, a crash of the caller) leaves the old file and no litter.
    {
        AtomicFileWriter writer(unit);
        writer.write("half");
    }
    EXPECT_EQ(read_test_file(unit), "new text");
    EXPECT_EQ(entries(dir.path()), 1u);

    // Finished but not yet in place: the target is still the old one.
    AtomicFileWriter later(unit);
    later.write("later");
    later.finish(false);
    EXPECT_EQ(read_test_file(unit), "new text");
    sync_file_systems({later.temp_path()});
    later.replace();
    EXPECT_EQ(read_test_file(unit), "later");
}

TEST(AtomicFileWriter, FollowsLinksAndRefusesWhatIsNoFile) {
    TempDir dir;
    write_test_file(dir.file("real.tra"), "old");
    std::filesystem::create_symlink(dir.file("real.tra"), dir.file("link.tra"));
    write_file_atomically(dir.file("link.tra"), "through the link");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.tra")));
    EXPECT_EQ(read_test_file(dir.file("real.tra")), "through the link");

    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0644), 0);
    EXPECT_THROW(write_file_atomically(dir.file("pipe"), "x"), Error);
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("pipe")));
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_THROW(write_file_atomically(dir.file("folder"), "x"), Error);
    EXPECT_THROW(write_file_atomically(dir.file("missing/x.txt"), "x"), Error);
    EXPECT_EQ(entries(dir.path()), 4u);
}

TEST(TextLines, ReadAtCrLfOrCrLfAndWrittenWithCrLf) {
    EXPECT_EQ(read_text_lines("a\rb\nc\r\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(read_text_lines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(read_text_lines("").empty());
    EXPECT_EQ(join_text_lines({"a", ""}), "a\r\n\r\n");
    EXPECT_EQ(upper_case("a\xE4z"), "A\xE4Z");  // only a to z change
    EXPECT_TRUE(equal_no_case("German", "gERMAN"));
    EXPECT_EQ(trim(std::string("\t x \x01")), "x");
}

}  // namespace
