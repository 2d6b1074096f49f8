// The space a code scan needs, estimated before its first change.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/text_utils.h"
#include "code/scan_space.h"
#include "support/test_support.h"
#include "support/tiny_tmpfs.h"

namespace lexorin::code {
namespace {

using lexorin::testing::TempDir;
using lexorin::testing::TinyTmpfs;

// Only literals still to be taken count: a unit rewritten before, its marker lines, comments
// and empty literals add no row.
TEST(ScanSpace, OnlyLinesWithLiteralsStillToBeTakenCount) {
    const std::string rewritten =
        "begin\r\n//TL:  ShowMessage('Hello');\r\n  ShowMessage(''+s_12+'');\r\n"
        "  S := '';\r\n  // ShowMessage('commented');\r\nend.\r\n";
    EXPECT_EQ(CountNewLiterals(rewritten).literals, 0u);
    EXPECT_EQ(EstimatedRowBytes(rewritten, 5), 0u);

    const std::string fresh =
        "begin\r\n  ShowMessage('Don''t' + S + 'x');\r\n  X := 1;\r\nend.\r\n";
    const NewLiterals found = CountNewLiterals(fresh);
    EXPECT_EQ(found.literals, 2u);  // each literal is a row of its own
    EXPECT_EQ(found.literal_bytes, 7u);
    EXPECT_EQ(found.line_bytes, std::string("  ShowMessage('Don''t' + S + 'x');").size());
    // The row holds its context lines too: more context, more bytes.
    EXPECT_GT(EstimatedRowBytes(fresh, 5), EstimatedRowBytes(fresh, 1));
}

TEST(ScanSpace, ADiskShortOfTheNeedsIsNamedWithWhatTheyAre) {
    TinyTmpfs disk("256k");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    TempDir elsewhere;
    DiskSpaceNeeds needs;
    needs.Add(elsewhere.path(), 1024, "the rewritten units");  // another disk, with room
    needs.Add(disk.path() + "/", 150 * 1024, "the rows of 2 languages", "why the rows");
    needs.Add(disk.path(), 50 * 1024, "the rows of 2 languages", "why the rows");
    needs.Add(disk.path(), 100 * 1024, "the journals of the tables", "why the journals");
    try {
        needs.Require("No unit was changed.");
        FAIL() << "300 KB fit on a disk of 256 KB";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Not enough space on the disk of " + disk.path() +
                      ": the rows of 2 languages need about 200 KB and the journals of the "
                      "tables about 100 KB (why the rows; why the journals), 256 KB are free. "
                      "No unit was changed.");
    }
    DiskSpaceNeeds fitting;
    fitting.Add(disk.path(), 100 * 1024, "the rows of 2 languages");
    EXPECT_NO_THROW(fitting.Require("No unit was changed."));
}

}  // namespace
}  // namespace lexorin::code
