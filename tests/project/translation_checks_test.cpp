#include <gtest/gtest.h>

#include <filesystem>

#include "project/format_placeholders.h"
#include "project/language_list.h"
#include "project/languages.h"
#include "project/projects_table.h"
#include "project/translation_checks.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::project;
using lexorin::testing::TempDir;

namespace {

std::vector<CheckKind> kinds(std::string_view original, std::string_view translation) {
    std::vector<CheckKind> found;
    for (const auto& f : CheckTranslation(original, translation)) found.push_back(f.kind);
    return found;
}

TEST(FormatPlaceholders, ParsesTheRunTimeLibrarysSyntax) {
    auto sig = ParseFormat("%d of %5.2f, %-10s %x %% %*d %p");
    ASSERT_TRUE(sig.valid);
    EXPECT_EQ(sig.placeholders,
              (std::vector<std::string>{"%d", "%5.2f", "%-10s", "%x", "%*d", "%p"}));
    EXPECT_EQ(sig.arguments.at(6), 'p');
    // %*d takes an integer width and then the number; %0:s goes back to the first argument,
    // read as text where %d read a number: Format would fail.
    EXPECT_FALSE(ParseFormat("%d %0:s").valid);
    EXPECT_EQ(ParseFormat("%1:s %s").arguments, (std::map<int, char>{{1, 's'}, {2, 's'}}));
    EXPECT_EQ(sig.arguments.at(4), 'i');
    EXPECT_EQ(sig.arguments.at(5), 'i');

    for (const char* bad : {"100%", "50% done", "%z", "%5", "%-"}) {
        auto s = ParseFormat(bad);
        EXPECT_FALSE(s.valid) << bad;
        EXPECT_TRUE(s.has_percent);
    }
    EXPECT_EQ(ParseFormat("50% done").bad_placeholder, "% ");
    EXPECT_TRUE(ParseFormat("100%%").valid);
    EXPECT_TRUE(ParseFormat("100%%").arguments.empty());
    EXPECT_FALSE(ParseFormat("plain").has_percent);
}

TEST(TranslationChecks, AFaithfulTranslationHasNoFindings) {
    EXPECT_TRUE(kinds("&Open %s", "Ö&ffnen %s").empty());
    EXPECT_TRUE(kinds("%d%% done", "%d%% erledigt").empty());
    EXPECT_TRUE(kinds("%s of %s", "%1:s von %0:s").empty());  // reordered by index
    EXPECT_TRUE(kinds("%d items", "%u Dinge").empty());       // both integers
    EXPECT_TRUE(kinds("Fish && Chips", "Fisch && Pommes").empty());
    EXPECT_TRUE(kinds("  Name: ", "  Name: ").empty());
    EXPECT_TRUE(kinds("Line1'#13#10'Line2", "Zeile1'#13#10'Zeile2").empty());
    // An original with a malformed "%" is plain text and cannot be given to Format.
    EXPECT_TRUE(kinds("100% sure", "100 % sicher").empty());
}

TEST(TranslationChecks, EachKindOfDifferenceIsFound) {
    EXPECT_EQ(kinds("%d items", "%s Dinge"), (std::vector<CheckKind>{CheckKind::Placeholders}));
    EXPECT_EQ(kinds("%s of %s", "%s von"), (std::vector<CheckKind>{CheckKind::Placeholders}));
    EXPECT_EQ(kinds("%d%% done", "%d% erledigt"),
              (std::vector<CheckKind>{CheckKind::Placeholders}));
    EXPECT_EQ(kinds("Rate", "Rate %d"), (std::vector<CheckKind>{CheckKind::Placeholders}));
    EXPECT_EQ(kinds("&Open", "Oeffnen"), (std::vector<CheckKind>{CheckKind::Accelerators}));
    EXPECT_EQ(kinds("&File", "&Da&tei"), (std::vector<CheckKind>{CheckKind::Accelerators}));
    EXPECT_EQ(kinds("  Name", "Name"), (std::vector<CheckKind>{CheckKind::LeadingBlanks}));
    EXPECT_EQ(kinds("Name:\t", "Name:"), (std::vector<CheckKind>{CheckKind::TrailingBlanks}));
    EXPECT_EQ(kinds("A'#13#10'B", "A B"), (std::vector<CheckKind>{CheckKind::LineBreaks}));
    EXPECT_EQ(kinds("A\r\nB", "A B"), (std::vector<CheckKind>{CheckKind::LineBreaks}));

    auto detail = CheckTranslation("%d items", "%s Dinge").at(0).detail;
    EXPECT_EQ(detail, "the original has %d, the translation %s");
    EXPECT_EQ(CheckTranslation("  x", "x").at(0).detail, "2 in the original, 0 in the translation");
    auto malformed = CheckTranslation("%d%%", "%d%").at(0).detail;
    EXPECT_NE(malformed.find("malformed \"%\""), std::string::npos) << malformed;
}

TEST(TranslationChecks, CountsAcceleratorsAndLineBreaks) {
    EXPECT_EQ(count_accelerators("&a &&b &c"), 2);
    EXPECT_EQ(count_accelerators("&&"), 0);
    EXPECT_EQ(count_line_breaks("a#13#10b#13c#10d\re\nf\r\ng"), 6);
    EXPECT_EQ(count_line_breaks("#130 #1310"), 0);  // other character codes
}

class CheckLanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("src"));
        store::ensure_templates(home.path());
        add_project(data.Projects, {"Demo", dir.file("src"), true, {}});
        require_project(data.Projects, "Demo");
        LanguageList list;
        SilentReporter quiet;
        AddLanguage(folder, data.Projects, list, "German", quiet);
    }
    TempDir dir;
    TempDir home;
    store::Session session;
    project::ProjectsTable data{session, dir.path()};
    store::TableFolder folder{session, home.dir()};
};

TEST_F(CheckLanguageTest, ChecksTranslatedRowsOnlyWithTheirTrailingBlanks) {
    {
        store::Table pascal(session, home.path(), "Demo_German_pascal.db");
        pascal.open();
        pascal.append_record({0, "%d files", "%s Dateien", 2, true});              // 1: found
        pascal.append_record({0, "%d files", "", 2});                              // 2: empty
        pascal.append_record({0, "%d files", "%s", 2, false, true});               // 3: ignored
        pascal.append_record({0, "Name:", "Name:", 2, true, false, "", 1, 1, 2});  // 4: blanks
        store::Table forms(session, home.path(), "Demo_German_forms.db");
        forms.open();
        forms.append_record({0, "&OK", "OK", 1, true, false, "Form1.Button1", "Caption"});
    }
    SilentReporter quiet;
    store::PascalRows pascal(folder, "Demo", "German");
    store::FormRows forms(folder, "Demo", "German");
    auto problems = CheckLanguage(pascal, forms, quiet);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].table, store::TableKind::Pascal);
    EXPECT_EQ(problems[0].index, 1);
    EXPECT_EQ(problems[0].finding.kind, CheckKind::Placeholders);
    EXPECT_EQ(problems[1].table, store::TableKind::Forms);
    EXPECT_EQ(problems[1].index, 1);
    EXPECT_EQ(problems[1].finding.kind, CheckKind::Accelerators);
    EXPECT_STREQ(table_kind_label(problems[1].table), "forms");
}

}  // namespace

namespace {

TEST(CodeTranslationChecks, CodeStringsAreComparedAsTheTextsTheirLiteralsStandFor) {
    using lexorin::project::CheckCodeTranslation;
    using lexorin::project::CheckKind;
    // Stored as literal bodies: an apostrophe doubled, a line break as codes.
    EXPECT_TRUE(CheckCodeTranslation("Don''t", "Nicht''s").empty());
    EXPECT_TRUE(CheckCodeTranslation("Line'#13#10'two", "Zeile'#13#10'zwei").empty());
    // A translation an older version stored as typed is read as it stands: no finding, the
    // resource-string writer escapes it.
    EXPECT_TRUE(CheckCodeTranslation("Don''t", "L'homme").empty());
    auto breaks = CheckCodeTranslation("Line'#13#10'two", "Zeile zwei");
    ASSERT_EQ(breaks.size(), 1u);
    EXPECT_EQ(breaks[0].kind, CheckKind::LineBreaks);
    // Characters written as codes count as the characters: a leading blank or tab, an
    // ampersand that marks the keyboard shortcut.
    EXPECT_TRUE(CheckCodeTranslation("'#32'Name", " Name").empty());
    auto blanks = CheckCodeTranslation("'#9'Name", "Name");
    ASSERT_EQ(blanks.size(), 1u);
    EXPECT_EQ(blanks[0].kind, CheckKind::LeadingBlanks);
    EXPECT_TRUE(CheckCodeTranslation("'#38'Open", "&Offnen").empty());
}

}  // namespace
