// What RestoreCode reports, at any size: each changed line once, its text cut short, a unit's
// lines beyond the first few counted; and the references of a line given back in one pass, so
// that tens of thousands of literals on one line come back exactly.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text_utils.h"
#include "code/restore_code.h"
#include "code/restore_journal.h"
#include "code/restore_lines.h"
#include "project/language_list.h"
#include "store/table_files.h"
#include "store/transcopy.h"
#include "support/recording_reporter.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;

class RestoreReportTest : public ::testing::Test, protected test::CodeTables {
  protected:
    void SetUp() override {
        journal = std::make_unique<RestoreJournal>(folder(), "Demo");
        NewBatch({.restore_journal = journal.get()});
    }
    // Writes the unit (CR LF line ends, as a restore writes it), scans it and gives it back.
    RestoreReport ScanAndRestore(const std::string& name, const std::vector<std::string>& lines,
                                 const RestoreSelection& selection = {}) {
        path = sources.file(name);
        original = join_text_lines(lines);
        write_test_file(path, original);
        ScanUnit(path);
        pascal.flush();
        ProjectCodeTables code_tables(folder(), "Demo", LanguageList{{"English"}, 0});
        return RestoreCode(code_tables, selection, reporter);
    }

    std::unique_ptr<RestoreJournal> journal;
    lexorin::testing::RecordingReporter reporter;
    std::string path, original;
};

std::vector<std::string> Unit(const std::vector<std::string>& body) {
    std::vector<std::string> lines = {"unit big;",      "interface",    "uses SysUtils;",
                                      "implementation", "procedure P;", "begin"};
    lines.insert(lines.end(), body.begin(), body.end());
    lines.insert(lines.end(), {"end;", "end."});
    return lines;
}

// "  S := 'Text 0' + 'Text 1' + ...;"
std::string LineOfLiterals(int count, int first = 0) {
    std::string line = "  S := ";
    for (int i = first; i < first + count; ++i)
        line += (i > first ? " + 'Text " : "'Text ") + std::to_string(i) + "'";
    return line + ";";
}

TEST_F(RestoreReportTest, ALineOfThousandsOfLiteralsIsReportedOnceAndShort) {
    const int count = 3000;
    RestoreReport report = ScanAndRestore("big.pas", Unit({LineOfLiterals(count),
                                                           "  T := 'x' + "
                                                           "'Last one';"}));
    EXPECT_EQ(read_test_file(path), original);
    ASSERT_EQ(report.rows.size(), static_cast<size_t>(count + 1));
    EXPECT_EQ(report.whole_units, std::vector<std::string>{path});

    ASSERT_EQ(report.units.size(), 1u);
    const RestoredUnitListing& unit = report.units[0];
    EXPECT_EQ(unit.unit, path);
    ASSERT_EQ(unit.lines.size(), 2u);
    EXPECT_EQ(unit.lines[0].line, 7);
    ASSERT_EQ(unit.lines[0].indexes.size(), static_cast<size_t>(count));
    EXPECT_EQ(unit.lines[0].indexes.front(), 1);
    EXPECT_EQ(unit.lines[0].indexes.back(), count);
    EXPECT_EQ(unit.lines[0].text, LineOfLiterals(count).substr(0, kExcerptLength) + "...");
    EXPECT_EQ(unit.lines[1].line, 8);
    EXPECT_EQ(unit.lines[1].indexes, std::vector<std::int64_t>{count + 1});
    EXPECT_EQ(unit.lines[1].text, "  T := 'x' + 'Last one';");
    EXPECT_EQ(unit.unlisted_lines, 0u);

    // Every row names its line, never with more than the cut text.
    for (const RestoredRow& row : report.rows) {
        EXPECT_LE(row.text.size(), kExcerptLength + 3) << "s_" << row.index;
        EXPECT_EQ(row.line, row.index == count + 1 ? 8 : 7) << "s_" << row.index;
    }
}

TEST_F(RestoreReportTest, AUnitListsItsFirstLinesAndCountsTheOthers) {
    std::vector<std::string> body;
    const size_t changed = kListedLinesPerUnit + 5;
    for (size_t i = 0; i < changed; ++i)
        body.push_back(i + 1 == changed ? "  A('two on', 'the last line');"
                                        : "  A('line " + std::to_string(i) + "');");
    RestoreReport report = ScanAndRestore("many.pas", Unit(body));
    EXPECT_EQ(read_test_file(path), original);
    EXPECT_EQ(report.rows.size(), changed + 1);
    ASSERT_EQ(report.units.size(), 1u);
    const RestoredUnitListing& unit = report.units[0];
    ASSERT_EQ(unit.lines.size(), kListedLinesPerUnit);
    EXPECT_EQ(unit.lines.front().line, 7);
    EXPECT_EQ(unit.lines.front().text, "  A('line 0');");
    EXPECT_EQ(unit.lines.back().line, static_cast<int>(6 + kListedLinesPerUnit));
    EXPECT_EQ(unit.unlisted_lines, 5u);
    EXPECT_EQ(unit.unlisted_rows, 6u);
}

TEST_F(RestoreReportTest, EveryOtherLiteralOfALongLineComesBackAndTheRestStayReferences) {
    const int count = 2000;
    RestoreSelection odd;
    for (int index = 1; index <= count; index += 2) odd.indexes.push_back(index);
    RestoreReport report = ScanAndRestore("half.pas", Unit({LineOfLiterals(count)}), odd);
    EXPECT_EQ(report.rows.size(), static_cast<size_t>(count / 2));
    EXPECT_TRUE(report.whole_units.empty());

    // Rows 1, 3, 5, ... hold 'Text 0', 'Text 2', ...; the others are still references, so the
    // line keeps its marker.
    const std::vector<std::string> lines = read_text_lines(read_test_file(path));
    std::string expected = "  S := ";
    for (int index = 1; index <= count; ++index) {
        if (index > 1) expected += " + ";
        expected += index % 2 ? "'Text " + std::to_string(index - 1) + "'"
                              : "''+s_" + std::to_string(index) + "+''";
    }
    expected += ";";
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[6], "//TL:" + LineOfLiterals(count).substr(2));
    EXPECT_EQ(lines[7], expected);

    // The others follow, and the unit is as it was.
    ProjectCodeTables code_tables(folder(), "Demo", LanguageList{{"English"}, 0});
    report = RestoreCode(code_tables, {}, reporter);
    EXPECT_EQ(report.rows.size(), static_cast<size_t>(count / 2));
    EXPECT_EQ(read_test_file(path), original);
}

// The way back on the lines alone: a reference is replaced only where it stands whole, s_1
// never inside s_12, and a reference met twice on a line comes back twice.
TEST(RestoreUnitLines, ReferencesComeBackWholeAndOnlyTheChosenOnes) {
    const std::vector<std::string> lines = {
        "//TL:x := 'a' + 'b' + 'a';",
        "x := ''+s_1+'' + ''+s_12+'' + ''+s_1+'';",
    };
    RestoredUnit result = RestoreUnitLines(lines, {{1, "'a'", 2}}, std::nullopt);
    ASSERT_TRUE(result.changed);
    EXPECT_EQ(result.lines, (std::vector<std::string>{"//TL:x := 'a' + 'b' + 'a';",
                                                      "x := 'a' + ''+s_12+'' + 'a';"}));
    EXPECT_EQ(result.restored.at(1), 2);
    EXPECT_EQ(result.references.at(12), 2);
    EXPECT_TRUE(result.missing.empty());

    result = RestoreUnitLines(lines, {{12, "'b'", 2}, {7, "'gone'", 3}}, std::nullopt);
    EXPECT_EQ(result.lines[1], "x := ''+s_1+'' + 'b' + ''+s_1+'';");
    EXPECT_EQ(result.missing, std::vector<std::int64_t>{7});
}

// A report's line is cut after 160 bytes, never inside a UTF-8 character.
TEST(LineExcerpt, LongLinesAreCutBeforeACharactersContinuation) {
    EXPECT_EQ(LineExcerpt(std::string(kExcerptLength, 'a')), std::string(kExcerptLength, 'a'));
    EXPECT_EQ(LineExcerpt(std::string(kExcerptLength + 1, 'a')),
              std::string(kExcerptLength, 'a') + "...");
    const std::string umlaut = std::string(kExcerptLength - 1, 'a') + "\xC3\xA4 and more";
    EXPECT_EQ(LineExcerpt(umlaut), std::string(kExcerptLength - 1, 'a') + "...");
}

}  // namespace
}  // namespace lexorin::code
