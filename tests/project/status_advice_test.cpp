#include <gtest/gtest.h>

#include <filesystem>

#include "app/commands.h"
#include "base/errors.h"
#include "base/text_utils.h"
#include "project/language_list.h"
#include "project/languages.h"
#include "project/projects_table.h"
#include "project/status_advice.h"
#include "project/status_line.h"
#include "store/translation_tables.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::project;
using lexorin::testing::TempDir;

namespace {

using lexorin::testing::RecordingReporter;

const char* kDate = "01.02.2024";

class StatusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("src"));
        store::ensure_templates(home.path());
        add_project(data.Projects, {"Demo", dir.file("src"), true, {}});
        require_project(data.Projects, "Demo");
    }
    void add_language(const std::string& name) {
        AddLanguage(folder, data.Projects, languages, name, reporter);
    }
    store::Table table(const std::string& language, store::TableKind kind) {
        return store::Table(session, home.path(), store::table_file_name("Demo", language, kind));
    }
    void select(const std::string& language) {
        languages.fill(data.Projects.text(field::Languages));
        for (size_t i = 0; i < languages.items.size(); ++i)
            if (languages.items[i] == language) languages.selected = static_cast<int>(i);
    }
    // A scanned project: a unit and a form file listed, strings in both tables.
    void scan(const std::string& language) {
        auto pasfiles = table("", store::TableKind::PasFiles);
        pasfiles.open();
        if (pasfiles.record_count() == 0) pasfiles.append_record({0, store::kShowAll});
        pasfiles.append_record({0, "a.pas", dir.file("src/a.pas")});
        auto units = table("", store::TableKind::Units);
        units.open();
        units.append_record({0, "form1.dfm", dir.file("src/form1.dfm")});
        auto pascal = table(language, store::TableKind::Pascal);
        pascal.open();
        pascal.append_record({0, "untranslated", "", 2});
        pascal.append_record({0, "translated", "übersetzt", 2, true});
        pascal.append_record({0, "ignored, empty", "", 2, false, true});
        pascal.append_record({0, "flag only", "", 2, true});
        pascal.append_record({0, "text, no flag", "Text", 2, false});
        auto forms = table(language, store::TableKind::Forms);
        forms.open();
        forms.append_record({0, "Caption", "", 1, false, false, "Form1", "Caption"});
        forms.append_record({0, "OK", "OK", 1, true, false, "Form1.Button1", "Caption"});
    }

    TempDir dir;
    TempDir home;
    store::Session session;
    ProjectsTable data{session, dir.path()};
    store::TableFolder folder{session, home.dir()};
    LanguageList languages;
    RecordingReporter reporter;
};

TEST_F(StatusTest, ANewLanguageGetsZeroCountsAndTheScanAdvice) {
    add_language("German");
    select("German");
    auto advice =
        commands::WhatNow({data.Projects, folder, CodePage(), languages}, reporter, kDate);
    ASSERT_TRUE(advice);
    EXPECT_EQ(advice->summary,
              "Forms: 0 strings, 0 not translated. Code: 0 strings, 0 not translated.");
    EXPECT_EQ(advice->advice,
              "Suggestions:\r\rScan the forms.\rScan the code.\r\rIf you cannot compile your "
              "code, please choose \"Write changes - code\"");
    auto lines = SplitLines(data.Projects.text(field::Reserve));
    EXPECT_EQ(lines.back(), "Check German: " + advice->summary + " on " + kDate);
    EXPECT_EQ(reporter.statuses.front(), "Analyzing translation of language German");
    EXPECT_EQ(reporter.statuses.back(), "");
}

TEST_F(StatusTest, AfterScansTheCheckLinesAndTheFourStepsAreAdvised) {
    add_language("German");
    add_language("German (Swiss)");
    scan("German");
    // Another language whose check line holds "Check German" is listed too.
    select("German (Swiss)");
    ASSERT_TRUE(
        commands::WhatNow({data.Projects, folder, CodePage(), languages}, reporter, "31.01.2024"));
    select("German");
    auto advice =
        commands::WhatNow({data.Projects, folder, CodePage(), languages}, reporter, kDate);
    ASSERT_TRUE(advice);
    // Ignored and flagged rows are not untranslated; a translation without flag is translated.
    EXPECT_EQ(advice->counts.forms_rows, 2);
    EXPECT_EQ(advice->counts.forms_untranslated, 1);
    EXPECT_EQ(advice->counts.pascal_rows, 5);
    EXPECT_EQ(advice->counts.pascal_untranslated, 1);
    EXPECT_EQ(advice->advice,
              "Suggestions:\r"
              "\rGerman (Swiss): Forms: 0 strings, 0 not translated. Code: 0 strings, 0 not "
              "translated. on 31.01.2024"
              "\rGerman: Forms: 2 strings, 1 not translated. Code: 5 strings, 1 not translated. "
              "on 01.02.2024"
              "\rYou might want to check your translation."
              "\rAfter that, choose \"Write changes\" and compile your program."
              "\rBefore compiling, make sure that the files \"lx_lang.pas\" and \"lx_lang.inc\" "
              "are in your search path."
              "\rThe program uses the translation once the dot is removed from \"{.$define "
              "TranslatedStrings}\" (strings) and \"{.$define TranslatedForm}\" (forms) in "
              "\"lx_lang.inc\".");
}

TEST_F(StatusTest, TwoRunsLeaveOneCheckLineOfTheLanguageTheNewerAtTheEnd) {
    add_language("German");
    select("German");
    commands::WhatNow({data.Projects, folder, CodePage(), languages}, reporter, "01.01.2024");
    AddStatusLine(data.Projects, "Code scanned", "", "01.01.2024");
    commands::WhatNow({data.Projects, folder, CodePage(), languages}, reporter, kDate);
    auto lines = SplitLines(data.Projects.text(field::Reserve));
    int checks = 0;
    for (const auto& l : lines) checks += l.rfind("Check German: ", 0) == 0;
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(lines.back().substr(lines.back().size() - 10), kDate);
    EXPECT_EQ(lines[lines.size() - 2].rfind("Code scanned", 0), 0u);
}

TEST_F(StatusTest, ThePreconditionsStopTheCommand) {
    EXPECT_FALSE(
        commands::WhatNow({data.Projects, folder, CodePage(), languages}, reporter, kDate));
    EXPECT_EQ(reporter.errors, (std::vector<std::string>{"You have to add a language first."}));
    EXPECT_EQ(data.Projects.text(field::Reserve), "");

    // With languages but none selected the first one is taken.
    add_language("German");
    add_language("French");
    languages.fill(data.Projects.text(field::Languages));
    ASSERT_EQ(languages.selected, -1);
    auto advice =
        commands::WhatNow({data.Projects, folder, CodePage(), languages}, reporter, kDate);
    ASSERT_TRUE(advice);
    EXPECT_EQ(languages.selected_language(), "German");

    // A table deleted outside the program ends the command with the store's error.
    std::filesystem::remove(home.file("Demo_German_pascal.db"));
    EXPECT_THROW(commands::WhatNow({data.Projects, folder, CodePage(), languages}, reporter, kDate),
                 Error);
}

TEST(BuildAdvice, OnlyTheMissingScanIsNamedAndLongLinesAreCut) {
    EXPECT_EQ(BuildAdvice("", "German", true, false),
              "Suggestions:\r\rScan the code.\r\rIf you cannot compile your code, please choose "
              "\"Write changes - code\"");
    std::string long_line = "Check German: " + std::string(300, 'x');
    std::string advice = BuildAdvice("Code scanned on x\r\n" + long_line, "German", true, true);
    EXPECT_NE(advice.find("\r" + long_line.substr(6, 255) + "\r"), std::string::npos);
    EXPECT_EQ(advice.find("Code scanned"), std::string::npos);
}

}  // namespace
