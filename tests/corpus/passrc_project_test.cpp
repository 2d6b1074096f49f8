// fcl-passrc, Free Pascal's own Pascal parser, with its fpcunit test units as one project: some
// 20,000 strings, more than one unit of resource strings can hold, so that lexorin-cli writes
// them as constants. The project is scanned, partly translated through a PO file and written by
// lexorin-cli, then built by fpc with a console runner of its tests: with the original strings
// the suite must give exactly the results it gives on the untouched sources, with the
// translations it must compile, link and run; restore-code must give every unit back.
//
// The stages run once per process, in order, on first use; their figures are printed as they end.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>

#include "cli/cli_fixture.h"
#include "corpus/fpcunit_runner.h"
#include "corpus/free_pascal.h"
#include "corpus/glue_switches.h"
#include "corpus/line_ends.h"
#include "corpus/mechanical_translation.h"
#include "corpus/stopwatch.h"
#include "support/golden_file.h"
#include "support/test_support.h"

namespace lexorin::corpus {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

constexpr const char* kPackage = "fcl-passrc";
// A unit of Free Pascal 3.2.2 links at most some 13,000 resource strings; beyond this many rows
// lexorin-cli declares the strings as constants.
constexpr int kMostResourceStrings = 10000;
// Every seventh string is translated: enough to change what the parser tests feed in and
// expect, and to leave untranslated rows beside translated ones.
constexpr int kTranslateEvery = 7;
constexpr const char* kTranslationPrefix = "DE ";
constexpr size_t kShownLines = 20;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Tally(const FpcUnitTally& tally) {
    if (!tally.built) return "the runner did not compile";
    if (!tally.ran) return "the runner printed no tally";
    return std::to_string(tally.tests) + " tests, " + std::to_string(tally.errors) + " errors, " +
           std::to_string(tally.failures) + " failures (built in " + Seconds(tally.build_seconds) +
           ", run in " + Seconds(tally.run_seconds) + ")";
}

// The compiler's errors of a build that failed, else the run's last lines.
std::string Evidence(const FpcUnitTally& tally) {
    if (!tally.built) {
        std::string errors;
        for (const auto& message : ErrorMessages(tally.output)) errors += message.text + "\n";
        return errors.empty() ? tally.output : errors;
    }
    const size_t tail = tally.output.size() > 2000 ? tally.output.size() - 2000 : 0;
    return tally.output.substr(tail);
}

// The outcomes that only one of two runs has, at most kShownLines of each.
std::string OutcomeDifferences(const std::vector<std::string>& before,
                               const std::vector<std::string>& after) {
    const std::set<std::string> in_before(before.begin(), before.end());
    const std::set<std::string> in_after(after.begin(), after.end());
    std::string text;
    auto list = [&](const char* title, const std::set<std::string>& from,
                    const std::set<std::string>& other) {
        size_t shown = 0;
        for (const auto& outcome : from) {
            if (other.count(outcome)) continue;
            if (shown++ == 0) text += title;
            if (shown <= kShownLines) text += "  " + outcome + "\n";
        }
        if (shown > kShownLines)
            text += "  ... and " + std::to_string(shown - kShownLines) + " more\n";
    };
    list("only on the original sources:\n", in_before, in_after);
    list("only on the rewritten sources:\n", in_after, in_before);
    return text.empty() ? "the same outcomes in another order\n" : text;
}

// The project, its untouched copy and what each stage found.
class PassrcRun {
  public:
    static const PassrcRun& Get() {
        static PassrcRun run;
        return run;
    }

    std::string error;  // why a stage could not be carried out
    FreePascal fpc;
    std::vector<std::string> units;  // the project's sources, relative to it
    std::vector<std::string> test_units;
    FpcUnitTally original, rewritten, translated;
    int rows = 0;
    MechanicalTranslation po;
    std::string import_report;
    std::string strings_org, strings_tra;  // their first line
    CommandResult restore;
    std::vector<std::string> mismatches;  // files not given back as they were

  private:
    PassrcRun() {
        try {
            Prepare();
            Write();
            BuildRewritten();
            BuildTranslated();
            Restore();
        } catch (const std::exception& failure) {
            error = failure.what();
        }
    }

    std::string Project() const { return work_.file("passrc"); }
    std::string Original() const { return work_.file("original"); }
    std::string Options() const { return work_.file("fpc-options.cfg"); }
    std::string Runner() const { return work_.file("runner/passrc_runner.pas"); }

    CommandResult Cli(const std::string& args) {
        return lexorin::testing::run_cli_or_throw(work_, args);
    }

    // The package's sources and test units as the project's src and tests folders, as they
    // are; the runner lies outside the project, so that the scan leaves it alone.
    void Prepare() {
        fpc = FindFreePascal();
        const fs::path package = fs::path(fpc.source_root) / "packages" / kPackage;
        fs::create_directories(Project());
        for (const char* folder : {"src", "tests"}) {
            if (!fs::is_directory(package / folder))
                throw std::runtime_error("missing library source folder " +
                                         (package / folder).string());
            fs::copy(package / folder, fs::path(Project()) / folder, fs::copy_options::recursive);
        }
        fs::copy(Project(), Original(), fs::copy_options::recursive);
        for (const auto& entry : fs::recursive_directory_iterator(Project()))
            if (entry.is_regular_file())
                units.push_back(fs::path(entry.path()).lexically_relative(Project()).string());
        std::sort(units.begin(), units.end());

        // fpc must compile the copies: no precompiled unit of theirs may be on its path.
        const std::vector<std::string> installed = InstalledUnitFolders(fpc, {kPackage});
        const std::set<std::string> precompiled = PrecompiledUnitNames(installed);
        for (const auto& unit : units)
            if (precompiled.count(Lower(fs::path(unit).stem().string())))
                throw std::runtime_error("a precompiled unit " + unit +
                                         " is on the unit path beside its copy");
        // The project folder itself too: lx_lang.pas and the files it includes, once written.
        WriteOptionFile(Options(), installed,
                        {Project() + "/src", Project() + "/tests", Project()});
        test_units = TestUnitNames(Project() + "/tests");
        WriteTestRunner(test_units, Runner());

        original = BuildAndRunTests(Options(), {}, Runner(), work_.file("build-original"));
        std::cout << "[passrc] Free Pascal " << fpc.version << " (" << fpc.target << "), "
                  << kPackage << ": " << units.size() << " files, " << test_units.size()
                  << " test units\n"
                  << "[passrc] tests on the original sources: " << Tally(original) << "\n"
                  << std::flush;
    }

    void Write() {
        fs::create_directories(work_.file("home"));
        Cli("project add Passrc passrc");
        // The package names most of its units .pp.
        Cli("project set Passrc \"Source extensions\" \"*.pas;*.pp\"");
        Cli("language add Passrc German");
        const Stopwatch scan_watch;
        Cli("--yes scan-code Passrc German");
        const double scan_seconds = scan_watch.seconds();
        const std::string strings = Cli("strings Passrc German").out;
        rows = static_cast<int>(std::count(strings.begin(), strings.end(), '\n'));

        const Stopwatch translate_watch;
        Cli("export-po Passrc German exported.po");
        po = TranslateMechanically(read_test_file(work_.file("exported.po")), kTranslationPrefix,
                                   kTranslateEvery);
        write_test_file(work_.file("translated.po"), po.po);
        import_report = Cli("import-po Passrc German translated.po").err;
        const double translate_seconds = translate_watch.seconds();

        const Stopwatch write_watch;
        Cli("write-code Passrc German");
        const double write_seconds = write_watch.seconds();
        strings_org = lexorin::testing::first_line_of(Project() + "/strings.org");
        strings_tra = lexorin::testing::first_line_of(Project() + "/strings.tra");
        std::cout << "[passrc] scan-code: " << rows << " rows in " << Seconds(scan_seconds)
                  << "; export-po, " << po.translated << " of " << po.entries
                  << " translated, import-po: " << Seconds(translate_seconds)
                  << "; write-code: " << Seconds(write_seconds) << "\n"
                  << std::flush;
    }

    void BuildRewritten() {
        rewritten = BuildAndRunTests(Options(), {}, Runner(), work_.file("build-rewritten"));
        std::cout << "[passrc] tests on the rewritten sources, original strings: "
                  << Tally(rewritten) << "\n"
                  << std::flush;
    }

    void BuildTranslated() {
        TurnOnGlueSwitch(Project(), "TranslatedStrings");
        translated = BuildAndRunTests(Options(), {}, Runner(), work_.file("build-translated"));
        std::cout << "[passrc] tests on the rewritten sources, translated strings: "
                  << Tally(translated) << "\n"
                  << std::flush;
    }

    void Restore() {
        const Stopwatch watch;
        restore = lexorin::testing::run_cli(work_, "restore-code Passrc German");
        if (restore.status != 0) return;
        // The units come back as they were but for their line ends; include files are never
        // touched.
        for (const auto& file : units) {
            const std::string original = read_test_file(Original() + "/" + file);
            const std::string given_back = read_test_file(Project() + "/" + file);
            const std::string difference =
                fs::path(file).extension() == ".inc"
                    ? lexorin::testing::FirstDifference(original, given_back)
                    : GivenBackDifference(original, given_back);
            if (!difference.empty()) mismatches.push_back(file + ": " + difference + "\n");
        }
        std::cout << "[passrc] restore-code: " << units.size() - mismatches.size() << " of "
                  << units.size() << " files given back as they were in "
                  << Seconds(watch.seconds()) << "\n"
                  << std::flush;
    }

    TempDir work_;
};

TEST(PassrcProject, TheSuiteGivesTheOriginalResultsOnTheRewrittenSources) {
    const PassrcRun& run = PassrcRun::Get();
    ASSERT_TRUE(run.error.empty()) << run.error;

    ASSERT_TRUE(run.original.built) << Evidence(run.original);
    ASSERT_TRUE(run.original.ran) << Evidence(run.original);
    EXPECT_GT(run.original.tests, 1000);
    // Each test of the tally has its line in the result tree: the tree was read whole.
    EXPECT_EQ(run.original.outcomes.size(), static_cast<size_t>(run.original.tests));

    ASSERT_TRUE(run.rewritten.built) << "the tests do not compile against the rewritten sources:\n"
                                     << Evidence(run.rewritten);
    ASSERT_TRUE(run.rewritten.ran) << Evidence(run.rewritten);
    EXPECT_EQ(run.rewritten.tests, run.original.tests);
    EXPECT_EQ(run.rewritten.errors, run.original.errors);
    EXPECT_EQ(run.rewritten.failures, run.original.failures);
    EXPECT_TRUE(run.rewritten.outcomes == run.original.outcomes)
        << OutcomeDifferences(run.original.outcomes, run.rewritten.outcomes);
}

TEST(PassrcProject, WritesEveryRowAndTranslationAsConstants) {
    const PassrcRun& run = PassrcRun::Get();
    ASSERT_TRUE(run.error.empty()) << run.error;

    EXPECT_GT(run.rows, kMostResourceStrings);
    EXPECT_EQ(run.po.entries, run.rows);
    EXPECT_NE(run.import_report.find(std::to_string(run.po.translated) + " rows updated"),
              std::string::npos)
        << run.import_report;
    EXPECT_NE(run.import_report.find(" 0 entries not applied"), std::string::npos)
        << run.import_report;
    EXPECT_EQ(run.strings_org, "const");
    EXPECT_EQ(run.strings_tra,
              "\xEF\xBB\xBF"
              "const");  // UTF-8, with its byte order mark
}

TEST(PassrcProject, TheTranslatedBuildCompilesLinksAndRuns) {
    const PassrcRun& run = PassrcRun::Get();
    ASSERT_TRUE(run.error.empty()) << run.error;

    ASSERT_TRUE(run.translated.built) << "the tests do not compile with the translated strings:\n"
                                      << Evidence(run.translated);
    ASSERT_TRUE(run.translated.ran) << Evidence(run.translated);
    EXPECT_EQ(run.translated.tests, run.original.tests);
    EXPECT_EQ(run.translated.outcomes.size(), static_cast<size_t>(run.translated.tests));
    // The translated texts include Pascal sources that the tests parse and the messages they
    // expect, so the translations reach the program only if some outcomes change.
    EXPECT_FALSE(run.translated.outcomes == run.original.outcomes)
        << "the translated build gives the original results: it does not use strings.tra";
}

TEST(PassrcProject, RestoreGivesEveryUnitBack) {
    const PassrcRun& run = PassrcRun::Get();
    ASSERT_TRUE(run.error.empty()) << run.error;
    ASSERT_EQ(run.restore.status, 0)
        << "lexorin-cli restore-code Passrc German: " << run.restore.err;

    std::string shown;
    for (size_t i = 0; i < run.mismatches.size() && i < kShownLines; ++i)
        shown += run.mismatches[i];
    EXPECT_TRUE(run.mismatches.empty())
        << run.mismatches.size() << " files differ from their originals after restore-code:\n"
        << shown;
}

}  // namespace
}  // namespace lexorin::corpus
