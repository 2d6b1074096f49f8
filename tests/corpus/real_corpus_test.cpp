// The proof on real code: well over a hundred units of Free Pascal's own library, copied
// into a project, compiled, scanned and written by lexorin-cli, compiled again, tested with
// fcl-js's own fpcunit suite, and given back by restore-code.
//
// Every stage runs once per process and only when a test needs it; the stages that change the
// project run in a fixed order (compile check, fcl-js tests, then restore), whatever order the
// tests run in. The figures of each stage are printed as it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "cli/cli_fixture.h"
#include "corpus/corpus_sources.h"
#include "corpus/fpcunit_runner.h"
#include "corpus/free_pascal.h"
#include "corpus/line_ends.h"
#include "corpus/stopwatch.h"
#include "support/golden_file.h"
#include "support/test_support.h"

namespace lexorin::corpus {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;

constexpr unsigned kWorkers = 2;  // the machine's cores
constexpr size_t kMinimumUnits = 100;
constexpr size_t kMinimumPackages = 4;
constexpr size_t kShownErrors = 150;
constexpr size_t kShownMismatches = 25;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(WithCrLf(text));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The corpus project in a scratch working directory and what each stage found.
class CorpusRun {
  public:
    static CorpusRun& Get() {
        static CorpusRun run;
        return run;
    }

    // Copied, compiled once as it is, fcl-js's tests run on the copies.
    const CorpusRun& Prepared() {
        if (!prepared_) {
            prepared_ = true;
            Guard([this] { Prepare(); });
        }
        return *this;
    }
    // Scanned and written by lexorin-cli.
    const CorpusRun& Scanned() {
        Prepared();
        if (!scanned_ && error.empty()) {
            scanned_ = true;
            Guard([this] { Scan(); });
        }
        return *this;
    }
    // Compiled again and fcl-js's tests run on the rewritten units.
    const CorpusRun& CheckedAfterScan() {
        Scanned();
        if (!checked_ && error.empty()) {
            checked_ = true;
            Guard([this] { CheckAfterScan(); });
        }
        return *this;
    }
    // Every unit given back; comes last, as it undoes the rewriting the checks above judge.
    const CorpusRun& Restored() {
        CheckedAfterScan();
        if (!restored_ && error.empty()) {
            restored_ = true;
            Guard([this] { Restore(); });
        }
        return *this;
    }

    std::string error;  // why a stage could not be carried out
    FreePascal fpc;
    CopiedCorpus corpus;
    std::vector<std::string> compiled_before;
    std::vector<std::string> not_from_copy;  // compiled, but no .ppu of the copy was written
    std::map<std::string, CompileOutcome> after;
    std::map<std::string, CompileOutcome> alone;  // failed units compiled on their own
    FpcUnitTally js_before, js_after;
    int rows = 0;
    CommandResult restore;
    // Files not given back as they were, each named with where it first differs.
    std::vector<std::string> mismatches;

    std::string Project() const { return work_.file("corpus"); }
    std::string Relative(const std::string& path) const {
        return fs::path(path).lexically_relative(Project()).string();
    }
    // A path inside the project as relative to it, any other as it is.
    std::string Shown(const std::string& path) const {
        return path.rfind(Project() + "/", 0) == 0 ? Relative(path) : path;
    }
    std::string Original(const std::string& path) const {
        return work_.file("original/" + Relative(path));
    }
    // The lines of a unit as it stands now, read once.
    const std::vector<std::string>& LinesOf(const std::string& path) {
        auto found = lines_.find(path);
        if (found == lines_.end())
            found = lines_.emplace(path, SplitLines(read_test_file(path))).first;
        return found->second;
    }

  private:
    CorpusRun() = default;

    template <typename Stage>
    void Guard(Stage stage) {
        try {
            stage();
        } catch (const std::exception& failure) {
            error = failure.what();
        }
    }

    CommandResult Cli(const std::string& args) {
        return lexorin::testing::run_cli_or_throw(work_, args);
    }

    std::string Options() const { return work_.file("fpc-options.cfg"); }
    std::string TestsFolder() const { return work_.file("fcl-js-tests"); }

    void Prepare() {
        Stopwatch watch;
        fpc = FindFreePascal();
        corpus = CopyCorpus(fpc.source_root + "/packages", Project());
        fs::copy(Project(), work_.file("original"), fs::copy_options::recursive);

        std::set<std::string> packages;
        for (const auto& selection : CorpusPackages()) packages.insert(selection.package);
        installed_ = InstalledUnitFolders(fpc, packages);
        // fpc must compile the copies: no precompiled unit of a copied name may be on its path.
        const std::set<std::string> precompiled = PrecompiledUnitNames(installed_);
        for (const auto& unit : corpus.units) {
            const std::string name = Lower(fs::path(unit).stem().string());
            if (precompiled.count(name))
                throw std::runtime_error("a precompiled unit " + name +
                                         " is on the unit path beside its copy");
        }
        std::vector<std::string> sources = corpus.folders;
        sources.push_back(Project());  // lx_lang.pas and the files it includes, once written
        WriteOptionFile(Options(), installed_, sources);

        for (const auto& [unit, outcome] :
             CompileEach(Options(), work_.file("before"), ByPackage(corpus.units), kWorkers)) {
            if (!outcome.compiled) continue;
            compiled_before.push_back(unit);
            if (!HasUnitOutput(work_.file("before"), unit)) not_from_copy.push_back(unit);
        }
        const double compile_seconds = watch.seconds();

        js_before = BuildAndRunTests(
            Options(), {TestsFolder()},
            PrepareTestRunner(fpc.source_root + "/packages/fcl-js/tests", TestsFolder()),
            work_.file("fcl-js-before"));

        std::cout << "[corpus] Free Pascal " << fpc.version << " (" << fpc.target
                  << "), library sources in " << fpc.source_root << "\n"
                  << "[corpus] units in the corpus: " << corpus.units.size() << " ("
                  << PerPackage(corpus.units) << "), include files: " << corpus.include_files.size()
                  << ", test programs left out: " << corpus.programs_left_out.size() << "\n"
                  << "[corpus] units compiled before the scan: " << compiled_before.size() << " ("
                  << PerPackage(compiled_before) << ") in " << Seconds(compile_seconds) << "\n"
                  << "[corpus] fcl-js tests on the original units: " << Tally(js_before) << "\n"
                  << std::flush;
    }

    void Scan() {
        Stopwatch watch;
        fs::create_directories(work_.file("home"));
        Cli("project add Corpus corpus");
        Cli("language add Corpus German");
        // Some literals go where the compiler wants a PChar or an untyped constant, which no
        // scanner can see: the project's build command judges, and the scan gives those back.
        // The build compiles one program that uses every unit that compiled before; it lies
        // outside the project so that it is not scanned itself, and is not linked (-Cn): the
        // database units would need client libraries that are not installed.
        const std::string program = work_.file("corpus_all.pas");
        std::string uses;
        for (const auto& unit : compiled_before)
            uses += (uses.empty() ? "" : ", ") + fs::path(unit).stem().string();
        lexorin::testing::write_test_file(program,
                                          "program corpus_all;\nuses " + uses + ";\nbegin\nend.\n");
        const std::string build = work_.file("verify-build");
        fs::create_directories(build);
        Cli("project set Corpus Cbuildcommand \"fpc -n -Cn @" + Options() + " -FU" + build +
            " -FE" + build + " " + program + "\"");
        const CommandResult scan = Cli("--yes scan-code Corpus German --verify");
        Cli("write-code Corpus German");
        const std::string strings = Cli("strings Corpus German").out;
        rows = static_cast<int>(std::count(strings.begin(), strings.end(), '\n'));

        std::cout << "[corpus] rows found by the scan: " << rows << " (scan and write in "
                  << Seconds(watch.seconds()) << ")\n[corpus] scan report:\n";
        // Without a terminal the scan names each unit as "k/n path": those lines are left out.
        static const std::regex progress(R"(^\d+/\d+ )");
        std::istringstream report(scan.err);
        for (std::string line; std::getline(report, line);)
            if (!std::regex_search(line, progress)) std::cout << "[corpus]   " << line << "\n";
        std::cout << std::flush;
    }

    void CheckAfterScan() {
        Stopwatch watch;
        after = CompileEach(Options(), work_.file("after"), ByPackage(compiled_before), kWorkers);
        size_t compiled = 0;
        std::vector<std::string> failed;
        for (const auto& [unit, outcome] : after) {
            compiled += outcome.compiled;
            if (!outcome.compiled) failed.push_back(unit);
        }
        const double compile_seconds = watch.seconds();
        js_after =
            BuildAndRunTests(Options(), {TestsFolder()}, TestsFolder() + "/corpus_runner.pas",
                             work_.file("fcl-js-after"));
        std::cout << "[corpus] units compiled after the scan: " << compiled << " of "
                  << compiled_before.size() << " in " << Seconds(compile_seconds) << "\n"
                  << "[corpus] fcl-js tests on the rewritten units: " << Tally(js_after) << "\n"
                  << std::flush;
        if (failed.empty()) return;
        Stopwatch alone_watch;
        CompileAlone(failed);
        size_t compiled_alone = 0;
        for (const auto& [unit, outcome] : alone) compiled_alone += outcome.compiled;
        std::cout << "[corpus] failed units that compile on their own: " << compiled_alone << " of "
                  << failed.size() << " in " << Seconds(alone_watch.seconds()) << "\n"
                  << std::flush;
    }

    // A unit that uses a broken unit fails with it, which hides its own faults. Each failed
    // unit is compiled once more on its own: its rewritten text alone in a folder (fpc looks in
    // the main file's folder first), every other unit taken from the original sources.
    void CompileAlone(const std::vector<std::string>& units) {
        const std::string options = work_.file("fpc-options-alone.cfg");
        std::vector<std::string> sources;
        for (const auto& folder : corpus.folders) sources.push_back(Original(folder));
        sources.push_back(Project());  // lx_lang
        WriteOptionFile(options, installed_, sources);

        std::map<std::string, std::string> unit_of;  // the copy alone -> the unit
        std::map<std::string, std::vector<std::string>> packages;
        for (size_t i = 0; i < units.size(); ++i) {
            const fs::path folder = work_.file("alone/" + std::to_string(i));
            fs::create_directories(folder);
            const std::string copy = (folder / fs::path(units[i]).filename()).string();
            fs::copy_file(units[i], copy);
            unit_of[copy] = units[i];
            packages[corpus.package_of.at(units[i])].push_back(copy);
        }
        std::vector<std::vector<std::string>> groups;
        for (auto& [package, copies] : packages) groups.push_back(std::move(copies));
        // The unit just compiled must not stand in for its original in the next compile.
        for (auto& [copy, outcome] :
             CompileEach(options, work_.file("alone-units"), groups, kWorkers, MainUnit::Removed)) {
            const std::string& unit = unit_of.at(copy);
            outcome.output = ReplaceAll(outcome.output, copy, unit);
            alone[unit] = std::move(outcome);
        }
    }

    static std::string ReplaceAll(std::string text, const std::string& from,
                                  const std::string& to) {
        for (size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    }

    void Restore() {
        restore = lexorin::testing::run_cli(work_, "restore-code Corpus German");
        if (restore.status != 0) return;
        // Units come back as they were but for line ends; include files are never touched.
        auto compare = [&](const std::string& file, const std::string& difference) {
            if (!difference.empty())
                mismatches.push_back(Relative(file) + ": " + difference + "\n");
        };
        for (const auto& unit : corpus.units)
            compare(unit,
                    GivenBackDifference(read_test_file(Original(unit)), read_test_file(unit)));
        for (const auto& file : corpus.include_files)
            compare(file, lexorin::testing::FirstDifference(read_test_file(Original(file)),
                                                            read_test_file(file)));
        std::cout << "[corpus] units given back as they were: "
                  << corpus.units.size() + corpus.include_files.size() - mismatches.size() << " of "
                  << corpus.units.size() + corpus.include_files.size() << " files\n"
                  << std::flush;
        lines_.clear();  // they were read as rewritten
    }

    static bool HasUnitOutput(const std::string& output_root, const std::string& unit) {
        const std::string ppu = Lower(fs::path(unit).stem().string()) + ".ppu";
        for (const auto& worker : fs::directory_iterator(output_root))
            if (fs::exists(worker.path() / ppu)) return true;
        return false;
    }

    // The units of each package together, largest package first, so that the two workers
    // share the load and a package's units mostly find what they use already compiled.
    std::vector<std::vector<std::string>> ByPackage(const std::vector<std::string>& units) const {
        std::map<std::string, std::vector<std::string>> packages;
        for (const auto& unit : units) packages[corpus.package_of.at(unit)].push_back(unit);
        std::vector<std::vector<std::string>> groups;
        for (auto& [package, members] : packages) groups.push_back(std::move(members));
        std::stable_sort(groups.begin(), groups.end(),
                         [](const auto& a, const auto& b) { return a.size() > b.size(); });
        return groups;
    }

    std::string PerPackage(const std::vector<std::string>& units) const {
        std::map<std::string, int> counts;
        for (const auto& unit : units) ++counts[corpus.package_of.at(unit)];
        std::string text;
        for (const auto& [package, count] : counts)
            text += (text.empty() ? "" : ", ") + package + " " + std::to_string(count);
        return text;
    }

    static std::string Tally(const FpcUnitTally& tally) {
        if (!tally.built) return "the runner did not compile";
        if (!tally.ran) return "the runner printed no tally";
        return std::to_string(tally.tests) + " run, " + std::to_string(tally.errors) + " errors, " +
               std::to_string(tally.failures) + " failures";
    }

    TempDir work_;
    std::vector<std::string> installed_;  // the unit folders of the installed compiler
    bool prepared_ = false, scanned_ = false, checked_ = false, restored_ = false;
    std::map<std::string, std::vector<std::string>> lines_;
};

// Each distinct compiler error after the scan (but those in `shown`, which gains the others),
// the units it broke, and the rewritten line it points at with the marker line above it (the
// line as it was before the scan).
std::string BrokenLines(CorpusRun& run, const std::map<std::string, CompileOutcome>& outcomes,
                        std::set<FpcMessage>& shown_before) {
    std::map<FpcMessage, std::vector<std::string>> broken;
    std::vector<std::string> unexplained;
    for (const auto& [unit, outcome] : outcomes) {
        if (outcome.compiled) continue;
        const auto messages = ErrorMessages(outcome.output);
        if (messages.empty()) unexplained.push_back(outcome.command + "\n" + outcome.output);
        for (const auto& message : messages)
            if (!shown_before.count(message)) broken[message].push_back(run.Shown(unit));
    }
    for (const auto& [message, units] : broken) shown_before.insert(message);
    if (broken.empty() && unexplained.empty()) return "  none beyond those above\n";
    std::ostringstream text;
    // First the kinds: the message without its place, any s_N written as s_N.
    static const std::regex place(R"(^.*\(\d+(,\d+)?\) )"), reference(R"(s_\d+)");
    std::map<std::string, int> kinds;
    for (const auto& [message, units] : broken)
        ++kinds[std::regex_replace(std::regex_replace(message.text, place, ""), reference, "s_N")];
    std::vector<std::pair<int, std::string>> by_count;
    for (const auto& [kind, count] : kinds) by_count.emplace_back(-count, kind);
    std::sort(by_count.begin(), by_count.end());
    text << "errors by kind:\n";
    for (const auto& [count, kind] : by_count) text << "  " << -count << " x " << kind << "\n";
    text << broken.size() << " distinct compiler errors:\n";
    size_t shown = 0;
    for (const auto& [message, units] : broken) {
        if (++shown > kShownErrors) {
            text << "... and " << broken.size() - kShownErrors << " more\n";
            break;
        }
        std::string where = message.text;
        if (!message.file.empty()) where.replace(0, message.file.size(), run.Shown(message.file));
        text << where << "  [breaks " << units.size()
             << (units.size() == 1 ? " unit: " : " units: ") << units.front()
             << (units.size() > 1 ? ", ..." : "") << "]\n";
        if (message.file.empty() || message.line < 1 || !fs::exists(message.file)) continue;
        const auto& lines = run.LinesOf(message.file);
        const size_t at = static_cast<size_t>(message.line) - 1;
        if (at >= lines.size()) continue;
        if (at > 0 && lines[at - 1].rfind("//TL:", 0) == 0)
            text << "    " << message.line - 1 << ": " << lines[at - 1] << "\n";
        text << "    " << message.line << ": " << lines[at] << "\n";
    }
    for (const auto& output : unexplained) text << "no error message:\n" << output << "\n";
    return text.str();
}

TEST(RealCorpus, EveryUnitThatCompiledBeforeCompilesAfterTheScan) {
    CorpusRun& run = CorpusRun::Get();
    run.CheckedAfterScan();
    ASSERT_TRUE(run.error.empty()) << run.error;

    // The corpus itself must be worth something: enough units that compile as they are.
    EXPECT_GE(run.compiled_before.size(), kMinimumUnits);
    std::set<std::string> packages;
    for (const auto& unit : run.compiled_before) packages.insert(run.corpus.package_of.at(unit));
    EXPECT_GE(packages.size(), kMinimumPackages);
    EXPECT_TRUE(run.not_from_copy.empty())
        << "fpc wrote no unit of its own for " << run.not_from_copy.front();
    EXPECT_GT(run.rows, 0) << "the scan took no string at all";

    std::vector<std::string> broken;
    for (const auto& [unit, outcome] : run.after)
        if (!outcome.compiled) broken.push_back(run.Relative(unit));
    if (broken.empty()) return;
    std::string names;
    for (const auto& unit : broken) names += "  " + unit + "\n";
    size_t alone = 0;
    for (const auto& [unit, outcome] : run.alone) alone += outcome.compiled;
    std::set<FpcMessage> shown;
    const std::string together = BrokenLines(run, run.after, shown);
    ADD_FAILURE() << broken.size() << " of " << run.compiled_before.size()
                  << " units no longer compile after the scan:\n"
                  << names << together
                  << "\nCompiled on their own (every unit they use as it was), " << alone
                  << " of these " << broken.size() << " compile; their further errors:\n"
                  << BrokenLines(run, run.alone, shown);
}

TEST(RealCorpus, FclJsTestsPassTheSameOnTheRewrittenUnits) {
    CorpusRun& run = CorpusRun::Get();
    run.CheckedAfterScan();
    ASSERT_TRUE(run.error.empty()) << run.error;

    ASSERT_TRUE(run.js_before.built) << run.js_before.output;
    ASSERT_TRUE(run.js_before.ran) << run.js_before.output;
    EXPECT_GT(run.js_before.tests, 0);
    EXPECT_EQ(run.js_before.errors, 0) << run.js_before.output;
    EXPECT_EQ(run.js_before.failures, 0) << run.js_before.output;

    if (!run.js_after.built) {
        const std::map<std::string, CompileOutcome> build = {
            {"the fcl-js test runner", {false, "", run.js_after.output}}};
        std::set<FpcMessage> shown;
        FAIL() << "the fcl-js tests do not compile against the rewritten units:\n"
               << BrokenLines(run, build, shown) << run.js_after.output;
    }
    ASSERT_TRUE(run.js_after.ran) << run.js_after.output;
    EXPECT_EQ(run.js_after.tests, run.js_before.tests) << run.js_after.output;
    EXPECT_EQ(run.js_after.errors, 0) << run.js_after.output;
    EXPECT_EQ(run.js_after.failures, 0) << run.js_after.output;
}

TEST(RealCorpus, RestoreGivesEveryUnitBackByteForByte) {
    CorpusRun& run = CorpusRun::Get();
    run.Restored();
    ASSERT_TRUE(run.error.empty()) << run.error;
    ASSERT_EQ(run.restore.status, 0)
        << "lexorin-cli restore-code Corpus German: " << run.restore.err;

    std::ostringstream shown;
    for (size_t i = 0; i < run.mismatches.size() && i < kShownMismatches; ++i)
        shown << run.mismatches[i];
    EXPECT_TRUE(run.mismatches.empty())
        << run.mismatches.size() << " files differ from their originals after restore-code:\n"
        << shown.str();
}

}  // namespace
}  // namespace lexorin::corpus
