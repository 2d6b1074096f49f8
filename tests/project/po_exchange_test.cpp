#include <gtest/gtest.h>

#include <filesystem>

#include "base/code_page.h"
#include "base/errors.h"
#include "project/language_list.h"
#include "project/languages.h"
#include "project/po_exchange.h"
#include "project/po_file.h"
#include "project/projects_table.h"
#include "support/po_demo_exchange.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::project;
using lexorin::testing::ExportGerman;
using lexorin::testing::ImportGerman;
using lexorin::testing::read_test_file;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

TEST(CodePage, Windows1252MapsEveryByteBothWays) {
    CodePage cp;
    EXPECT_EQ(cp.name(), "Windows-1252");
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(cp.from_utf8(cp.to_utf8(all)), all);
    EXPECT_EQ(cp.to_utf8("\x80\xE4"), "\u20AC\u00E4");
    EXPECT_EQ(cp.from_utf8("\u201Equote\u201C"), "\x84quote\x93");
    try {
        cp.from_utf8("Zło");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "The character U+0142 cannot be written in the code page Windows-1252.");
    }
    EXPECT_THROW(cp.from_utf8("\xE4"), Error);          // Latin-1, not UTF-8
    EXPECT_THROW(cp.from_utf8("\xC0\xAF"), Error);      // overlong
    EXPECT_THROW(cp.from_utf8("\xED\xA0\x80"), Error);  // surrogate
    EXPECT_NO_THROW(CodePage("cp1252"));
}

TEST(CodePage, OtherPagesGoThroughIconv) {
    CodePage cyrillic("CP1251");
    EXPECT_EQ(cyrillic.from_utf8("\u041F\u0440\u0438"), "\xCF\xF0\xE8");
    EXPECT_EQ(cyrillic.to_utf8("\xCF\xF0\xE8"), "\u041F\u0440\u0438");
    EXPECT_THROW(cyrillic.from_utf8("\u00E4"), Error);
    EXPECT_THROW(cyrillic.to_utf8("\x98"), Error);  // a byte CP1251 leaves undefined
    EXPECT_THROW(CodePage("no-such-page"), Error);
}

class PoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("src"));
        store::ensure_templates(home.path());
        add_project(data.Projects, {"Demo", dir.file("src"), true, {}});
        require_project(data.Projects, "Demo");
        LanguageList list;
        SilentReporter quiet;
        AddLanguage(folder, data.Projects, list, "German", quiet);
        store::Table pasfiles(session, home.path(), "Demo_pasfiles.db");
        pasfiles.open();
        pasfiles.append_record({0, store::kShowAll});
        pasfiles.append_record({0, "greet.pas", dir.file("src/greet.pas")});
        store::Table units(session, home.path(), "Demo_units.db");
        units.open();
        units.append_record({0, "main.dfm", dir.file("src/main.dfm")});

        store::Table pascal(session, home.path(), "Demo_German_pascal.db");
        pascal.open();
        // Index, original, translation, unit, translated, ignore, context, new line, ...
        pascal.append_record(
            {0, "Hello,", "Hallo,", 2, true, false, "begin\r  s := 'Hello, ';\rend;\r", 12, 10, 1});
        pascal.append_record({0,
                              "Gr\xFC\xDF"
                              "e \x80 \"q\" back\\slash\ttab",
                              "Gr\xFC\xDF"
                              "e",
                              2, false, false, "", 13, 11, 0});  // fuzzy
        pascal.append_record({0, "untranslated", "", 2});
        pascal.append_record({0, "TFormMain", "", 2, false, true});  // ignored
        pascal.append_record({0, "", "", 2});                        // no original
        store::Table forms(session, home.path(), "Demo_German_forms.db");
        forms.open();
        forms.append_record(
            {0, "&Open", "\xD6&ffnen", 1, true, false, "MainForm.Button1", "Caption"});
        forms.append_record(
            {0, "Line1'#13#10'Line2", "", 1, false, false, "MainForm.Memo1", "Lines.Strings[0]"});
    }
    // Index -> translation, Translated, Ignore of a table, as text.
    std::vector<std::string> rows(const std::string& file) {
        store::Table t(session, home.path(), file);
        t.open();
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next())
            out.push_back(t.text("Index") + "|" + t.text("OriginalString") + "|" +
                          t.text("TranslateString") + "|" + t.text("Translated") + "|" +
                          t.text("Ignore"));
        return out;
    }
    std::vector<std::string> all_rows() {
        auto p = rows("Demo_German_pascal.db");
        auto f = rows("Demo_German_forms.db");
        p.insert(p.end(), f.begin(), f.end());
        return p;
    }
    void clear_translations() {
        for (const char* file : {"Demo_German_pascal.db", "Demo_German_forms.db"}) {
            store::Table t(session, home.path(), file);
            t.open();
            for (t.first(); !t.eof(); t.next()) {
                t.edit();
                t.set_text("TranslateString", "");
                t.set_logical("Translated", false);
                t.set_logical("Ignore", false);
                t.post();
            }
        }
    }
    PoImportResult import(const std::string& path) {
        return ImportGerman(folder, path, CodePage(), quiet);
    }

    TempDir dir;
    TempDir home;
    store::Session session;
    ProjectsTable data{session, dir.path()};
    store::TableFolder folder{session, home.dir()};
    SilentReporter quiet;
};

TEST_F(PoTest, ExportIsAcceptedByMsgfmtAndCarriesContextsFlagsAndComments) {
    std::string po = dir.file("de.po");
    auto result = ExportGerman(folder, po, CodePage(), quiet);
    EXPECT_EQ(result.entries, 6);
    EXPECT_EQ(result.translated, 3);
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_EQ(result.notes[0], "code 5: left out, its original is empty");

    auto check = run_command("msgfmt --check -o /dev/null '" + po + "'");
    EXPECT_EQ(check.status, 0) << check.err;

    auto catalog = read_po_file(po);
    ASSERT_EQ(catalog.entries.size(), 6u);
    const PoEntry& hello = catalog.entries[0];
    EXPECT_EQ(hello.context, "code 1 greet.pas:12");
    EXPECT_EQ(hello.msgid, "Hello, ");  // the trailing blank put back
    EXPECT_EQ(hello.msgstr, "Hallo, ");
    EXPECT_FALSE(hello.fuzzy);
    EXPECT_EQ(hello.extracted, "begin\n  s := 'Hello, ';\nend;\n");
    const PoEntry& fuzzy = catalog.entries[1];
    EXPECT_EQ(fuzzy.msgid, "Gr\u00FC\u00DFe \u20AC \"q\" back\\slash\ttab");
    EXPECT_TRUE(fuzzy.fuzzy);
    EXPECT_EQ(catalog.entries[3].comments, "lexorin-ignore\n");
    EXPECT_EQ(catalog.entries[4].context, "forms 1 main.dfm MainForm.Button1 Caption");
    EXPECT_EQ(catalog.entries[4].msgstr, "\u00D6&ffnen");
    EXPECT_EQ(po_header_field(catalog.header, "X-Lexorin-Language"), "German");
    EXPECT_EQ(po_header_field(catalog.header, "Language"), "de");
    EXPECT_EQ(po_header_field(catalog.header, "Content-Type"), "text/plain; charset=UTF-8");
}

TEST_F(PoTest, ExportThenImportKeepsEveryTranslationAndFlag) {
    auto before = all_rows();
    std::string po = dir.file("de.po");
    ExportGerman(folder, po, CodePage(), quiet);
    clear_translations();
    ASSERT_NE(all_rows(), before);
    auto result = import(po);
    EXPECT_EQ(all_rows(), before);
    EXPECT_EQ(result.updated, 4);  // three translations and the ignore mark
    EXPECT_TRUE(result.not_applied.empty());
    // A second import finds nothing to do.
    result = import(po);
    EXPECT_EQ(result.updated, 0);
    EXPECT_EQ(result.unchanged, 6);
    EXPECT_EQ(result.message, "0 rows updated, 6 unchanged, 0 entries not applied.");
}

TEST_F(PoTest, ControlCharactersInATranslationAreRefusedWithTheEntryNamed) {
    std::string po = dir.file("de.po");
    ExportGerman(folder, po, CodePage(), quiet);
    auto catalog = read_po_file(po);
    catalog.entries[2].msgstr = "Klingel\a";
    catalog.entries[3].msgstr = "Spalte\tzwei";  // a tab is text like any other
    write_po_file(po, catalog);
    auto result = import(po);
    ASSERT_EQ(result.not_applied.size(), 1u);
    EXPECT_NE(result.not_applied[0].find(catalog.entries[2].context + ": the translation holds "
                                                                      "the control character #7"),
              std::string::npos)
        << result.not_applied[0];
}

TEST_F(PoTest, ATranslationOfAnEntryMarkedIgnoredIsNotStored) {
    // An ignored row holds no text for people (here a class name); a translator's tool that
    // translates every entry must not bring a translation into the program through it.
    std::string po = dir.file("de.po");
    ExportGerman(folder, po, CodePage(), quiet);
    auto catalog = read_po_file(po);
    ASSERT_EQ(catalog.entries[3].comments, "lexorin-ignore\n");
    catalog.entries[3].msgstr = "TFormularHaupt";
    write_po_file(po, catalog);
    auto result = import(po);
    EXPECT_EQ(result.updated, 0);
    EXPECT_EQ(result.ignored_translations, 1);
    EXPECT_EQ(result.message,
              "0 rows updated, 6 unchanged, 0 entries not applied. 1 translation of an ignored "
              "row left out.");
    EXPECT_EQ(rows("Demo_German_pascal.db")[3], "4|TFormMain||Falsch|Wahr");
}

TEST_F(PoTest, ATranslatorsEditsComeInAndStaleEntriesAreReported) {
    std::string po = dir.file("de.po");
    ExportGerman(folder, po, CodePage(), quiet);
    auto catalog = read_po_file(po);
    catalog.entries[1].fuzzy = false;                    // reviewed
    catalog.entries[2].msgstr = "nicht \u00FCbersetzt";  // newly translated
    catalog.entries[3].comments.clear();                 // no longer ignored
    PoEntry stale = catalog.entries[0];
    stale.context = "code 99 greet.pas:1";
    catalog.entries.push_back(stale);
    PoEntry foreign;
    foreign.msgid = "Some other tool's string";
    foreign.msgstr = "x";
    catalog.entries.push_back(foreign);
    catalog.entries[5].msgstr = "Zeile1\nZeile2";
    write_po_file(po, catalog);
    // An original changed by a later scan.
    {
        store::Table pascal(session, home.path(), "Demo_German_pascal.db");
        pascal.open();
        pascal.find_key({1});
        pascal.edit();
        pascal.set_text("OriginalString", "Hello there,");
        pascal.post();
    }

    auto result = import(po);
    // What the file alone shows comes first, then what the tables show.
    ASSERT_EQ(result.not_applied.size(), 4u);
    EXPECT_EQ(result.not_applied[0].rfind("forms 2 main.dfm MainForm.Memo1 Lines.Strings[0]: "
                                          "the translation holds a line break",
                                          0),
              0u);
    EXPECT_EQ(result.not_applied[1],
              "an entry: not an entry written by Lexorin (its msgctxt "
              "names no kind and Index)");
    EXPECT_EQ(result.not_applied[2],
              "code 1 greet.pas:12: the original has changed since the export");
    EXPECT_EQ(result.not_applied[3], "code 99 greet.pas:1: the table has no such row");
    auto pascal = rows("Demo_German_pascal.db");
    EXPECT_EQ(pascal[0], "1|Hello there,|Hallo,|Wahr|Falsch");
    EXPECT_EQ(pascal[1],
              "2|Gr\xFC\xDF"
              "e \x80 \"q\" back\\slash\ttab|Gr\xFC\xDF"
              "e|Wahr|Falsch");
    EXPECT_EQ(pascal[2],
              "3|untranslated|nicht \xFC"
              "bersetzt|Wahr|Falsch");
    EXPECT_EQ(pascal[3], "4|TFormMain||Falsch|Falsch");
    EXPECT_EQ(rows("Demo_German_forms.db")[1], "2|Line1'#13#10'Line2||Falsch|Falsch");
}

// A code row keeps the literal's body (Don''t, Stop'#13#10'now); translators read and type the
// text itself, in this file as in the editor.
class PoCodeTextTest : public PoTest {
  protected:
    void SetUp() override {
        PoTest::SetUp();
        store::Table pascal(session, home.path(), "Demo_German_pascal.db");
        pascal.open();
        pascal.append_record({0, "Don''t'#13#10'stop", "", 2, false, false, "", 15, 15, 0});  // 6
    }
    static PoEntry& entry_of(PoCatalog& catalog, const std::string& context_start) {
        for (auto& entry : catalog.entries)
            if (entry.context.rfind(context_start, 0) == 0) return entry;
        throw Error("no entry " + context_start);
    }
    std::string stored_translation(int index) {
        store::Table pascal(session, home.path(), "Demo_German_pascal.db");
        pascal.open();
        return pascal.find_key({index}) ? pascal.text("TranslateString") : "?";
    }
};

TEST_F(PoCodeTextTest, TextsTypedAsTheyReadAreStoredAsLiteralBodies) {
    std::string po = dir.file("de.po");
    ExportGerman(folder, po, CodePage(), quiet);
    PoCatalog catalog = read_po_file(po);
    EXPECT_EQ(po_header_field(catalog.header, kCodeTextField), "natural");
    EXPECT_EQ(entry_of(catalog, "code 6 ").msgid, "Don't\r\nstop");
    // The translator types an apostrophe and a line break as they are.
    entry_of(catalog, "code 6 ").msgstr = "Geh's\nnicht";
    entry_of(catalog, "code 3 ").msgstr = "it''s two";  // two apostrophes meant as two
    write_po_file(po, catalog);
    auto check = run_command("msgfmt --check -o /dev/null '" + po + "'");
    EXPECT_EQ(check.status, 0) << check.err;

    auto result = import(po);
    EXPECT_TRUE(result.not_applied.empty()) << result.not_applied.front();
    EXPECT_EQ(result.updated, 2);
    EXPECT_EQ(stored_translation(6), "Geh''s'#10'nicht");
    EXPECT_EQ(stored_translation(3), "it''''s two");

    // Written out again, the file holds what the translator typed; read in, it changes nothing.
    ExportGerman(folder, po, CodePage(), quiet);
    catalog = read_po_file(po);
    EXPECT_EQ(entry_of(catalog, "code 6 ").msgstr, "Geh's\nnicht");
    EXPECT_EQ(entry_of(catalog, "code 3 ").msgstr, "it''s two");
    result = import(po);
    EXPECT_EQ(result.updated, 0);
    EXPECT_EQ(stored_translation(6), "Geh''s'#10'nicht");
}

TEST_F(PoCodeTextTest, AFileOfAnEarlierVersionStillMatchesItsRowsAndLosesNothing) {
    // An earlier version wrote the bodies as they are stored and no code-text field; its
    // translators doubled their apostrophes, or forgot to.
    std::string po = dir.file("de.po");
    ExportGerman(folder, po, CodePage(), quiet);
    PoCatalog catalog = read_po_file(po);
    const std::string field = std::string(kCodeTextField) + ": natural\n";
    ASSERT_NE(catalog.header.find(field), std::string::npos);
    catalog.header.erase(catalog.header.find(field), field.size());
    entry_of(catalog, "code 6 ").msgid = "Don''t'#13#10'stop";
    entry_of(catalog, "code 6 ").msgstr = "Geh''s'#13#10'nicht";
    entry_of(catalog, "code 3 ").msgstr = "gell's";
    write_po_file(po, catalog);

    auto result = import(po);
    EXPECT_TRUE(result.not_applied.empty()) << result.not_applied.front();
    EXPECT_EQ(stored_translation(6), "Geh''s'#13#10'nicht");  // a body already: kept
    EXPECT_EQ(stored_translation(3), "gell''s");              // as typed: made a body
}

TEST_F(PoTest, BadFilesChangeNothing) {
    auto before = all_rows();
    std::string po = dir.file("de.po");
    ExportGerman(folder, po, CodePage(), quiet);
    std::string good = read_test_file(po);
    clear_translations();
    auto cleared = all_rows();

    auto expect_refused = [&](const std::string& text, const std::string& needle) {
        write_test_file(po, text);
        try {
            import(po);
            ADD_FAILURE() << "accepted: " << needle;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(needle), std::string::npos) << e.what();
        }
        EXPECT_EQ(all_rows(), cleared) << needle;
    };
    // A syntax error at the very end: every entry before it is fine.
    expect_refused(good + "\nmsgid \"unterminated\nmsgstr \"\"\n", "malformed");
    expect_refused(good + "\nmsgid garbage\n", "line ");
    // A character the code page lacks.
    std::string polish = good;
    polish.replace(polish.find("msgstr \"\"\n\n"), 10, "msgstr \"Z\u0142o\"\n\n");
    expect_refused(polish, "U+0142");
    // Not UTF-8, or another language.
    std::string latin1 = good;
    latin1.replace(latin1.find("charset=UTF-8"), 13, "charset=ISO-8859-1");
    expect_refused(latin1, "not in UTF-8");
    std::string french = good;
    french.replace(french.find("X-Lexorin-Language: German"), 26, "X-Lexorin-Language: French");
    expect_refused(french, "French");
    expect_refused(std::string("\xFF\xFE") + good, "");  // bytes before the first keyword

    std::filesystem::remove(po);
    EXPECT_THROW(import(po), Error);
    std::filesystem::create_directories(po);
    EXPECT_THROW(import(po), Error);
    EXPECT_EQ(all_rows(), cleared);
    (void)before;
}

TEST_F(PoTest, AnExportThatCannotBeConvertedWritesNothing) {
    std::string po = dir.file("ru.po");
    write_test_file(po, "old");
    // Windows-1252 text read as CP1251: 0x98 has no character there.
    {
        store::Table pascal(session, home.path(), "Demo_German_pascal.db");
        pascal.open();
        pascal.append_record({0, "tilde \x98", "", 2});
    }
    EXPECT_THROW(ExportGerman(folder, po, CodePage("CP1251"), quiet), Error);
    EXPECT_EQ(read_test_file(po), "old");
    EXPECT_THROW(ExportGerman(folder, dir.file("missing/de.po"), CodePage(), quiet), Error);
}

}  // namespace
