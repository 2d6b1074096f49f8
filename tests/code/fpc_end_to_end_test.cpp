// The proof that the rewriting is sound: a Free Pascal program, scanned and rewritten, still
// compiles and prints the same; with the translated strings switched on, exactly the
// translated texts change.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "code/resource_strings.h"
#include "codec/form_conversion.h"
#include "forms/form_scanner.h"
#include "forms/translated_form_file.h"
#include "project/file_walker.h"
#include "store/string_tables.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::read_test_file;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

bool HaveFpc() {
    return run_command("fpc -iV").status == 0;
}

// Builds demo.pas in `dir` from scratch and returns what the program prints.
std::string BuildAndRun(const std::string& dir) {
    fs::remove_all(dir + "/units");
    fs::remove_all(dir + "/out");
    fs::create_directories(dir + "/units");
    fs::create_directories(dir + "/out");
    auto build = run_command("cd '" + dir + "' && fpc -Mdelphi -B -FUunits -FEout demo.pas");
    EXPECT_EQ(build.status, 0) << build.out << build.err;
    if (build.status != 0) return {};
    auto run = run_command("'" + dir + "/out/demo'");
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

class FpcEndToEnd : public ::testing::Test, protected test::CodeTables {
  protected:
    void SetUp() override {
        if (!HaveFpc()) GTEST_SKIP() << "fpc is not installed";
        fs::copy(std::string(LEXORIN_TEST_DATA) + "/code/fpc_demo", original.path(),
                 fs::copy_options::recursive);
        fs::copy(std::string(LEXORIN_TEST_DATA) + "/code/fpc_demo", sources.path(),
                 fs::copy_options::recursive);
    }
    void ScanAndWrite() {
        for (const auto& unit : project::CollectFiles(sources.path(), true, "*.pas", {}))
            ScanUnit(unit);
        WriteResourceStringFiles(*pascal_rows, sources.path(), CodePage());
        CopyGlueFiles(std::string(LEXORIN_SOURCE_DIR) + "/code/glue", sources.path());
    }
    void Translate(const std::string& original_text, const std::string& translation) {
        bool found = false;
        for (pascal.first(); !pascal.eof(); pascal.next()) {
            if (pascal.text("OriginalString") != original_text) continue;
            pascal.edit();
            pascal.set_text("TranslateString", translation);
            pascal.set_logical("Translated", true);
            pascal.post();
            found = true;
        }
        ASSERT_TRUE(found) << original_text;
    }
    // The form scanned and written back translated, as Scan -> Forms and Write changes -> Forms
    // do it: through its text, into the forms table, and into its translated form file.
    void TranslateForm(const std::string& original_text, const std::string& translation) {
        store::create_table(tables.file("Demo_English_forms.db"), store::forms_schema());
        store::create_table(tables.file("Demo_units.db"), store::file_list_schema());
        store::FormRows strings({session, tables.path()},
                                store::TableFile{"Demo_English_forms.db"});
        store::FormFiles files({session, tables.path()}, store::TableFile{"Demo_units.db"});
        store::Table& forms = strings.table();
        SilentReporter reporter;
        const std::string form = sources.file("form1.dfm");
        const std::string text = tables.file("Tempform.txt");
        codec::FormFileToText(form, text);
        ASSERT_EQ(
            forms::FormStringScanner(strings, files, CodePage(), {}, reporter).Scan(text, form), 1);
        forms.first();
        ASSERT_EQ(forms.text("OriginalString"), original_text);
        forms.edit();
        forms.set_text("TranslateString", translation);
        forms.post();
        forms::TranslatedFormWriter writer(strings, files, CodePage(), reporter);
        EXPECT_EQ(forms::WriteTranslatedForm(writer, form, text), 1);
    }
    void SwitchOn(const std::string& symbol) {
        std::string path = sources.file("lx_lang.inc");
        std::string text = read_test_file(path);
        Replace(text, "{.$define " + symbol + "}", "{$define " + symbol + "}");
        write_test_file(path, text);
    }
    TempDir original;
};

TEST_F(FpcEndToEnd, RewrittenProgramPrintsTheSameAndTranslates) {
    const std::string before = BuildAndRun(original.path());
    ASSERT_FALSE(before.empty());

    ScanAndWrite();
    EXPECT_NE(read_test_file(sources.file("greet.pas")).find("''+s_"), std::string::npos);
    EXPECT_NE(read_test_file(sources.file("form1.pas")).find("{$R *.tra.res}"), std::string::npos);
    EXPECT_EQ(BuildAndRun(sources.path()), before);

    // A second scan finds nothing new, and the program still builds the same.
    const int rows = pascal.record_count();
    ScanAndWrite();
    EXPECT_EQ(pascal.record_count(), rows);
    EXPECT_EQ(BuildAndRun(sources.path()), before);

    const std::map<std::string, std::string> translations = {
        {"It''s a fine day", "Ein sch\xf6ner Tag"},
        {"Padded", "Gepolstert"},
        {"Closing line text", "Schlusszeile"},
        {"ok", "gut"},
        {"that''s many", "das sind ''viele''"}};
    for (const auto& [text, translation] : translations) Translate(text, translation);
    WriteResourceStringFiles(*pascal_rows, sources.path(), CodePage());
    EXPECT_EQ(BuildAndRun(sources.path()), before) << "the original strings are the default";

    SwitchOn("TranslatedStrings");
    std::string expected = before;
    Replace(expected, "It's a fine day", "Ein sch\xc3\xb6ner Tag");  // UTF-8
    Replace(expected, "Padded  |", "Gepolstert  |");
    Replace(expected, "Closing line text", "Schlusszeile");
    Replace(expected, "OK / ok", "OK / gut");
    Replace(expected, "that's many", "das sind 'viele'");
    EXPECT_EQ(BuildAndRun(sources.path()), expected);

    // The translated form switch links the translated form and the translations.
    TranslateForm("Greetings",
                  "Gr\xfc\xdf"
                  "e");
    write_test_file(sources.file("lx_lang.inc"),
                    read_test_file(std::string(LEXORIN_SOURCE_DIR) + "/code/glue/lx_lang.inc"));
    SwitchOn("TranslatedForm");
    Replace(expected, "Greetings",
            "Gr\xc3\xbc\xc3\x9f"
            "e");
    EXPECT_EQ(BuildAndRun(sources.path()), expected);
}

}  // namespace
}  // namespace lexorin::code
