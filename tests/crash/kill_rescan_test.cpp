// A code scan killed with SIGKILL at any moment, then run again to its end, must leave the
// tables and the units exactly as one scan that was never interrupted: no row twice, the same
// numbers, every unit rewritten once and no temporary file behind.
//
// The rounds are random kill times within the length of one uninterrupted scan. Environment:
//   LEXORIN_CRASH_ROUNDS  number of random rounds (default 5)
//   LEXORIN_CRASH_SEED    seed of the kill times, to replay the rounds of a failure (the seed
//                         of every run is printed)

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/temporary_files.h"
#include "crash/scratch_project.h"
#include "store/session.h"
#include "store/table_store.h"
#include "support/golden_file.h"
#include "support/test_support.h"

using lexorin::testing::CommandResult;
using lexorin::testing::FirstDifference;
using lexorin::testing::read_test_file;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;
namespace fs = std::filesystem;

namespace {

constexpr int kUnits = 300;

// One unit of the synthetic project, "#" standing for its number: an interface with three
// routines and an implementation whose statements hold thirteen literals, 50 lines in all.
constexpr std::string_view kUnitText = R"(unit unit#;

interface

uses SysUtils, Dialogs;

procedure Greet#(Count: Integer);
function Caption#(I: Integer): string;
procedure Report#(const Name: string);

implementation

procedure Greet#(Count: Integer);
var
  I: Integer;
  S: string;
begin
  ShowMessage('Text 1 of unit #');
  for I := 1 to Count do
  begin
    S := 'Other ' + IntToStr(I);
    if I mod 2 = 0 then
      ShowMessage('Even line ' + S + ' in unit #')
    else
      ShowMessage('Odd line ' + S + ' in unit #');
  end;
  ShowMessage('Text 2 of unit #');
end;

function Caption#(I: Integer): string;
begin
  if I = 0 then
    Result := 'Nothing to show in unit #'
  else
    Result := 'Showing ' + IntToStr(I) + ' entries of unit #';
end;

procedure Report#(const Name: string);
var
  Line: string;
begin
  Line := 'Report for ' + Name;
  ShowMessage(Line + ', made by unit #');
  ShowMessage('Text 3 of unit #');
end;

end.
)";

std::string SyntheticUnit(int number) {
    std::string text;
    for (const char c : kUnitText) text += c == '#' ? std::to_string(number) : std::string(1, c);
    return text;
}

void WriteSyntheticProject(const std::string& src) {
    for (int k = 0; k < kUnits; ++k)
        write_test_file(src + "/unit" + std::to_string(k) + ".pas", SyntheticUnit(k));
}

// What a scan leaves: every table of the project in the program directory, one line per row
// with every field as text, and every file under src/ byte for byte. The copy's own directory
// reads "<copy>" in the rows.
struct Snapshot {
    std::map<std::string, std::string> tables;
    std::map<std::string, std::string> files;
};

std::string RowCount(const std::string& rows) {
    return std::to_string(std::count(rows.begin(), rows.end(), '\n')) + " rows";
}

// Where `actual` parts from `expected`: every table that differs, with its row counts and its
// first differing row (the line of the first difference); then how many files differ and where
// the first of them does. Empty when they are equal.
std::string SnapshotDifference(const Snapshot& expected, const Snapshot& actual) {
    std::string differences;
    for (const auto& [name, rows] : expected.tables) {
        const auto found = actual.tables.find(name);
        if (found == actual.tables.end())
            differences += "table " + name + " is missing\n";
        else if (found->second != rows)
            differences += "table " + name + ": " + RowCount(found->second) + ", expected " +
                           RowCount(rows) + "; " + FirstDifference(rows, found->second) + "\n";
    }
    for (const auto& [name, rows] : actual.tables)
        if (!expected.tables.contains(name))
            differences +=
                "table " + name + " is there (" + RowCount(rows) + ") but should not be\n";
    int files = 0;
    std::string first_file;
    for (const auto& [name, bytes] : expected.files) {
        const auto found = actual.files.find(name);
        if (found != actual.files.end() && found->second == bytes) continue;
        if (files++ == 0)
            first_file = found == actual.files.end()
                             ? name + " is missing"
                             : name + ", " + FirstDifference(bytes, found->second);
    }
    for (const auto& [name, bytes] : actual.files)
        if (!expected.files.contains(name) && files++ == 0)
            first_file = name + " should not be there";
    if (files > 0)
        differences +=
            std::to_string(files) + " files under src/ differ, the first: " + first_file + "\n";
    return differences;
}

// The synthetic project, registered with German and French.
class ProjectCopy : public lexorin::crash::ScratchProject {
  public:
    using ScratchProject::ScratchProject;

    // Starts `--yes scan-code Demo German` in its own process group, its output in scan.log.
    pid_t StartScan() const {
        return Start({"--yes", "scan-code", "Demo", "German"}, work() + "/scan.log");
    }

    // The files whose names start with the temporary prefix, anywhere under src/.
    std::vector<std::string> TemporaryFiles() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(src()))
            if (entry.path().filename().string().starts_with(lexorin::kTemporaryPrefix))
                found.push_back(entry.path().string());
        return found;
    }

    Snapshot Take() const {
        Snapshot snapshot;
        for (const auto& entry : fs::directory_iterator(home())) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && name.starts_with("Demo_") && name.ends_with(".db"))
                snapshot.tables[name] = TableRows(name);
        }
        for (const auto& entry : fs::recursive_directory_iterator(src()))
            if (entry.is_regular_file())
                snapshot.files[entry.path().string().substr(src().size())] =
                    read_test_file(entry.path().string());
        return snapshot;
    }

  private:
    // One line per row (RowText).
    std::string TableRows(const std::string& file) const {
        lexorin::store::Session session;
        lexorin::store::Table table(session, home(), file);
        table.open();
        std::string rows;
        for (table.first(); !table.eof(); table.next()) rows += RowText(table) + "\n";
        return rows;
    }
};

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::microseconds;

// The synthetic project and what one uninterrupted scan of it leaves, made once for all rounds.
class KillRescanTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        template_dir_ = std::make_unique<TempDir>();
        WriteSyntheticProject(template_dir_->file("src"));

        ProjectCopy reference(template_dir_->file("src"));
        reference.Register();
        const auto start = Clock::now();
        const pid_t pid = reference.StartScan();
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        scan_time_ = std::chrono::duration_cast<Micros>(Clock::now() - start);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "the reference scan failed: " << read_test_file(reference.src() + "/../scan.log");
        reference_ = std::make_unique<Snapshot>(reference.Take());
        ASSERT_TRUE(reference.TemporaryFiles().empty());
        std::cout << "One uninterrupted scan of " << kUnits
                  << " units: " << scan_time_.count() / 1000 << " ms; " << reference_->tables.size()
                  << " tables, German " << RowCount(reference_->tables["Demo_German_pascal.db"])
                  << std::endl;
    }
    static void TearDownTestSuite() {
        reference_.reset();
        template_dir_.reset();
    }

    struct Round {
        bool killed = false;  // false: the scan had ended before the kill
        std::string difference;
    };

    // A fresh copy whose scan is killed `after` its start, then scanned again to the end.
    static Round RunRound(Micros after) {
        Round round;
        ProjectCopy copy(template_dir_->file("src"));
        copy.Register();
        if (::testing::Test::HasFatalFailure()) return round;

        const pid_t pid = copy.StartScan();
        EXPECT_GT(pid, 0);
        if (pid <= 0) return round;
        std::this_thread::sleep_for(after);
        ::kill(-pid, SIGKILL);
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        round.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;

        const CommandResult rescan = copy.cli("--yes scan-code Demo German");
        if (rescan.status != 0)
            round.difference = "the scan after the kill ended with status " +
                               std::to_string(rescan.status) + ": " + rescan.err + "\n";
        for (const std::string& leftover : copy.TemporaryFiles())
            round.difference += "temporary file left: " + leftover + "\n";
        try {
            round.difference += SnapshotDifference(*reference_, copy.Take());
        } catch (const std::exception& e) {  // a table the store cannot open
            round.difference += std::string(e.what()) + "\n";
        }
        return round;
    }

    static std::string Describe(const std::string& name, Micros after, const Round& round) {
        return name + ": kill at " + std::to_string(after.count() / 1000) + " ms of " +
               std::to_string(scan_time_.count() / 1000) + " ms, " +
               (round.killed ? "killed during the scan" : "the scan had ended before the kill") +
               (round.difference.empty() ? ", same tables and units" : ", DIFFERS:\n");
    }

    static inline std::unique_ptr<TempDir> template_dir_;
    static inline std::unique_ptr<Snapshot> reference_;
    static inline Micros scan_time_{0};
};

// Two fixed moments besides the random ones, so that every run kills a scan in its middle and
// in its last part, where the units are put in place.
TEST_F(KillRescanTest, KillHalfwayThroughTheScan) {
    const Micros after = scan_time_ / 2;
    const Round round = RunRound(after);
    std::cout << Describe("halfway round", after, round) << round.difference << std::endl;
    EXPECT_TRUE(round.difference.empty()) << "the round differs, see above";
}

TEST_F(KillRescanTest, KillAtFiveSixthsOfTheScan) {
    const Micros after = scan_time_ * 5 / 6;
    const Round round = RunRound(after);
    std::cout << Describe("five-sixths round", after, round) << round.difference << std::endl;
    EXPECT_TRUE(round.difference.empty()) << "the round differs, see above";
}

TEST_F(KillRescanTest, KillAtRandomMoments) {
    int rounds = 5;
    if (const char* text = std::getenv("LEXORIN_CRASH_ROUNDS")) rounds = std::atoi(text);
    unsigned seed = std::random_device{}();
    if (const char* text = std::getenv("LEXORIN_CRASH_SEED"))
        seed = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    std::cout << rounds << " rounds, LEXORIN_CRASH_SEED=" << seed << std::endl;
    std::mt19937 random(seed);
    // A fraction of the scan's length, so that a seed gives the same rounds on a faster machine.
    std::uniform_real_distribution<double> moment(0.0, 1.0);

    int killed = 0, ended = 0, differing = 0;
    for (int number = 1; number <= rounds; ++number) {
        const auto after = std::chrono::duration_cast<Micros>(scan_time_ * moment(random));
        const Round round = RunRound(after);
        std::cout << Describe("round " + std::to_string(number), after, round) << round.difference
                  << std::endl;
        ++(round.killed ? killed : ended);
        if (!round.difference.empty()) ++differing;
        EXPECT_TRUE(round.difference.empty()) << "round " << number << " differs, see above";
    }
    std::cout << killed << " rounds killed during the scan, " << ended << " ended before the kill; "
              << differing << " of " << rounds << " differ" << std::endl;
}

}  // namespace
