// Whole projects through the core commands, as a user runs them one after the other: every
// folder data/projects/<case>/ that holds a src/ is one case. Its src/ is copied into a scratch
// project, registered, given the language German, and then Scan -> Code (answered Yes), Write
// changes -> Code, Scan -> Forms and Write changes -> Forms run on it. Every file under the
// case's expected/ must then equal the project's file of the same relative path byte for byte
// (a mismatch leaves "<file>.actual" beside the expected file). A case's folder name is its
// test's name: letters, digits and underscores.
//
// A case may hold a settings.txt: lines "Field<TAB>value" set on the project's row before the
// commands run (a logical field as true or false), as `lexorin-cli project set` would.
//
// A case may hold a translations.txt: lines "original<TAB>translation" (the bytes as the tables
// store them), posted as the editor posts them to every code row after the code scan and to
// every form row after the form scan whose original is the same, so that "strings.tra" and
// the ".tra" forms show translated texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/command_frame.h"
#include "app/commands.h"
#include "app/program_setup.h"
#include "base/text_utils.h"
#include "editor/post_rules.h"
#include "project/projects_table.h"
#include "store/string_tables.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/golden_file_gtest.h"
#include "support/recording_reporter.h"
#include "support/test_support.h"

namespace lexorin {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::MatchesGoldenFile;
using lexorin::testing::read_test_file;
using lexorin::testing::RecordingReporter;
using lexorin::testing::TempDir;

constexpr const char* kCases = LEXORIN_TEST_DATA "/projects";
constexpr const char* kProject = "Golden";
constexpr const char* kLanguage = "German";

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kCases))
        if (fs::is_directory(entry.path() / "src")) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// The files under `root`, as paths relative to it, in a fixed order.
std::vector<std::string> FilesUnder(const fs::path& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && entry.path().extension() != ".actual")
            files.push_back(entry.path().lexically_relative(root).string());
    std::sort(files.begin(), files.end());
    return files;
}

// The lines "<key><TAB><value>" of a case's file (none when it has no such file).
std::vector<std::pair<std::string, std::string>> TabSeparated(const fs::path& file) {
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!fs::exists(file)) return pairs;
    for (const std::string& line : read_text_lines(read_test_file(file.string()))) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) pairs.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return pairs;
}

void ApplySettings(store::Table& projects, const fs::path& case_folder) {
    const auto settings = TabSeparated(case_folder / "settings.txt");
    if (settings.empty()) return;
    project::require_project(projects, kProject);
    projects.edit();
    for (const auto& [name, value] : settings) {
        ASSERT_TRUE(projects.has_field(name)) << "settings.txt names no field: " << name;
        for (const auto& field : projects.schema().fields) {
            if (!equal_no_case(field.name, name)) continue;
            if (field.type == store::FieldType::Logical)
                projects.set_logical(name, value == "true");
            else
                projects.set_text(name, value);
        }
    }
    projects.post();
}

// Original -> translation, from a case's translations.txt (none when it has no such file).
std::map<std::string, std::string> Translations(const fs::path& case_folder) {
    std::map<std::string, std::string> translations;
    for (auto& [original, translation] : TabSeparated(case_folder / "translations.txt"))
        translations[original] = translation;
    return translations;
}

// A scratch working directory holding Projects.DB, the program directory home/ and the
// project's sources in project/; the working directory is the scratch one while the test runs,
// since the commands open "Projects.DB" there.
class GoldenProject : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        previous_directory_ = fs::current_path();
        case_folder_ = fs::path(kCases) / GetParam();
        fs::create_directories(work_.file("home"));
        prepare_program_directory(home(), LEXORIN_SOURCE_DIR "/code/glue/");
        fs::copy(case_folder_ / "src", project_directory(), fs::copy_options::recursive);
        fs::current_path(work_.path());
        store::Session session;
        project::ProjectsTable data(session);
        project::add_project(data.Projects, {kProject, project_directory(), true, {}});
        ApplySettings(data.Projects, case_folder_);
    }
    void TearDown() override { fs::current_path(previous_directory_); }

    std::string home() const { return work_.dir() + "home/"; }
    std::string project_directory() const { return work_.file("project"); }

    // Opens the project as a command line does, with German selected once it has it, and runs
    // one command on it.
    template <typename Command>
    void Run(Command command) {
        store::Session session;
        auto project = commands::OpenProject(session, home(), kProject);
        if (!project->languages().items.empty()) project->select_language(kLanguage);
        command(*project);
        std::string errors;
        for (const auto& error : reporter_.errors) errors += error + "\n";
        EXPECT_EQ(errors, "");
        reporter_.errors.clear();
    }

    // Posts the case's translations to every row of `strings` whose original has one.
    void Translate(store::TranslationTable& strings) {
        store::Table& table = strings.table();
        for (table.first(); !table.eof(); table.next()) {
            const auto found = translations_.find(table.text(store::field::OriginalString));
            if (found == translations_.end()) continue;
            editor::PostTranslation(table, found->second, strings.kind());
            used_.insert(found->first);
        }
        table.flush();
    }

    fs::path case_folder_;
    TempDir work_;
    fs::path previous_directory_;
    RecordingReporter reporter_{true};
    std::map<std::string, std::string> translations_;
    std::set<std::string> used_;  // originals whose translation found a row
};

TEST(GoldenProjects, TheCasesAreThere) {
    // A wrong data path must not pass as "no cases, nothing failed".
    EXPECT_GE(CaseNames().size(), 3u);
}

TEST_P(GoldenProject, CommandsWriteTheExpectedFiles) {
    translations_ = Translations(case_folder_);
    ASSERT_NO_FATAL_FAILURE(Run([&](commands::OpenedProject& project) {
        EXPECT_TRUE(commands::AddLanguage(project.handles(), kLanguage, reporter_));
    }));
    ASSERT_NO_FATAL_FAILURE(Run([&](commands::OpenedProject& project) {
        const auto scan = commands::ScanCode(project.handles(), {}, reporter_);
        ASSERT_TRUE(scan);
        EXPECT_TRUE(scan->scanned);
        EXPECT_TRUE(scan->report.skipped.empty()) << scan->report.skipped.front().first;
        if (translations_.empty()) return;
        store::LanguageTables tables = commands::OpenLanguageTables(project.handles());
        Translate(tables.pascal);
    }));
    ASSERT_NO_FATAL_FAILURE(Run([&](commands::OpenedProject& project) {
        EXPECT_TRUE(commands::WriteCode(project.handles(), reporter_));
    }));
    ASSERT_NO_FATAL_FAILURE(Run([&](commands::OpenedProject& project) {
        const auto scan = commands::ScanForms(project.handles(), reporter_);
        ASSERT_TRUE(scan);
        EXPECT_TRUE(scan->skipped.empty())
            << scan->skipped.front().first << ": " << scan->skipped.front().second;
        if (translations_.empty()) return;
        store::LanguageTables tables = commands::OpenLanguageTables(project.handles());
        Translate(tables.forms);
    }));
    ASSERT_NO_FATAL_FAILURE(Run([&](commands::OpenedProject& project) {
        const auto written = commands::WriteForms(project.handles(), reporter_);
        ASSERT_TRUE(written);
        EXPECT_TRUE(written->failed.empty())
            << written->failed.front().first << ": " << written->failed.front().second;
    }));
    // A translation that matched no row is a case that no longer tests what it says.
    for (const auto& [original, translation] : translations_)
        EXPECT_TRUE(used_.count(original)) << "no row holds the original " << original;

    const fs::path expected = case_folder_ / "expected";
    const std::vector<std::string> files = FilesUnder(expected);
    ASSERT_FALSE(files.empty()) << "no files under " << expected;
    for (const auto& file : files) {
        const fs::path written = fs::path(project_directory()) / file;
        if (!fs::exists(written)) {
            ADD_FAILURE() << "the commands wrote no " << file;
            continue;
        }
        EXPECT_TRUE(
            MatchesGoldenFile(read_test_file(written.string()), (expected / file).string()));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenProject, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
}  // namespace lexorin
