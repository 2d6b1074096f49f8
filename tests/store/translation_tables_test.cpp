#include "store/translation_tables.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/text_utils.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/transcopy.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::store;
using lexorin::testing::TempDir;

namespace {

TEST(SplitLines, CutsAtCrAndDropsTheFollowingCharacter) {
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(SplitLines("one"), (std::vector<std::string>{"one"}));
    EXPECT_EQ(SplitLines("a\r\nb\r\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    // Whatever follows a CR is dropped, even when it is not a line feed.
    EXPECT_EQ(SplitLines("a\rxb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (std::vector<std::string>{"a\nb"}));
}

TEST(TableNames, BuiltFromProjectLanguageAndKindAsStored) {
    EXPECT_EQ(table_file_name("Demo", "English", TableKind::Forms), "Demo_English_forms.db");
    EXPECT_EQ(table_file_name("Demo", "English", TableKind::Pascal), "Demo_English_pascal.db");
    EXPECT_EQ(table_file_name("Demo", "English", TableKind::Units), "Demo_units.db");
    EXPECT_EQ(table_file_name("Demo", "English", TableKind::PasFiles), "Demo_pasfiles.db");
    EXPECT_EQ(table_file_name("Demo", "de_x", TableKind::Forms), "Demo_de_x_forms.db");
    // Names of different projects can meet when a name holds "_".
    EXPECT_EQ(table_file_name("A_b", "c", TableKind::Forms),
              table_file_name("A", "b_c", TableKind::Forms));
    EXPECT_EQ(table_base_name("P", "L", "units", false), "P_units");
}

class CopyTest : public ::testing::Test {
  protected:
    void SetUp() override { ensure_templates(dir.path()); }
    void make(const std::string& name, TableKind kind) {
        CopyTableFile(session, dir.path(), template_name(kind), dir.path(), name);
    }
    TempDir dir;
    Session session;
};

TEST_F(CopyTest, TemplatesAreEmptyTablesOfTheirKinds) {
    for (TableKind kind :
         {TableKind::Forms, TableKind::Units, TableKind::Pascal, TableKind::PasFiles}) {
        Table t(session, dir.path(), template_name(kind));
        t.open();
        EXPECT_EQ(t.record_count(), 0);
        EXPECT_NO_THROW(check_schema(t, schema_for(kind)));
    }
    // Template names are written in other letter cases in places.
    Table t(session, dir.path(), "pascal_Std.db");
    EXPECT_NO_THROW(t.open());
    // A second call leaves existing templates alone.
    EXPECT_NO_THROW(ensure_templates(dir.path()));
}

TEST_F(CopyTest, CopyTableFileNeverOverwritesAndSaysWhy) {
    make("Demo_German_pascal.db", TableKind::Pascal);
    {
        Table t(session, dir.path(), "Demo_German_pascal.db");
        t.open();
        t.append_record({0, "keep me"});
        t.flush();
    }
    std::string before = lexorin::testing::read_test_file(dir.file("Demo_German_pascal.db"));
    try {
        make("Demo_German_pascal.db", TableKind::Pascal);
        FAIL() << "overwrote a table";
    } catch (const StoreError& e) {
        std::string expected =
            "While copying " + dir.path() + "/pascal_std.db to " + dir.path() +
            "/Demo_German_pascal.db, the  database engine   generated the error '";
        EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected) << e.what();
    }
    EXPECT_EQ(lexorin::testing::read_test_file(dir.file("Demo_German_pascal.db")), before);
    EXPECT_THROW(CopyTableFile(session, dir.path(), "none.db", dir.path(), "x.db"), StoreError);
}

TEST_F(CopyTest, RowCopyAppendsWhatIsMissingAndKeepsWhatIsThere) {
    make("src.db", TableKind::Pascal);
    make("dst.db", TableKind::Pascal);
    {
        Table src(session, dir.path(), "src.db");
        src.open();
        src.append_record({0, "one", "eins", 1, true, true, "ctx1", 10, 11, 0});
        src.append_record({0, "two  ", "zwei", 1, true, false, "ctx2", 20, 21, 2});
        Table dst(session, dir.path(), "dst.db");
        dst.open();
        dst.append_record({0, "changed original", "kept translation", 5, true, true});
    }
    CopyRows(session, dir.path(), "src.db", "dst.db", TableKind::Pascal, nullptr);

    Table dst(session, dir.path(), "dst.db");
    dst.open();
    ASSERT_EQ(dst.record_count(), 2);
    dst.first();
    EXPECT_EQ(dst.text(field::OriginalString), "changed original");  // same Index: untouched
    EXPECT_EQ(dst.text(field::TranslateString), "kept translation");
    dst.next();
    EXPECT_EQ(dst.integer(field::Index), 2);
    EXPECT_EQ(dst.text(field::OriginalString), "two");
    EXPECT_EQ(dst.text(field::TranslateString), "");  // translations are never copied
    EXPECT_FALSE(dst.logical(field::Translated));
    EXPECT_FALSE(dst.logical(field::Ignore));
    EXPECT_EQ(dst.text(field::Context), "ctx2");
    EXPECT_EQ(dst.integer(field::NewLine), 20);
    EXPECT_EQ(dst.integer(field::OriginalLine), 21);
    EXPECT_EQ(dst.integer(field::SpacesAtEnd), 2);
    dst.close();

    // A second run between tables with the same Index values changes nothing.
    CopyRows(session, dir.path(), "src.db", "dst.db", TableKind::Pascal, nullptr);
    dst.open();
    EXPECT_EQ(dst.record_count(), 2);
}

TEST_F(CopyTest, FormsRowCopyTakesObjectAndPropertyButNoFlags) {
    make("f1.db", TableKind::Forms);
    make("f2.db", TableKind::Forms);
    {
        Table src(session, dir.path(), "f1.db");
        src.open();
        src.append_record(
            {0, "Caption text", "Titel", 3, true, true, "Form1.Label1", "Caption", true, 1});
    }
    CopyRows(session, dir.path(), "f1.db", "f2.db", TableKind::Forms, nullptr);
    Table dst(session, dir.path(), "f2.db");
    dst.open();
    ASSERT_EQ(dst.record_count(), 1);
    EXPECT_EQ(dst.text(field::OriginalString), "Caption text");
    EXPECT_EQ(dst.integer(field::UnitName), 3);
    EXPECT_EQ(dst.text(field::Object), "Form1.Label1");
    EXPECT_EQ(dst.text(field::Property), "Caption");
    EXPECT_FALSE(dst.logical(field::Changed));
    EXPECT_FALSE(dst.logical(field::Ignore));
    EXPECT_EQ(dst.integer(field::SpacesAtEnd), 1);
}

TEST_F(CopyTest, CountStringsCountsRowsAndUntranslatedOnes) {
    make("forms.db", TableKind::Forms);
    make("pascal.db", TableKind::Pascal);
    {
        Table forms(session, dir.path(), "forms.db");
        forms.open();
        forms.append_record({0, "a", "", 1, false, true});   // ignored
        forms.append_record({0, "b", "", 1, true, false});   // ticked translated
        forms.append_record({0, "c", "", 1, false, false});  // untranslated
        Table pascal(session, dir.path(), "pascal.db");
        pascal.open();
        pascal.append_record({0, "x", "X", 1, false, false});
    }
    Table forms(session, dir.path(), "forms.db");
    Table pascal(session, dir.path(), "pascal.db");
    StringCounts counts = CountStrings(forms, pascal, nullptr);
    EXPECT_EQ(counts.forms_rows, 3);
    EXPECT_EQ(counts.forms_untranslated, 1);
    EXPECT_EQ(counts.pascal_rows, 1);
    EXPECT_EQ(counts.pascal_untranslated, 0);
}

TEST_F(CopyTest, EmptyTemplateLeftByAnotherEngineIsNotMistakenForATable) {
    lexorin::testing::write_test_file(dir.file("broken.db"), std::string(4096, '\0'));
    Table t(session, dir.path(), "broken.db");
    EXPECT_THROW(t.open(), StoreError);
    EXPECT_THROW(CopyTableFile(session, dir.path(), "broken.db", dir.path(), "copy.db"),
                 StoreError);
    EXPECT_TRUE(find_file_no_case(dir.path(), "copy.db").empty());
}

// The names a schema writes into a table file: its fields, then each order with its fields.
std::vector<std::string> written_names(const TableSchema& schema) {
    std::vector<std::string> names;
    for (const auto& field : schema.fields) names.push_back(field.name);
    for (const auto& order : schema.orders) {
        std::string text = order.name + ":";
        for (const auto& field : order.fields) text += " " + field;
        names.push_back(text);
    }
    return names;
}

// Tables written by earlier versions are opened by these names: a constant given another
// spelling would leave every stored table unreadable.
TEST(TranslationSchemas, KeepTheNamesTheirFilesWereWrittenWith) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(
        written_names(forms_schema()),
        (Names{"Index", "OriginalString", "TranslateString", "UnitName", "Translated", "Ignore",
               "Object", "Property", "Changed", "SpacesAtEnd", "Context", "NeedsReview",
               "UniqueProperty: UnitName Object Property", "Translation: Object Property"}));
    EXPECT_EQ(written_names(pascal_schema()),
              (Names{"Index", "OriginalString", "TranslateString", "UnitName", "Translated",
                     "Ignore", "Context", "NewLine", "OriginalLine", "SpacesAtEnd", "Changed",
                     "NeedsReview", "String: OriginalString"}));
    EXPECT_EQ(written_names(file_list_schema()),
              (Names{"Index", "UnitName", "Directory", "Name: UnitName"}));
}

}  // namespace

namespace {

TEST(TypedTables, AnotherObjectOnTheFileStartsWithoutFilterAndOrder) {
    lexorin::testing::TempDir dir;
    Session session;
    ensure_templates(dir.path());
    for (const char* name : {"P_L_pascal.db", "P_M_pascal.db"})
        CopyTableFile(session, dir.path(), kPascalTemplate, dir.path(), name);
    const TableFolder folder{session, dir.dir()};
    PascalRows narrowed(folder, "P", "L");
    narrowed.table().append_record({0, "b"});
    narrowed.table().append_record({0, "a"});
    narrowed.table().set_index_name(order::String);
    narrowed.table().set_filter("Ignore=1");
    narrowed.table().set_filtered(true);
    EXPECT_EQ(narrowed.record_count(), 0);
    PascalRows plain(folder, "P", "L");
    EXPECT_EQ(plain.record_count(), 2);
    plain.table().first();
    EXPECT_EQ(plain.table().text(field::OriginalString), "b");  // Index order
}

}  // namespace
