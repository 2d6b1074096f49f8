// The typed tables: each object opens the one file its constructor names, and its rows read and
// write every field by name.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/translation_fields.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

class StringTablesTest : public ::testing::Test {
  protected:
    StringTablesTest() {
        for (TableKind kind : {TableKind::Pascal, TableKind::Forms})
            create_table(dir.file(table_file_name("Demo", "German", kind)), schema_for(kind));
        for (TableKind kind : {TableKind::PasFiles, TableKind::Units})
            create_table(dir.file(table_file_name("Demo", "", kind)), schema_for(kind));
    }
    TempDir dir;
    Session session;
    TableFolder folder{session, dir.path()};
};

TEST_F(StringTablesTest, RowsKeepEveryFieldAndTheStoreNumbersThem) {
    PascalRows pascal(folder, "Demo", "German");
    EXPECT_EQ(pascal.file_name(), "Demo_German_pascal.db");
    PascalRow row{99, "Hello", "Hallo", 2, true, false, "line\r", 7, 5, 3, true};
    EXPECT_EQ(pascal.append(row), 1);  // the given number is not used
    const PascalRow read = pascal.current();
    EXPECT_EQ(read.index, 1);
    EXPECT_EQ(read.original, "Hello");
    EXPECT_EQ(read.translation, "Hallo");
    EXPECT_EQ(read.unit, 2);
    EXPECT_TRUE(read.translated);
    EXPECT_FALSE(read.ignore);
    EXPECT_EQ(read.context, "line\r");
    EXPECT_EQ(read.new_line, 7);
    EXPECT_EQ(read.original_line, 5);
    EXPECT_EQ(read.spaces_at_end, 3);
    EXPECT_TRUE(read.changed);

    FormRows forms(folder, "Demo", "German");
    FormRow form{0, "&OK", "", 4, false, true, "FORM1.BUTTON1", "Caption", true, 1, "why"};
    forms.append(form);
    const FormRow back = forms.current();
    EXPECT_EQ(back.original, "&OK");
    EXPECT_EQ(back.form, 4);
    EXPECT_TRUE(back.ignore);
    EXPECT_EQ(back.object, "FORM1.BUTTON1");
    EXPECT_EQ(back.property, "Caption");
    EXPECT_TRUE(back.changed);
    EXPECT_EQ(back.spaces_at_end, 1);
    EXPECT_EQ(back.context, "why");
    // The fields are those of the stored schema, as other handles read them.
    Table plain(session, dir.path(), "Demo_German_forms.db");
    plain.open();
    plain.first();
    EXPECT_EQ(plain.text(field::Object), "FORM1.BUTTON1");
    EXPECT_EQ(plain.integer(field::UnitName), 4);
}

PascalRow Numbered(std::int64_t index, const std::string& original) {
    PascalRow row;
    row.index = index;
    row.original = original;
    return row;
}

TEST_F(StringTablesTest, CopiedRowsKeepTheirNumberAndATakenNumberIsRefused) {
    PascalRows pascal(folder, "Demo", "German");
    pascal.append_keeping_index(Numbered(5, "five"));
    EXPECT_EQ(pascal.current().index, 5);
    EXPECT_EQ(pascal.append(Numbered(0, "six")), 6);
    EXPECT_THROW(pascal.append_keeping_index(Numbered(5, "again")), StoreError);
    EXPECT_EQ(pascal.record_count(), 2);
}

TEST_F(StringTablesTest, UnitFilesStartWithShowAllAndFindFilesByTheirFullPath) {
    {
        UnitFiles units(folder, "Demo");
        ASSERT_EQ(units.record_count(), 1);
        units.table().first();
        EXPECT_EQ(units.current().name, kShowAll);
        EXPECT_EQ(units.append(FileRow{0, "main.pas", "/a/main.pas"}), 2);
        EXPECT_EQ(units.append(FileRow{0, "main.pas", "/b/main.pas"}), 3);
        EXPECT_EQ(units.find("/b/main.pas"), 3);
        EXPECT_EQ(units.find("/a/main.pas"), 2);
        EXPECT_FALSE(units.find("/c/main.pas"));
        EXPECT_FALSE(units.find("/a/other.pas"));
    }
    UnitFiles again(folder, "Demo");
    EXPECT_EQ(again.record_count(), 3);  // "(Show all)" only once
    // The form files of a project get no such row.
    FormFiles forms(folder, "Demo");
    EXPECT_EQ(forms.record_count(), 0);
}

TEST_F(StringTablesTest, AMissingOrForeignFileIsNamed) {
    try {
        PascalRows missing(folder, "Demo", "French");
        FAIL() << "a missing table opened";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Demo_French_pascal"), std::string::npos) << e.what();
    }
    // A pascal table lacks the forms fields.
    try {
        FormRows wrong(folder, TableFile{"Demo_German_pascal.db"});
        FAIL() << "a pascal table opened as a forms table";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("Demo_German_pascal.db"), std::string::npos)
            << e.what();
    }
    write_test_file(dir.file("Demo_Dutch_pascal.db"), "not a table");
    EXPECT_THROW(PascalRows(folder, "Demo", "Dutch"), StoreError);
}

TEST_F(StringTablesTest, LanguageTablesOpenTheFourFilesOfAProjectAndLanguage) {
    LanguageTables tables(folder, "Demo", "German");
    EXPECT_EQ(tables.pascal.file_name(), "Demo_German_pascal.db");
    EXPECT_EQ(tables.forms.file_name(), "Demo_German_forms.db");
    EXPECT_EQ(tables.unit_files.file_name(), "Demo_pasfiles.db");
    EXPECT_EQ(tables.form_files.file_name(), "Demo_units.db");
}

}  // namespace
