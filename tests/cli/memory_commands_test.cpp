// The translation memory from the command line: fed by translate and import-po, used by
// pretranslate in another project, exchanged as TMX.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "store/table_store.h"
#include "store/translation_fields.h"
#include "store/translation_memory.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

struct RowFlags {
    std::string translation;
    bool translated;
    bool needs_review;
};

// Two projects with German, their code rows appended as a scan would make them: Demo's
// translated by hand, Other's strings the same or a little different.
class MemoryCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(work.file("home"));
        add_project("Demo", {"Open the file", "Close", "Don''t save", "Nothing alike here"});
        add_project("Other", {"Open the file", "Close all", "Don''t save", "Open the files",
                              "Brand new text", "Close"});
    }
    void add_project(const std::string& name, const std::vector<std::string>& originals) {
        write_test_file(work.file(name + "/a.pas"), "unit a;\r\nend.\r\n");
        ASSERT_EQ(cli("project add " + name + " " + name).status, 0);
        ASSERT_EQ(cli("language add " + name + " German").status, 0);
        store::Session session;
        store::Table pascal(session, home(""), name + "_German_pascal.db");
        pascal.open();
        for (const auto& original : originals) pascal.append_record({0, original, "", 1});
    }
    CommandResult cli(const std::string& args) { return lexorin::testing::run_cli(work, args); }
    std::string home(const std::string& name) { return work.file("home/" + name); }
    RowFlags row(const std::string& project, std::int64_t index) {
        store::Session session;
        store::Table pascal(session, home(""), project + "_German_pascal.db");
        pascal.open();
        EXPECT_TRUE(pascal.find_key({index}));
        return {pascal.text(store::field::TranslateString),
                pascal.logical(store::field::Translated),
                pascal.logical(store::field::NeedsReview)};
    }

    TempDir work;
};

TEST_F(MemoryCommandsTest, ASecondProjectIsPretranslatedFromTheFirstsTranslations) {
    ASSERT_EQ(cli("translate Demo German 1 \"Die Datei \xF6"
                  "ffnen\"")
                  .status,
              0);
    ASSERT_EQ(cli("translate Demo German 2 Schlie\xDF"
                  "en")
                  .status,
              0);
    ASSERT_EQ(cli("translate Demo German 3 \"Nicht speichern, d'accord\"").status, 0);
    {
        store::TranslationMemory memory(home(""));
        EXPECT_EQ(memory.Count(), 3);
        // The memory keeps the text a code row's literal stands for, in UTF-8.
        auto saved = memory.Find("German", "Don't save");
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->translation, "Nicht speichern, d'accord");
        EXPECT_EQ(saved->project, "Demo");
    }

    const CommandResult r = cli("pretranslate Other German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("3 rows translated from exact matches, 1 filled from fuzzy matches for "
                         "review, 2 without a match."),
              std::string::npos)
        << r.err;
    // Exact matches are translations; the code row gets its literal body back.
    EXPECT_EQ(row("Other", 1).translation,
              "Die Datei \xF6"
              "ffnen");
    EXPECT_TRUE(row("Other", 1).translated);
    EXPECT_FALSE(row("Other", 1).needs_review);
    EXPECT_EQ(row("Other", 3).translation, "Nicht speichern, d''accord");
    EXPECT_TRUE(row("Other", 6).translated);
    // "Open the files" is 92% like "Open the file": a suggestion to review, not a translation.
    EXPECT_EQ(row("Other", 4).translation,
              "Die Datei \xF6"
              "ffnen");
    EXPECT_FALSE(row("Other", 4).translated);
    EXPECT_TRUE(row("Other", 4).needs_review);
    // "Close all" is 55% like "Close": under the default 75.
    EXPECT_EQ(row("Other", 2).translation, "");
    EXPECT_EQ(row("Other", 5).translation, "");

    // The translator's post is the review.
    ASSERT_EQ(cli("translate Other German 4 \"Die Dateien \xF6"
                  "ffnen\"")
                  .status,
              0);
    EXPECT_TRUE(row("Other", 4).translated);
    EXPECT_FALSE(row("Other", 4).needs_review);
    // A lower threshold reaches "Close all"; rows already filled stay as they are.
    const CommandResult low = cli("pretranslate Other German --min-similarity 50");
    ASSERT_EQ(low.status, 0) << low.err;
    EXPECT_NE(low.err.find("0 rows translated from exact matches, 1 filled"), std::string::npos)
        << low.err;
    EXPECT_EQ(row("Other", 2).translation,
              "Schlie\xDF"
              "en");
    EXPECT_TRUE(row("Other", 2).needs_review);
    EXPECT_EQ(cli("pretranslate Other German --min-similarity 0").status, 2);
    EXPECT_EQ(cli("pretranslate Other German --min-similarity x").status, 2);
}

TEST_F(MemoryCommandsTest, APoImportFeedsTheMemoryWithItsTranslatedEntries) {
    ASSERT_EQ(cli("export-po Demo German de.po").status, 0);
    std::string po = read_test_file(work.file("de.po"));
    auto translate = [&](const std::string& msgid, const std::string& msgstr, bool fuzzy) {
        const std::string entry = "msgid \"" + msgid + "\"\nmsgstr \"\"";
        const size_t at = po.find(entry);
        ASSERT_NE(at, std::string::npos) << msgid;
        po.replace(at, entry.size(), "msgid \"" + msgid + "\"\nmsgstr \"" + msgstr + "\"");
        // The flag goes before the entry's msgctxt.
        if (fuzzy) po.insert(po.rfind("msgctxt", at), "#, fuzzy\n");
    };
    translate("Open the file", "Datei öffnen", false);
    translate("Close", "Schließen", true);  // fuzzy: no translation yet
    write_test_file(work.file("de.po"), po);
    const CommandResult r = cli("import-po Demo German de.po");
    ASSERT_EQ(r.status, 0) << r.err;
    store::TranslationMemory memory(home(""));
    EXPECT_EQ(memory.Count(), 1);
    ASSERT_TRUE(memory.Find("German", "Open the file"));
    EXPECT_EQ(memory.Find("German", "Open the file")->translation,
              "Datei \xC3\xB6"
              "ffnen");
    EXPECT_FALSE(memory.Find("German", "Close"));
}

TEST_F(MemoryCommandsTest, TmxFilesCarryTheMemoryBetweenProgramDirectories) {
    ASSERT_EQ(cli("translate Demo German 1 \"Die Datei \xF6"
                  "ffnen\"")
                  .status,
              0);
    ASSERT_EQ(cli("tm export all.tmx").status, 0);
    ASSERT_EQ(cli("tm export de.tmx German").status, 0);
    EXPECT_NE(read_test_file(work.file("de.tmx"))
                  .find("<tuv xml:lang=\"de\"><seg>Die Datei "
                        "\xC3\xB6"
                        "ffnen</seg></tuv>"),
              std::string::npos);
    // Another program directory starts empty and takes the file.
    std::filesystem::remove(home(store::kTranslationMemoryFile));
    CommandResult r = cli("tm import all.tmx");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("1 entry imported from all.tmx."), std::string::npos) << r.err;
    ASSERT_EQ(cli("pretranslate Other German").status, 0);
    EXPECT_TRUE(row("Other", 1).translated);

    // A malformed file is refused, naming the line, and adds nothing.
    write_test_file(work.file("bad.tmx"),
                    "<tmx version=\"1.4\"><header srclang=\"en\"/><body>\n<tu><tuv xml:lang=\"en\">"
                    "<seg>Close</seg></tuv><tuv xml:lang=\"de\"><seg>Zu</seg></tu>\n</body></tmx>");
    r = cli("tm import bad.tmx");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("error: The TMX file bad.tmx, line 2: </tu> closes <tuv>"),
              std::string::npos)
        << r.err;
    store::TranslationMemory memory(home(""));
    EXPECT_EQ(memory.Count(), 1);
}

TEST_F(MemoryCommandsTest, AnUnusableMemoryStopsTheCommandBeforeAnyRowChanges) {
    write_test_file(home(store::kTranslationMemoryFile), std::string(4096, 'x'));
    CommandResult r = cli("translate Demo German 1 Offen");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The translation memory " + home(store::kTranslationMemoryFile) +
                         " cannot be used"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(row("Demo", 1).translation, "");
    EXPECT_EQ(cli("pretranslate Demo German").status, 1);
    EXPECT_EQ(cli("tm export x.tmx").status, 1);
    EXPECT_FALSE(std::filesystem::exists(work.file("x.tmx")));
    EXPECT_EQ(read_test_file(home(store::kTranslationMemoryFile)), std::string(4096, 'x'));
}

}  // namespace
