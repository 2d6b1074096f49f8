// The scan's work on other threads: units read and rewritten ahead must give exactly what the
// scan of each unit in turn gives, and a unit numbered otherwise than the table numbers it must
// be scanned again, not stored with the wrong references.
#include "code/unit_prefetch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "base/errors.h"
#include "base/text_utils.h"
#include "code/deferred_close.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;

const std::string kFormUnit =
    "unit Main;\r\ninterface\r\nuses Forms;\r\nimplementation\r\n{$R *.dfm}\r\n"
    "procedure T; begin\r\n  Caption := 'Hello'; { 'kept' } Hint := 'World';\r\n"
    "  (* 'also kept'\r\n  still *) Text := 'Again';\r\nend;\r\nend.\r\n";
const std::string kPlainUnit =
    "unit Plain;\ninterface\nimplementation\nprocedure P;\nbegin\n  "
    "Show('One'#13'Two');\nend;\nend.";
const std::string kNoStrings = "unit Empty;\ninterface\nimplementation\nend.\n";

TEST(RewriteLines, GivesWhatRewriteUnitGives) {
    const UnitScanner scanner(test::LetterOptions());
    for (const std::string& text : {kFormUnit, kPlainUnit, kNoStrings}) {
        MemoryStringStore copied(5), viewed(5);
        const std::vector<std::string> lines = read_text_lines(text);
        const UnitRewrite rewrite = scanner.RewriteUnit("/p/u.pas", lines, copied);
        const std::vector<std::string_view> views = read_text_line_views(text);
        const RewrittenUnit in_place = scanner.RewriteLines("/p/u.pas", views, viewed);
        EXPECT_EQ(in_place.lines.Texts(), rewrite.lines);
        EXPECT_EQ(in_place.lines.SameAs(views), rewrite.lines == lines);
        EXPECT_EQ(in_place.strings_found, rewrite.strings_found);
        EXPECT_EQ(in_place.original_uses_line, rewrite.original_uses_line);
        EXPECT_EQ(in_place.original_form_line, rewrite.original_form_line);
        ASSERT_EQ(viewed.rows().size(), copied.rows().size());
        for (size_t i = 0; i < viewed.rows().size(); ++i) {
            EXPECT_EQ(viewed.rows()[i].first, copied.rows()[i].first);
            EXPECT_EQ(viewed.rows()[i].second.context, copied.rows()[i].second.context);
        }
    }
    MemoryStringStore none;
    const std::vector<std::string> unchanged = read_text_lines(kNoStrings);
    EXPECT_EQ(scanner.RewriteUnit("/p/u.pas", unchanged, none).lines, unchanged);
}

class UnitPrefetchTest : public ::testing::Test, protected test::CodeTables {
  protected:
    std::vector<std::string> WriteUnits() {
        std::vector<std::string> paths = {sources.file("main.pas"), sources.file("gone.pas"),
                                          sources.file("plain.pas"), sources.file("empty.pas")};
        write_test_file(paths[0], kFormUnit);
        write_test_file(paths[2], kPlainUnit);
        write_test_file(paths[3], kNoStrings);
        return paths;  // gone.pas is never written
    }
};

TEST_F(UnitPrefetchTest, PreparesEachUnitAsItsScanWould) {
    const std::vector<std::string> paths = WriteUnits();
    UnitPrefetch prefetch(test::LetterOptions(), RestoredLiterals::None(), paths);
    EXPECT_EQ(prefetch.Take(0), nullptr);  // not started
    prefetch.Restart(0, 7);
    std::int64_t next = 7;
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::unique_ptr<PreparedUnit> unit = prefetch.Take(i);
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->path, paths[i]);
        EXPECT_EQ(unit->first_index, next);
        if (i == 1) {
            EXPECT_FALSE(unit->usable);  // the scan of the unit reports why
            EXPECT_TRUE(unit->rows.empty());
            continue;
        }
        ASSERT_TRUE(unit->usable);
        MemoryStringStore strings(next);
        const UnitRewrite rewrite =
            UnitScanner(test::LetterOptions())
                .RewriteUnit(paths[i], read_text_lines(read_test_file(paths[i])), strings);
        EXPECT_EQ(unit->rewrite.lines.Texts(), rewrite.lines);
        ASSERT_EQ(unit->rows.size(), strings.rows().size());
        for (size_t k = 0; k < unit->rows.size(); ++k) {
            EXPECT_EQ(unit->rows[k].first, strings.rows()[k].first);
            EXPECT_EQ(unit->rows[k].second.original, strings.rows()[k].second.original);
        }
        next = unit->next_index();
    }
    EXPECT_EQ(next, 7 + 3 + 2);
}

// What ScanUnit leaves for the units, with or without units prepared ahead.
struct ScanResult {
    std::vector<std::string> texts;
    std::vector<std::string> rows;
};

ScanResult ScanAll(test::CodeTables& tables, const std::vector<std::string>& paths,
                   std::int64_t foreseen_first) {
    UnitPrefetch prefetch(test::LetterOptions(), RestoredLiterals::None(), paths);
    prefetch.Restart(0, foreseen_first);
    for (size_t i = 0; i < paths.size(); ++i) {
        std::unique_ptr<PreparedUnit> prepared = prefetch.Take(i);
        try {
            tables.batch->ScanUnit(tables.scanner, paths[i], prepared.get());
        } catch (const Error&) {
        }
    }
    ScanResult result;
    for (const std::string& path : paths)
        result.texts.push_back(::access(path.c_str(), F_OK) == 0 ? read_test_file(path) : "");
    for (tables.pascal.first(); !tables.pascal.eof(); tables.pascal.next())
        result.rows.push_back(tables.pascal.text("Index") + " " +
                              tables.pascal.text("OriginalString") + " " +
                              tables.pascal.text("NewLine"));
    return result;
}

TEST_F(UnitPrefetchTest, AUnitNumberedOtherwiseIsScannedAgainByTheTable) {
    const std::vector<std::string> paths = WriteUnits();
    // Numbered from 1, as the empty table numbers: taken as prepared.
    const ScanResult foreseen = ScanAll(*this, paths, 1);
    EXPECT_NE(foreseen.texts[0].find("Caption := ''+s_1+'';"), std::string::npos);
    EXPECT_NE(foreseen.texts[2].find("Show(''+s_4+''#13''+s_5+'')"), std::string::npos);
    EXPECT_EQ(foreseen.rows.size(), 5u);
    EXPECT_EQ(batch->next_index(), 6);

    // The same units again, numbered wrongly: every one is scanned by the table's numbering.
    test::CodeTables again;
    const std::vector<std::string> copies = {
        again.sources.file("main.pas"), again.sources.file("gone.pas"),
        again.sources.file("plain.pas"), again.sources.file("empty.pas")};
    write_test_file(copies[0], kFormUnit);
    write_test_file(copies[2], kPlainUnit);
    write_test_file(copies[3], kNoStrings);
    const ScanResult mistaken = ScanAll(again, copies, 40);
    EXPECT_EQ(mistaken.texts, foreseen.texts);
    EXPECT_EQ(mistaken.rows, foreseen.rows);
}

TEST(DeferredClose, ClosesEveryDescriptorItIsGiven) {
    lexorin::testing::TempDir dir;
    write_test_file(dir.file("f"), "x");
    std::vector<int> fds;
    {
        DeferredClose closer(3, 2);  // fewer may wait than are given: Add waits for room
        for (int i = 0; i < 20; ++i) {
            fds.push_back(::open(dir.file("f").c_str(), O_PATH | O_CLOEXEC));
            ASSERT_GE(fds.back(), 0);
            closer.Add(fds.back());
        }
    }
    for (const int fd : fds) EXPECT_EQ(::fcntl(fd, F_GETFD), -1) << fd;
}

}  // namespace
}  // namespace lexorin::code

namespace lexorin::code {
namespace {

class UnitRowIndexTest : public ::testing::Test, protected test::CodeTables {};

// The index answers as FileList::find does, odd rows included: a path listed under another name
// counts only when that name sorts after the file's own.
TEST_F(UnitRowIndexTest, FindsWhatTheTableWalkFinds) {
    store::FileList& units = *unit_files;
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"a.pas", "/x/a.pas"}, {"a.pas", "/y/a.pas"}, {"b.pas", "/x/b.pas"}, {"A.pas", "/z/A.pas"},
        {"c.pas", "/x/a.pas"}, {"0.pas", "/w/a.pas"}, {"c.pas", "/v/a.pas"}, {"(Show all)", ""}};
    for (const auto& [name, path] : rows) units.append({0, name, path});
    UnitRowIndex index(units);
    const std::vector<std::string> paths = {"/x/a.pas", "/y/a.pas", "/w/a.pas", "/v/a.pas",
                                            "/z/A.pas", "/q/a.pas", "/x/b.pas", "/x/c.pas",
                                            "/z/a.pas", ""};
    for (const std::string& path : paths) EXPECT_EQ(index.Find(path), units.find(path)) << path;

    const std::int64_t added = units.append({0, "d.pas", "/x/d.pas"});
    index.Added(added, "/x/d.pas");
    EXPECT_EQ(index.Find("/x/d.pas"), added);
    index.Removed(added);
    EXPECT_EQ(index.Find("/x/d.pas"), std::nullopt);
    index.Forget();  // read again: the row is still in the table
    EXPECT_EQ(index.Find("/x/d.pas"), added);
}

}  // namespace
}  // namespace lexorin::code
