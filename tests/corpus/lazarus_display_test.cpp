// The proof that a localised Lazarus program shows its translation. Example programs of the
// Lazarus sources are localised by lexorin-cli alone as the Lazarus examples test does it, then
// built with the gtk2 widgetset and run on a virtual display with a unit of the test's own added
// to the program file: once the forms exist it prints every published string of every form and
// component, and ends the program. Three builds of each: the program untouched, lexorin's
// sources with the switches off (the same texts as untouched) and with both switches on (each
// text whose form row is translated in German, every other one as before), the expectation read
// row by row from the PO file lexorin-cli exports after the import.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include "cli/cli_fixture.h"
#include "corpus/displayed_translation.h"
#include "corpus/form_text_dump.h"
#include "corpus/glue_switches.h"
#include "corpus/lazarus_localisation.h"
#include "corpus/lazarus_programs.h"
#include "corpus/po_entries.h"
#include "corpus/stopwatch.h"
#include "support/test_support.h"

namespace lexorin::corpus {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::read_test_file;
using lexorin::testing::run_cli_or_throw;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;

// Examples that start, show their forms and print them on a virtual display within seconds.
// Left out: easter, whose translated year field ("DE \xc3\x84rger 2017") is no number, so that
// the program's StrToInt fails as it starts and a message box waits; cursors and dbeditmask,
// whose translated builds stop at an error in the same way: a resource name in the code
// ('car'), data field names and dates that the translation turned into other texts.
const std::vector<std::string>& DisplayedPrograms() {
    static const std::vector<std::string> programs = {
        "bidi",          "canvas_test", "codepageconverter", "controlhint", "customhint",
        "dragimagelist", "helphtml",    "listview",          "mousebuttons"};
    return programs;
}

constexpr size_t kLeastPrograms = 5;
constexpr int kRunSeconds = 60;

// The texts of the program's form files, to name values that no form row took.
std::string FormFiles(const std::string& folder) {
    std::string text;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".lfm") text += read_test_file(entry.path().string());
    return text;
}

// The form files that their units link with a {$R} directive ({$R *.lfm}, {$R name.lfm}), as
// lexorin switches them to their translation; a form that a unit takes from elsewhere (an .lrs
// include) keeps its original texts.
std::set<std::string> LinkedForms(const std::string& folder) {
    std::set<std::string> linked;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".lfm") continue;
        const fs::path form = entry.path();
        for (const char* unit_extension : {".pas", ".pp"}) {
            const fs::path unit = fs::path(form).replace_extension(unit_extension);
            if (!fs::exists(unit)) continue;
            std::string text = read_test_file(unit.string());
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            std::string name = form.filename().string();
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (text.find("{$r *.lfm}") != std::string::npos ||
                text.find("{$r " + name + "}") != std::string::npos)
                linked.insert(form.filename().string());
        }
    }
    return linked;
}

// The forms a run printed: the first part of each key.
std::set<std::string> Forms(const FormTexts& texts) {
    std::set<std::string> forms;
    for (const auto& [key, value] : texts) forms.insert(key.substr(0, key.find('.')));
    return forms;
}

// Keys whose values differ between two runs, or that one of them lacks.
std::vector<std::string> Differences(const FormTexts& expected, const FormTexts& shown) {
    std::vector<std::string> differences;
    for (const auto& [key, value] : expected) {
        const auto found = shown.find(key);
        if (found == shown.end())
            differences.push_back(key + "=" + value + " (missing)");
        else if (found->second != value)
            differences.push_back(key + "=" + value + " (shown \"" + found->second + "\")");
    }
    for (const auto& [key, value] : shown)
        if (!expected.count(key)) differences.push_back(key + "=" + value + " (new)");
    return differences;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += "  " + line + "\n";
    return text;
}

// One build with the form text unit and its run; a failure names the stage.
struct Shown {
    Build build;
    FormTextRun run;
};

Shown BuildAndRun(const std::string& options, const std::string& folder, const std::string& main,
                  const std::string& home, const std::string& stage) {
    Shown shown;
    shown.build = BuildProgram(options, folder, main, true);
    if (!shown.build.linked) {
        ADD_FAILURE() << stage << ": the build fails\n" << Tail(shown.build.output);
        return shown;
    }
    shown.run = RunWithFormTextDump(shown.build.executable, folder, home, kRunSeconds);
    fs::remove_all(folder + "/out");
    EXPECT_TRUE(shown.run.printed)
        << stage << ": the program printed no forms (exit status " << shown.run.status << ")\n"
        << Tail(shown.run.log);
    return shown;
}

TEST(LazarusDisplay, TranslatedProgramsShowTheGermanTextsOfTheirFormRowsAndNothingElseChanges) {
    const Lazarus lazarus = FindLazarus();
    ASSERT_TRUE(lazarus.HasWidgetset("gtk2"))
        << "the gtk2 LCL units are not installed (package lcl-gtk2-2.2)";
    ASSERT_EQ(run_command("command -v xvfb-run").status, 0)
        << "xvfb-run is not installed (package xvfb)";
    const std::string gtk2 = lazarus.FpcOptions("gtk2");
    TempDir work;
    fs::create_directories(work.file("home"));
    // The programs' HOME, so that nothing they write there stays behind.
    const std::string home = work.file("run-home");

    size_t shown_in_german = 0;
    int changed = 0;
    for (const std::string& name : DisplayedPrograms()) {
        SCOPED_TRACE(name);
        const std::string example = lazarus.examples + "/" + name;
        const std::string main = MainFile(example);
        ASSERT_FALSE(main.empty()) << example << " has no single program file";
        std::ostringstream report;
        report << name << " (" << main << ")\n";

        // The program untouched, with the form text unit alone.
        const std::string untouched = work.file("untouched/" + name);
        fs::create_directories(fs::path(untouched).parent_path());
        fs::copy(example, untouched, fs::copy_options::recursive);
        AddFormTextDump(untouched, main);
        const Shown before = BuildAndRun(gtk2, untouched, main, home, "untouched");
        if (!before.run.printed) continue;

        // Localised by lexorin-cli; the rows as they stand after the import.
        const std::string folder = work.file(name);
        fs::copy(example, folder, fs::copy_options::recursive);
        std::vector<PoEntry> rows;
        try {
            const Localisation done = LocaliseWithCli(work, name);
            const std::string po = work.file(name + "-imported.po");
            run_cli_or_throw(work, "export-po " + done.project + " German '" + po + "'");
            rows = ReadPoEntries(read_test_file(po));
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            continue;
        }
        AddFormTextDump(folder, main);
        const Shown original = BuildAndRun(gtk2, folder, main, home, "original");
        TurnOnGlueSwitch(folder, "TranslatedStrings");
        TurnOnGlueSwitch(folder, "TranslatedForm");
        const Shown translated = BuildAndRun(gtk2, folder, main, home, "translated");
        if (!original.run.printed || !translated.run.printed) continue;

        const std::vector<std::string> differences =
            Differences(before.run.texts, original.run.texts);
        EXPECT_TRUE(differences.empty())
            << "the original build shows other texts than the untouched program:\n"
            << Lines(differences);
        const DisplayCheck check =
            CheckDisplayedTranslation(original.run.texts, translated.run.texts, rows,
                                      LinkedForms(untouched), FormFiles(untouched));
        EXPECT_TRUE(check.mismatches.empty())
            << "the translated build shows other texts than its rows say:\n"
            << Lines(check.mismatches);
        EXPECT_GT(check.german, 0) << "no text is shown in German";

        int form_rows = 0;
        for (const PoEntry& row : rows) form_rows += row.context.rfind("forms ", 0) == 0;
        report << "  forms:";
        for (const auto& form : Forms(original.run.texts)) report << " " << form;
        int without_row = 0;
        std::string without_row_properties;
        for (const auto& [property, count] : check.without_row) {
            without_row += count;
            without_row_properties += " " + property + " " + std::to_string(count);
        }
        report << "\n  " << check.printed << " string properties printed, " << check.german
               << " of them in German (of " << form_rows
               << " form rows)\n  unchanged: " << check.ignored << " of ignored rows, "
               << check.untranslated << " of untranslated rows, " << without_row
               << " without a row:" << without_row_properties << "\n  " << check.from_code
               << " set by the code from a translated string, " << check.inherited
               << " taken from a translated row of the form (a parent's font)\n";
        if (!check.set_at_run_time.empty())
            report << "  " << check.set_at_run_time.size()
                   << " rows whose value the program sets at run time (shown unchanged):\n"
                   << Lines(check.set_at_run_time);
        if (!check.left_out.empty())
            report << "  " << check.left_out.size()
                   << " values the form files hold that no row took (shown untranslated):\n"
                   << Lines(check.left_out);
        if (!check.in_notation.empty())
            report << "  " << check.in_notation.size()
                   << " translated rows whose original the form scanner keeps in the form "
                      "text's notation ('' or #code), shown untranslated:\n"
                   << Lines(check.in_notation);
        if (!check.not_linked.empty())
            report << "  " << check.not_linked.size()
                   << " translated rows of forms that the program links otherwise than by "
                      "{$R} (an .lrs include), which lexorin leaves untranslated:\n"
                   << Lines(check.not_linked);
        report << "  builds " << Seconds(before.build.seconds) << " untouched, "
               << Seconds(original.build.seconds) << " original, "
               << Seconds(translated.build.seconds) << " translated; runs "
               << Seconds(before.run.seconds) << ", " << Seconds(original.run.seconds) << ", "
               << Seconds(translated.run.seconds) << "\n";
        std::cout << report.str() << std::flush;
        if (differences.empty() && check.mismatches.empty() && check.german > 0) ++shown_in_german;
        changed += check.german;
    }
    std::cout << shown_in_german << " of " << DisplayedPrograms().size()
              << " programs show their translation; " << changed << " texts in German\n";
    EXPECT_GE(shown_in_german, kLeastPrograms);
}

}  // namespace
}  // namespace lexorin::corpus
