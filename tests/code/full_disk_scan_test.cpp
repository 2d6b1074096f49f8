// Code scans on a full disk, in a project with two languages: whatever the scan meets, every
// unit on disk refers to rows that hold its literals in every language, each language holds
// exactly the rows the units refer to, and restoring gives back every unit.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>

#include "base/errors.h"
#include "base/text_utils.h"
#include "support/full_disk_project.h"

namespace lexorin {
namespace {

using testing::FillingReporter;
using testing::FullDiskProject;
using testing::read_test_file;
using testing::write_test_file;
namespace fs = std::filesystem;

// Unit `number`, its statement part showing `literals` messages.
std::string UnitText(int number, int literals) {
    const std::string n = std::to_string(number);
    std::string text =
        "unit unit" + n + ";\r\n\r\ninterface\r\n\r\nuses SysUtils, Dialogs;\r\n\r\n" +
        "procedure Run" + n + ";\r\n\r\nimplementation\r\n\r\nprocedure Run" + n + ";\r\nbegin\r\n";
    for (int i = 1; i <= literals; ++i)
        text += "  ShowMessage('Message number " + std::to_string(i) + " of unit " + n + "');\r\n";
    return text + "end;\r\n\r\nend.\r\n";
}

std::string UnitPath(const FullDiskProject& project, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "unit%03d.pas", number);
    return project.src() + "/" + name;
}

void WriteUnits(const FullDiskProject& project, int from, int to, int literals) {
    for (int number = from; number < to; ++number)
        write_test_file(UnitPath(project, number), UnitText(number, literals));
}

// Every reference s_N of the units on disk, with the literal of the marker line above it.
std::map<std::int64_t, std::string> References(const FullDiskProject& project) {
    static const std::regex reference("''\\+s_([0-9]+)\\+''");
    std::map<std::int64_t, std::string> references;
    for (const auto& entry : fs::directory_iterator(project.src())) {
        const std::vector<std::string> lines =
            read_text_lines(read_test_file(entry.path().string()));
        for (size_t i = 0; i < lines.size(); ++i) {
            for (std::sregex_iterator it(lines[i].begin(), lines[i].end(), reference), end;
                 it != end; ++it) {
                const std::string& marker = i > 0 ? lines[i - 1] : std::string();
                const size_t open = marker.find('\'');
                const size_t close = marker.find('\'', open + 1);
                EXPECT_TRUE(starts_with(marker, "//TL:") && close != std::string::npos)
                    << entry.path() << ":" << i + 1 << " has no marker line above it";
                references[std::stoll((*it)[1])] =
                    close == std::string::npos ? "" : marker.substr(open + 1, close - open - 1);
            }
        }
    }
    return references;
}

// The proof: the rows of every language are exactly what the units refer to.
void ExpectRowsAreTheReferences(const FullDiskProject& project) {
    const auto references = References(project);
    for (const char* language : {"German", "French"})
        EXPECT_EQ(project.Rows(language), references)
            << "the rows of " << language << " are not the units' references";
}

int Rewritten(const FullDiskProject& project, int from, int to) {
    int rewritten = 0;
    for (int number = from; number < to; ++number)
        if (read_test_file(UnitPath(project, number)).find("''+s_") != std::string::npos)
            ++rewritten;
    return rewritten;
}

std::optional<commands::ScanCodeResult> ScanCode(FullDiskProject& project, Reporter& reporter) {
    std::optional<commands::ScanCodeResult> result;
    project.Run([&](commands::OpenedProject& opened) {
        result = commands::ScanCode(opened.handles(), {}, reporter);
    });
    return result;
}

// Restores every unit (with room on the disk) and expects each as it was written.
void ExpectRestoreGivesBackEveryUnit(FullDiskProject& project, int units, int literals) {
    project.Empty();
    project.Run([&](commands::OpenedProject& opened) {
        commands::RestoreCode(opened.handles(), {}, project.reporter);
    });
    int differing = 0;
    for (int number = 0; number < units; ++number)
        if (read_test_file(UnitPath(project, number)) != UnitText(number, literals)) ++differing;
    EXPECT_EQ(differing, 0) << "units not given back";
}

// The recipe: 20 units scanned, the disk of the program directory then nearly full, 40
// units added and scanned again. The scan is refused before it changes anything.
TEST(FullDiskScan, ARescanTheDiskCannotHoldIsRefusedBeforeAnyChange) {
    FullDiskProject project("8m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteUnits(project, 0, 20, 130);
    ASSERT_TRUE(ScanCode(project, project.reporter)->report.skipped.empty());
    project.Fill(200 * 1024);
    WriteUnits(project, 20, 60, 130);
    try {
        ScanCode(project, project.reporter);
        FAIL() << "the scan began";
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_TRUE(
            starts_with(message, "Not enough space on the disk of " + project.home_named() + ":"))
            << message;
        EXPECT_NE(message.find("No unit was changed."), std::string::npos) << message;
    }
    EXPECT_EQ(Rewritten(project, 20, 60), 0);
    EXPECT_EQ(project.Rows("German").size(), 2600u);
    ExpectRowsAreTheReferences(project);
    ExpectRestoreGivesBackEveryUnit(project, 60, 130);
}

// The same rescan with room at its start, and the disk full in its middle: its batch (every new
// unit) is taken back in both languages, and numbering goes on as before.
TEST(FullDiskScan, ARescanThatRunsOutOfSpaceTakesItsBatchBackInEveryLanguage) {
    FullDiskProject project("16m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteUnits(project, 0, 20, 130);
    ASSERT_TRUE(ScanCode(project, project.reporter)->report.skipped.empty());
    WriteUnits(project, 20, 60, 130);
    FillingReporter filling(project, 30);
    const auto result = ScanCode(project, filling);
    ASSERT_TRUE(result);
    const code::CodeScanReport& report = result->report;
    EXPECT_NE(report.stopped.find("No space left on device"), std::string::npos) << report.stopped;
    EXPECT_NE(report.stopped.find("taken back in every language"), std::string::npos)
        << report.stopped;
    EXPECT_EQ(report.skipped.size(), 40u);
    EXPECT_EQ(Rewritten(project, 20, 60), 0);
    EXPECT_EQ(Rewritten(project, 0, 20), 20);
    ExpectRowsAreTheReferences(project);

    project.Empty();
    ASSERT_TRUE(ScanCode(project, project.reporter)->report.skipped.empty());
    EXPECT_NE(read_test_file(UnitPath(project, 20)).find("''+s_2601+''"), std::string::npos);
    ExpectRowsAreTheReferences(project);
    ExpectRestoreGivesBackEveryUnit(project, 60, 130);
}

// Batches before the one that meets the full disk stay rewritten with their rows.
TEST(FullDiskScan, EarlierBatchesStayRewrittenWithTheirRows) {
    FullDiskProject project("8m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteUnits(project, 0, 230, 3);
    FillingReporter filling(project, 215);
    const auto result = ScanCode(project, filling);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->report.stopped.empty());
    EXPECT_EQ(result->report.units_scanned, 200);
    EXPECT_EQ(result->report.strings_found, 600);
    EXPECT_EQ(Rewritten(project, 0, 200), 200);
    EXPECT_EQ(Rewritten(project, 200, 230), 0);
    ExpectRowsAreTheReferences(project);
    EXPECT_EQ(project.Rows("French").size(), 600u);
    ExpectRestoreGivesBackEveryUnit(project, 230, 3);
}

// A first scan that meets the full disk leaves no language with rows, and none without.
TEST(FullDiskScan, AFirstScanThatRunsOutOfSpaceLeavesEveryLanguageEmpty) {
    FullDiskProject project("16m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteUnits(project, 0, 60, 130);
    FillingReporter filling(project, 30);
    const auto result = ScanCode(project, filling);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->report.stopped.empty());
    EXPECT_EQ(Rewritten(project, 0, 60), 0);
    EXPECT_TRUE(project.Rows("German").empty());
    EXPECT_TRUE(project.Rows("French").empty());

    project.Empty();
    ASSERT_TRUE(ScanCode(project, project.reporter)->report.skipped.empty());
    EXPECT_NE(read_test_file(UnitPath(project, 0)).find("''+s_1+''"), std::string::npos);
    EXPECT_EQ(project.Rows("French").size(), 7800u);
    ExpectRowsAreTheReferences(project);
}

// The units' new texts are written beside them before the batch is put in place: a disk of the
// sources that runs full takes the batch back like a full program directory.
TEST(FullDiskScan, ASourceDiskThatRunsFullTakesTheBatchBack) {
    FullDiskProject project("16m", "2m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteUnits(project, 0, 60, 130);
    FillingReporter filling(project, 30, true);
    const auto result = ScanCode(project, filling);
    ASSERT_TRUE(result);
    EXPECT_NE(result->report.stopped.find(project.src()), std::string::npos)
        << result->report.stopped;
    EXPECT_EQ(Rewritten(project, 0, 60), 0);
    EXPECT_TRUE(project.Rows("German").empty());
    EXPECT_TRUE(project.Rows("French").empty());
    for (const auto& entry : fs::directory_iterator(project.src()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
}

}  // namespace
}  // namespace lexorin
