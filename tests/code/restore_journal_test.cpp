// The restore journal: what the code scan keeps of a unit's replaced lines, and who empties and
// deletes it.
#include <gtest/gtest.h>

#include "base/file_utils.h"
#include "code/code_scan.h"
#include "code/restore_journal.h"
#include "project/project_delete.h"
#include "support/recording_reporter.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;

class RestoreJournalTest : public ::testing::Test, protected test::CodeTables {
  protected:
    std::unique_ptr<RestoreJournal> owned = std::make_unique<RestoreJournal>(folder(), "Demo");
    RestoreJournal& journal = *owned;
};

// Journals written by earlier versions are opened by these names.
TEST(RestoreJournalSchema, KeepsTheNamesItsFilesWereWrittenWith) {
    const store::TableSchema& schema = restore_journal_schema();
    std::vector<std::string> fields;
    for (const auto& field : schema.fields) fields.push_back(field.name);
    EXPECT_EQ(fields, (std::vector<std::string>{"Index", "Directory", "UsesLine", "FormLine"}));
    ASSERT_EQ(schema.orders.size(), 1u);
    EXPECT_EQ(schema.orders[0].name, "Path");
    EXPECT_EQ(schema.orders[0].fields, std::vector<std::string>{"Directory"});
}

TEST_F(RestoreJournalTest, KeepsTheFirstOriginalsWithTheirBlanks) {
    EXPECT_TRUE(file_exists(tables.file("Demo_restore.db")));
    journal.Record("/p/a.pas", "  Uses  SysUtils;   ", std::nullopt);
    journal.Record("/p/b.pas", std::nullopt, std::nullopt);  // nothing replaced: no entry
    ASSERT_EQ(journal.Units(), std::vector<std::string>{"/p/a.pas"});

    // A later rewrite fills in what the first one did not replace, and changes nothing else.
    journal.Record("/p/a.pas", "uses Other;", " {$r *.dfm} ");
    auto entry = journal.Find("/p/a.pas");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->uses_line, "  Uses  SysUtils;   ");
    EXPECT_EQ(entry->form_line, " {$r *.dfm} ");
    EXPECT_FALSE(journal.Find("/p/b.pas"));

    journal.Remove("/p/a.pas");
    EXPECT_TRUE(journal.Units().empty());
}

TEST_F(RestoreJournalTest, TheScanRecordsAUnitsFirstRewriteOnly) {
    NewBatch({.restore_journal = &journal});
    const std::string form = sources.file("form.pas");
    write_test_file(form,
                    "unit form;\ninterface\nuses Forms ;  \nimplementation\n {$R *.dfm}\n"
                    "procedure P; begin Caption := 'Title'; end;\nend.\n");
    const std::string plain = sources.file("plain.pas");
    write_test_file(plain,
                    "unit plain;\ninterface\nimplementation\nprocedure P; begin Caption := "
                    "'Text'; end;\nend.\n");
    ScanUnit(form);
    ScanUnit(plain);
    ASSERT_EQ(journal.Units(), std::vector<std::string>{form});
    EXPECT_EQ(journal.Find(form)->uses_line, "uses Forms ;  ");
    EXPECT_EQ(journal.Find(form)->form_line, " {$R *.dfm}");

    // A rescan of the rewritten unit replaces neither line again: the entry stays.
    std::string text = read_test_file(form);
    text += "procedure Q; begin Caption := 'New'; end;\r\n";
    write_test_file(form, text);
    ScanUnit(form);
    EXPECT_EQ(journal.Find(form)->uses_line, "uses Forms ;  ");
    EXPECT_EQ(journal.Find(form)->form_line, " {$R *.dfm}");
}

TEST_F(RestoreJournalTest, DeleteTableEmptiesItAndProjectDeletionRemovesIt) {
    journal.Record("/p/a.pas", "uses SysUtils;", std::nullopt);
    lexorin::testing::RecordingReporter yes(true);
    ASSERT_TRUE(DeleteCodeTables(folder(), "Demo", LanguageList{{"English"}, 0}, yes));
    EXPECT_TRUE(journal.Units().empty());
    EXPECT_TRUE(yes.warnings.empty());

    pascal.close();
    pasfiles.close();
    batch.reset();
    pascal_rows.reset();
    unit_files.reset();
    owned.reset();  // no handle may hold the file
    store::ensure_templates(tables.path());
    store::Table no_projects(session);
    auto deleted = project::DeleteProjectTables(folder(), no_projects, "Demo", {"English"});
    EXPECT_TRUE(deleted.failed.empty());
    EXPECT_FALSE(file_exists(tables.file("Demo_restore.db")));
}

}  // namespace
}  // namespace lexorin::code
