#include "project/tmx_exchange.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "project/language_codes.h"
#include "project/tmx_file.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::project;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

std::vector<store::MemoryEntry> all_entries(store::TranslationMemory& memory) {
    std::vector<store::MemoryEntry> out;
    memory.ForEach(std::nullopt, [&](const store::MemoryEntry& e) { out.push_back(e); });
    return out;
}

bool same(const store::MemoryEntry& a, const store::MemoryEntry& b) {
    return a.language == b.language && a.original == b.original && a.translation == b.translation &&
           a.project == b.project && a.changed == b.changed;
}

TEST(LanguageCodes, MapCommonNamesBothWaysAndKnowNoOthers) {
    EXPECT_EQ(LanguageCode("German"), "de");
    EXPECT_EQ(LanguageCode(" french "), "fr");
    EXPECT_EQ(LanguageCode("Klingon"), "");
    EXPECT_EQ(LanguageForCode("de"), "German");
    EXPECT_EQ(LanguageForCode("DE-at"), "German");
    EXPECT_EQ(LanguageForCode("pt_BR"), "Portuguese");
    EXPECT_EQ(LanguageForCode("tlh"), "");
}

class TmxTest : public ::testing::Test {
  protected:
    TempDir dir;
    TempDir other;
};

// Texts with every character XML treats specially, line breaks and control characters come back
// exactly, with their language, project and date.
TEST_F(TmxTest, ExportedEntriesComeBackExactly) {
    const std::vector<store::MemoryEntry> entries = {
        {"German", "Save & close <now>",
         "Speichern & schlie\xC3\x9F"
         "en <jetzt>",
         "Demo", "20240101T120000Z"},
        {"German", "Line one\r\nline two\ttab", "Zeile eins\r\nZeile zwei\ttab", "Demo",
         "20240102T120000Z"},
        {"French", "Say \"hi\" it's 'me'", "Dis \"salut\"", "Other", "20240103T120000Z"},
        {"Klingon", "Yes", "HIja'", "Other", "20240104T120000Z"},
        {"Portuguese (Brazil)", "Bell\x07", "Sino\x07", "Other", "20240105T120000Z"},
    };
    store::TranslationMemory memory(dir.path());
    memory.Record(entries);
    const std::string file = dir.file("all.tmx");
    EXPECT_EQ(ExportTmx(memory, file, std::nullopt).entries, 5);
    const std::string text = read_test_file(file);
    EXPECT_NE(text.find("<tmx version=\"1.4\">"), std::string::npos);
    EXPECT_NE(text.find("srclang=\"en\""), std::string::npos);
    EXPECT_NE(text.find("<tuv xml:lang=\"de\"><seg>Speichern &amp; schlie\xC3\x9F"
                        "en &lt;jetzt&gt;</seg></tuv>"),
              std::string::npos);
    EXPECT_NE(text.find("<tuv xml:lang=\"Klingon\">"), std::string::npos);
    EXPECT_NE(text.find("Line one&#13;\nline two"), std::string::npos);

    store::TranslationMemory copy(other.path());
    const TmxImportResult result = ImportTmx(copy, file);
    EXPECT_EQ(result.entries, 5);
    EXPECT_TRUE(result.left_out.empty());
    const auto back = all_entries(copy);
    const auto before = all_entries(memory);
    ASSERT_EQ(back.size(), before.size());
    for (size_t i = 0; i < back.size(); ++i)
        EXPECT_TRUE(same(back[i], before[i])) << back[i].original << " / " << back[i].language;

    // One language only.
    EXPECT_EQ(ExportTmx(memory, dir.file("de.tmx"), std::string("german")).entries, 2);
    EXPECT_EQ(read_test_file(dir.file("de.tmx")).find("Klingon"), std::string::npos);
}

TEST_F(TmxTest, AHandWrittenFileIsRead) {
    store::TranslationMemory memory(dir.path());
    const std::string file = LEXORIN_TEST_DATA "/tmx/handwritten.tmx";
    const TmxImportResult result = ImportTmx(memory, file);
    EXPECT_EQ(result.entries, 4);
    ASSERT_EQ(result.left_out.size(), 1u);
    EXPECT_NE(result.left_out[0].find("unit 4"), std::string::npos);
    EXPECT_NE(result.left_out[0].find("<ph>"), std::string::npos);
    EXPECT_EQ(result.message, "4 entries imported from " + file + ", 1 unit left out.");

    auto saved = memory.Find("German", "Save & close");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->translation,
              "Speichern & schlie\xC3\x9F"
              "en");
    EXPECT_EQ(saved->project, "handwritten.tmx");
    EXPECT_EQ(saved->changed, "20230105T101500Z");
    EXPECT_EQ(memory.Find("French", "Save & close")->translation, "Enregistrer & fermer");
    // The source need not come first; changedate wins over creationdate.
    auto empty = memory.Find("German", "<No value> \xE2\x80\x94 \"empty\"");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->translation, "<Kein Wert> \xE2\x80\x94 \"leer\"");
    EXPECT_EQ(empty->project, "Billing");
    EXPECT_EQ(empty->changed, "20230201T080000Z");
    // A CR given as a reference stays; an unknown code is kept as the language's name.
    EXPECT_EQ(memory.Find("tlh", "Line one\r\nline two")->translation, "wa' cha'");
    EXPECT_FALSE(memory.Find("German", "Press OK"));
}

// Each bad file is refused with its line, and the memory keeps what it had.
TEST_F(TmxTest, MalformedFilesChangeNothing) {
    store::TranslationMemory memory(dir.path());
    memory.Record({"German", "Keep", "Behalten", "Demo", "20240101T000000Z"});
    const std::string good_unit =
        "<tu><tuv xml:lang=\"en\"><seg>New</seg></tuv><tuv xml:lang=\"de\"><seg>Neu</seg></tuv>"
        "</tu>\n";
    auto file = [&](const std::string& body) {
        return "<?xml version=\"1.0\"?>\n<tmx version=\"1.4\">\n<header "
               "srclang=\"en\"/>\n<body>\n" +
               good_unit + body + "</body>\n</tmx>\n";
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {file("<tu><tuv xml:lang=\"en\"><seg>Open</tuv></tu>\n"),
         "line 6: </tuv> closes <seg>, opened on line 6"},
        {file("<tu><tuv xml:lang=\"en\"><seg><![CDATA[x]]></seg></tuv></tu>\n"),
         "line 6: CDATA sections are not supported"},
        {file("<tu><tuv xml:lang=\"en\"><seg>&nbsp;</seg></tuv></tu>\n"),
         "line 6: the entity &nbsp; is not one of XML's own"},
        {file("<tu><tuv xml:lang=\"en\"><seg>A & B</seg></tuv></tu>\n"),
         "line 6: a '&' that starts no entity"},
        {file("<tu><tuv><seg>x</seg></tuv></tu>\n"), "line 6: a <tuv> without its xml:lang"},
        {file("<tu><tuv xml:lang=\"en\"></tuv></tu>\n"), "line 6: a <tuv> without its <seg>"},
        {file("<tu><tuv xml:lang=\"en\"><seg>x</seg></tuv>\n"),
         "line 7: </body> closes <tu>, opened on line 6"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><tmx/>",
         "line 1: the file is encoded in ISO-8859-1"},
        {"<tmx version=\"1.4\"><header/><body><tu><tuv xml:lang=\"en\"><seg>Caf\xE9</seg>",
         "line 1: the text is not UTF-8"},
        {"<xliff/>", "the root element is <xliff>, not <tmx>"},
        {"<tmx version=\"1.4\"><body/></tmx>", "the <tmx> has no <header>"},
        {"", "no root element"},
        {file("") + "trailing", "text after the root element"},
    };
    for (const auto& [text, why] : cases) {
        const std::string path = dir.file("bad.tmx");
        write_test_file(path, text);
        try {
            ImportTmx(memory, path);
            ADD_FAILURE() << "read: " << why;
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("The TMX file " + path + ", line ", 0), 0u) << message;
            EXPECT_NE(message.find(why), std::string::npos) << message;
        }
        EXPECT_EQ(memory.Count(), 1);
        EXPECT_FALSE(memory.Find("German", "New"));
    }
    EXPECT_THROW(ImportTmx(memory, dir.file("missing.tmx")), Error);
}

}  // namespace
