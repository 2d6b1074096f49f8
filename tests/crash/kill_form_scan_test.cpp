// A form scan killed with SIGKILL at any moment, in a project of two languages, must leave the
// tables of every language as they were before some form once the next command has taken back
// what the kill interrupted: the same first forms' rows in German and French, and those forms
// alone in the project's form files. A scan run again then ends as one that was never
// interrupted: no row twice, the same numbers.
//
// The rounds are random kill times within the length of one uninterrupted scan. Environment:
//   LEXORIN_CRASH_ROUNDS  number of random rounds (default 5)
//   LEXORIN_CRASH_SEED    seed of the kill times, to replay the rounds of a failure

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "crash/scratch_project.h"
#include "store/scan_batch_journal.h"
#include "store/session.h"
#include "store/table_store.h"
#include "support/test_support.h"

using lexorin::testing::CommandResult;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;
namespace fs = std::filesystem;

namespace {

constexpr int kForms = 400;
constexpr int kLabels = 20;  // each form holds its caption and this many labels

std::string FormText(int number) {
    const std::string n = std::to_string(number);
    std::string text = "object Form" + n + ": TForm" + n + "\r\n  Caption = 'Form " + n + "'\r\n";
    for (int i = 1; i <= kLabels; ++i)
        text += "  object Label" + std::to_string(i) + ": TLabel\r\n    Caption = 'Label " +
                std::to_string(i) + " of form " + n + "'\r\n  end\r\n";
    return text + "end\r\n";
}

// Every row of a table, one line per row with every field as text, and the form file each row
// belongs to (0 in the form files).
struct TableRows {
    std::vector<std::string> lines;
    std::vector<std::int64_t> forms;
};

// The project of the forms, registered with German and French.
class FormProject : public lexorin::crash::ScratchProject {
  public:
    using ScratchProject::ScratchProject;

    // Starts `--yes scan-forms Demo German` in its own process group.
    pid_t StartScan() const {
        return Start({"--yes", "scan-forms", "Demo", "German"}, "/dev/null");
    }

    // What the next command does first: the batch a killed scan left is taken back.
    void Recover() const {
        lexorin::store::Session session;
        lexorin::store::RecoverScanBatch(session, home(), "Demo");
    }

    bool JournalLeft() const {
        return fs::exists(home() + "/" + lexorin::store::scan_batch_file_name("Demo"));
    }

    TableRows Rows(const std::string& file) const {
        lexorin::store::Session session;
        lexorin::store::Table table(session, home(), file);
        table.open();
        TableRows rows;
        // A forms table's UnitName is the number of the form file the row belongs to.
        const bool forms_table = file.ends_with("_forms.db");
        for (table.first(); !table.eof(); table.next()) {
            rows.lines.push_back(RowText(table));
            rows.forms.push_back(forms_table ? table.integer("UnitName") : 0);
        }
        return rows;
    }

    // The project's tables of forms: each language's and the form files.
    std::map<std::string, TableRows> Take() const {
        std::map<std::string, TableRows> tables;
        for (const char* file : {"Demo_German_forms.db", "Demo_French_forms.db", "Demo_units.db"})
            tables[file] = Rows(file);
        return tables;
    }
};

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::microseconds;

// The first `count` lines of `rows`.
std::vector<std::string> Prefix(const TableRows& rows, size_t count) {
    return {rows.lines.begin(), rows.lines.begin() + static_cast<std::ptrdiff_t>(count)};
}

// Where the tables a killed scan left, once taken back, part from the state before some form
// of the uninterrupted scan `reference`; empty when they are as before one. `forms` gets how
// many forms they hold.
std::string NotBeforeAForm(const std::map<std::string, TableRows>& reference,
                           const std::map<std::string, TableRows>& actual, size_t& forms) {
    const TableRows& german = actual.at("Demo_German_forms.db");
    const TableRows& whole = reference.at("Demo_German_forms.db");
    const size_t rows = german.lines.size();
    if (rows > whole.lines.size()) return "German holds more rows than a whole scan\n";
    if (german.lines != Prefix(whole, rows)) return "German's rows are no first rows of a scan\n";
    // A form's rows are numbered one after the other: all of them or none.
    if (rows > 0 && rows < whole.lines.size() && whole.forms[rows - 1] == whole.forms[rows])
        return "German holds part of a form's rows (" + std::to_string(rows) + " rows)\n";
    forms = std::set<std::int64_t>(german.forms.begin(), german.forms.end()).size();
    std::string differences;
    if (actual.at("Demo_French_forms.db").lines !=
        Prefix(reference.at("Demo_French_forms.db"), rows))
        differences += "French's rows are not German's\n";
    const TableRows& files = actual.at("Demo_units.db");
    if (files.lines != Prefix(reference.at("Demo_units.db"), forms))
        differences += "the form files hold " + std::to_string(files.lines.size()) +
                       " rows, not those of the " + std::to_string(forms) + " forms scanned\n";
    return differences;
}

class KillFormScanTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        template_dir_ = std::make_unique<TempDir>();
        for (int number = 0; number < kForms; ++number) {
            char name[32];
            std::snprintf(name, sizeof name, "/form%03d.dfm", number);
            write_test_file(template_dir_->file("src") + name, FormText(number));
        }
        FormProject reference(template_dir_->file("src"));
        reference.Register();
        const auto start = Clock::now();
        const pid_t pid = reference.StartScan();
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        scan_time_ = std::chrono::duration_cast<Micros>(Clock::now() - start);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the reference scan failed";
        reference_ = std::make_unique<std::map<std::string, TableRows>>(reference.Take());
        ASSERT_EQ(reference_->at("Demo_German_forms.db").lines.size(),
                  static_cast<size_t>(kForms * (kLabels + 1)));
        std::cout << "One uninterrupted scan of " << kForms
                  << " forms: " << scan_time_.count() / 1000 << " ms" << std::endl;
    }
    static void TearDownTestSuite() {
        reference_.reset();
        template_dir_.reset();
    }

    // A fresh copy whose scan is killed `after` its start, taken back, then scanned again to
    // the end. Returns what differs, empty when nothing does.
    static std::string RunRound(const std::string& name, Micros after) {
        FormProject copy(template_dir_->file("src"));
        copy.Register();
        const pid_t pid = copy.StartScan();
        if (pid <= 0) return "cannot start the scan\n";
        std::this_thread::sleep_for(after);
        ::kill(-pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;

        std::string difference;
        size_t forms = 0;
        try {
            copy.Recover();
            difference = NotBeforeAForm(*reference_, copy.Take(), forms);
        } catch (const std::exception& e) {
            difference = std::string(e.what()) + "\n";
        }
        const CommandResult rescan = copy.cli("--yes scan-forms Demo German");
        if (rescan.status != 0)
            difference += "the scan after the kill ended with status " +
                          std::to_string(rescan.status) + ": " + rescan.err + "\n";
        if (copy.JournalLeft()) difference += "the batch journal is left\n";
        try {
            const auto again = copy.Take();
            for (const auto& [file, rows] : *reference_)
                if (again.at(file).lines != rows.lines)
                    difference += file + " differs from an uninterrupted scan's after the rescan\n";
        } catch (const std::exception& e) {
            difference += std::string(e.what()) + "\n";
        }
        std::cout << name << ": kill at " << after.count() / 1000 << " ms of "
                  << scan_time_.count() / 1000 << " ms, "
                  << (killed ? "killed during the scan" : "the scan had ended before the kill")
                  << ", left " << forms << " forms"
                  << (difference.empty() ? ", as before a form" : ", DIFFERS:\n") << difference
                  << std::endl;
        return difference;
    }

    static inline std::unique_ptr<TempDir> template_dir_;
    static inline std::unique_ptr<std::map<std::string, TableRows>> reference_;
    static inline Micros scan_time_{0};
};

TEST_F(KillFormScanTest, KillHalfwayThroughTheScan) {
    EXPECT_EQ(RunRound("halfway round", scan_time_ / 2), "");
}

TEST_F(KillFormScanTest, KillAtRandomMoments) {
    int rounds = 5;
    if (const char* text = std::getenv("LEXORIN_CRASH_ROUNDS")) rounds = std::atoi(text);
    unsigned seed = std::random_device{}();
    if (const char* text = std::getenv("LEXORIN_CRASH_SEED"))
        seed = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    std::cout << rounds << " rounds, LEXORIN_CRASH_SEED=" << seed << std::endl;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> moment(0.0, 1.0);
    for (int number = 1; number <= rounds; ++number) {
        const auto after = std::chrono::duration_cast<Micros>(scan_time_ * moment(random));
        EXPECT_EQ(RunRound("round " + std::to_string(number), after), "");
    }
}

}  // namespace
