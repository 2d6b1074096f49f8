// import-po at size: thousands of translations come in as one transaction of each table (one
// disk sync), not one per entry or per batch of entries.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "base/code_page.h"
#include "base/reporter.h"
#include "project/languages.h"
#include "project/po_exchange.h"
#include "project/po_file.h"
#include "project/projects_table.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/po_demo_exchange.h"
#include "support/test_support.h"

namespace lexorin::project {
namespace {

using lexorin::testing::ExportGerman;
using lexorin::testing::ImportGerman;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;

// The file change counter of a table file (bytes 24 to 27 of an SQLite database, big-endian),
// which every committed transaction that changed the file counts up by one.
std::uint32_t commits_of(const std::string& path) {
    const std::string bytes = read_test_file(path).substr(24, 4);
    std::uint32_t counter = 0;
    for (unsigned char c : bytes) counter = (counter << 8) | c;
    return counter;
}

TEST(PoImportAtSize, FiveThousandTranslationsAreOneCommitOfTheTable) {
    constexpr int kRows = 5000;  // more than one batch of appends (Connection::kBatchRows)
    TempDir dir, home;
    std::filesystem::create_directories(dir.file("src"));
    store::ensure_templates(home.path());
    store::Session session;
    ProjectsTable data(session, dir.path());
    add_project(data.Projects, {"Demo", dir.file("src"), true, {}});
    require_project(data.Projects, "Demo");
    store::TableFolder folder{session, home.dir()};
    SilentReporter quiet;
    LanguageList languages;
    AddLanguage(folder, data.Projects, languages, "German", quiet);
    {
        store::Table pasfiles(session, home.path(), "Demo_pasfiles.db");
        pasfiles.open();
        pasfiles.append_record({0, store::kShowAll});
        pasfiles.append_record({0, "big.pas", dir.file("src/big.pas")});
        store::Table pascal(session, home.path(), "Demo_German_pascal.db");
        pascal.open();
        for (int i = 1; i <= kRows; ++i)
            pascal.append_record({0, "Text number " + std::to_string(i), "", 2});
        pascal.flush();
    }
    const std::string po = dir.file("de.po");
    ExportGerman(folder, po, CodePage(), quiet);
    PoCatalog catalog = read_po_file(po);
    ASSERT_EQ(catalog.entries.size(), static_cast<size_t>(kRows));
    for (auto& entry : catalog.entries) entry.msgstr = "DE " + entry.msgid;
    write_po_file(po, catalog);

    const std::string pascal_file = home.file("Demo_German_pascal.db");
    const std::string forms_file = home.file("Demo_German_forms.db");
    const std::uint32_t pascal_before = commits_of(pascal_file);
    const std::uint32_t forms_before = commits_of(forms_file);
    PoImportResult result = ImportGerman(folder, po, CodePage(), quiet);
    EXPECT_EQ(result.updated, kRows);
    EXPECT_EQ(commits_of(pascal_file) - pascal_before, 1u);
    EXPECT_LE(commits_of(forms_file) - forms_before, 1u);

    store::Table pascal(session, home.path(), "Demo_German_pascal.db");
    pascal.open();
    ASSERT_TRUE(pascal.find_key({std::int64_t{kRows}}));
    EXPECT_EQ(pascal.text("TranslateString"), "DE Text number 5000");
    EXPECT_TRUE(pascal.logical("Translated"));
}

}  // namespace
}  // namespace lexorin::project
