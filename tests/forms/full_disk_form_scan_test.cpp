// Form scans on a full disk, in a project with two languages: every language's forms table is
// left as it was before the form whose rows could not be committed, never one language with a
// form's rows and the other without.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/text_utils.h"
#include "support/full_disk_project.h"

namespace lexorin {
namespace {

using testing::FillingReporter;
using testing::FullDiskProject;
using testing::write_test_file;

constexpr int kLabels = 100;  // each form holds its caption and this many labels

std::string FormText(int number) {
    const std::string n = std::to_string(number);
    std::string text = "object Form" + n + ": TForm" + n + "\r\n  Caption = 'Form " + n + "'\r\n";
    for (int i = 1; i <= kLabels; ++i)
        text += "  object Label" + std::to_string(i) + ": TLabel\r\n    Caption = 'Label " +
                std::to_string(i) + " of form " + n + "'\r\n  end\r\n";
    return text + "end\r\n";
}

void WriteForms(const FullDiskProject& project, int from, int to) {
    for (int number = from; number < to; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "/form%03d.dfm", number);
        write_test_file(project.src() + name, FormText(number));
    }
}

std::optional<forms::FormScanReport> ScanForms(FullDiskProject& project, Reporter& reporter) {
    std::optional<forms::FormScanReport> report;
    project.Run([&](commands::OpenedProject& opened) {
        report = commands::ScanForms(opened.handles(), reporter);
    });
    return report;
}

// The forms whose strings are in the language's table, by the text of their captions.
int FormsWithRows(const std::map<std::int64_t, std::string>& rows) {
    int forms = 0;
    for (const auto& [index, original] : rows)
        if (starts_with(original, "Form ")) ++forms;
    return forms;
}

// The lowest and the highest number in the project's form files, and how many rows it holds
// when they are not as many as the numbers between.
std::vector<std::int64_t> FormFileNumbers(const FullDiskProject& project) {
    store::Session session;
    store::Table table(session, project.home(),
                       std::string(FullDiskProject::kProject) + "_units.db");
    table.open();
    std::vector<std::int64_t> numbers;
    for (table.first(); !table.eof(); table.next())
        numbers.push_back(table.integer(store::field::Index));
    if (numbers.empty()) return {};
    const std::int64_t first = numbers.front(), last = numbers.back();
    if (static_cast<std::int64_t>(numbers.size()) == last - first + 1) return {first, last};
    return {first, last, static_cast<std::int64_t>(numbers.size())};
}

TEST(FullDiskFormScan, AFormThatCannotBeCommittedLeavesEveryLanguageAsBeforeIt) {
    FullDiskProject project("16m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteForms(project, 0, 50);
    FillingReporter filling(project, 25);
    const auto report = ScanForms(project, filling);
    ASSERT_TRUE(report);
    EXPECT_NE(report->stopped.find("No space left on device"), std::string::npos)
        << report->stopped;
    EXPECT_EQ(report->forms_scanned, 25);
    EXPECT_EQ(report->skipped.size(), 25u);
    const auto german = project.Rows("German", "forms");
    EXPECT_EQ(FormsWithRows(german), 25);
    EXPECT_EQ(german.size(), 25u * (kLabels + 1));
    EXPECT_EQ(project.Rows("French", "forms"), german);

    // With room again, the next scan takes the other forms, numbered on in both languages.
    project.Empty();
    const auto again = ScanForms(project, project.reporter);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->stopped.empty()) << again->stopped;
    const auto all = project.Rows("German", "forms");
    EXPECT_EQ(all.size(), 50u * (kLabels + 1));
    EXPECT_EQ(all.rbegin()->first, 50 * (kLabels + 1));
    EXPECT_EQ(project.Rows("French", "forms"), all);
}

// Fills the disk when the scan reaches form `at`, and makes room again at the `empty_after`-th
// status that follows ("<n> Strings found", one for each form stored): a disk full for a while.
class FillingThenEmptyingReporter : public FillingReporter {
  public:
    FillingThenEmptyingReporter(FullDiskProject& project, int at, int empty_after)
        : FillingReporter(project, at), project_(project), at_(at), empty_after_(empty_after) {}
    void progress(int done, int total, const std::string& file) override {
        FillingReporter::progress(done, total, file);
        if (done == at_) filled = true;
    }
    void status(const std::string& text) override {
        FillingReporter::status(text);
        if (filled && !emptied && text.ends_with(" Strings found") && --empty_after_ == 0) {
            project_.Empty();
            emptied = true;
        }
    }
    bool filled = false, emptied = false;

  private:
    FullDiskProject& project_;
    int at_;
    int empty_after_;
};

// The strings of a form that is no form text: the scan skips it and goes on.
constexpr const char* kNoFormText =
    "object Broken: TForm\r\n  Caption = 'Broken'\r\nend\r\nend\r\n";

TEST(FullDiskFormScan, FormsTakenBackWithAFailedBatchAreAllStoredOnceThereIsRoom) {
    FullDiskProject project("16m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteForms(project, 0, 50);
    // Full from form 25 on, whose rows then fail; room again while the forms before it, taken
    // back with it, are stored once more.
    FillingThenEmptyingReporter reporter(project, 25, 2);
    const auto report = ScanForms(project, reporter);
    ASSERT_TRUE(report);
    EXPECT_TRUE(reporter.filled && reporter.emptied);
    // Forms stored twice: the batch holding form 25 was taken back.
    const auto stored = std::count(reporter.statuses.begin(), reporter.statuses.end(),
                                   std::to_string(kLabels + 1) + " Strings found");
    EXPECT_GT(stored, 50);
    EXPECT_TRUE(report->stopped.empty()) << report->stopped;
    EXPECT_EQ(report->forms_scanned, 50);
    EXPECT_EQ(report->strings_found, 50 * (kLabels + 1));
    EXPECT_TRUE(report->skipped.empty());

    // Numbered as by a scan that never failed: form after form, in both languages, and every
    // form listed once in the project's form files.
    const auto german = project.Rows("German", "forms");
    ASSERT_EQ(german.size(), 50u * (kLabels + 1));
    std::int64_t expected_number = 1;
    for (const auto& [number, original] : german) {
        const int form = static_cast<int>((number - 1) / (kLabels + 1));
        const int label = static_cast<int>((number - 1) % (kLabels + 1));
        EXPECT_EQ(number, expected_number++);
        EXPECT_EQ(original, label == 0 ? "Form " + std::to_string(form)
                                       : "Label " + std::to_string(label) + " of form " +
                                             std::to_string(form));
    }
    EXPECT_EQ(project.Rows("French", "forms"), german);
    EXPECT_EQ(FormFileNumbers(project), (std::vector<std::int64_t>{1, 50}));
}

TEST(FullDiskFormScan, TheReportOfAStoppedScanListsTheFormsInTheirOrder) {
    FullDiskProject project("16m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteForms(project, 0, 50);
    write_test_file(project.src() + "/form010.dfm", kNoFormText);
    write_test_file(project.src() + "/form030.dfm", kNoFormText);
    FillingReporter filling(project, 25);
    const auto report = ScanForms(project, filling);
    ASSERT_TRUE(report);
    EXPECT_NE(report->stopped.find("No space left on device"), std::string::npos)
        << report->stopped;
    EXPECT_EQ(report->forms_scanned, 24);
    // The broken form before the stop with its reason; from the form that did not fit on, every
    // form as not scanned, the broken one after it too.
    ASSERT_EQ(report->skipped.size(), 26u);
    EXPECT_TRUE(report->skipped[0].first.ends_with("/form010.dfm")) << report->skipped[0].first;
    EXPECT_EQ(report->skipped[0].second.find("not scanned"), std::string::npos);
    EXPECT_TRUE(report->skipped[1].first.ends_with("/form025.dfm")) << report->skipped[1].first;
    EXPECT_EQ(report->skipped[1].second, report->stopped);
    for (size_t i = 2; i < report->skipped.size(); ++i) {
        EXPECT_TRUE(report->skipped[i].first.ends_with("/form0" + std::to_string(24 + i) + ".dfm"))
            << report->skipped[i].first;
        EXPECT_EQ(report->skipped[i].second, "not scanned: the scan stopped before it");
    }
    const auto german = project.Rows("German", "forms");
    EXPECT_EQ(FormsWithRows(german), 24);
    EXPECT_EQ(project.Rows("French", "forms"), german);
    EXPECT_EQ(FormFileNumbers(project), (std::vector<std::int64_t>{1, 24}));
}

TEST(FullDiskFormScan, AScanTheDiskCannotHoldIsRefusedBeforeAnyChange) {
    FullDiskProject project("8m");
    if (!project.mounted()) GTEST_SKIP() << "mounting a tmpfs needs the super-user";
    WriteForms(project, 0, 10);
    ASSERT_TRUE(ScanForms(project, project.reporter)->stopped.empty());
    const auto before = project.Rows("German", "forms");
    project.Fill(100 * 1024);
    WriteForms(project, 10, 50);
    try {
        ScanForms(project, project.reporter);
        FAIL() << "the scan began";
    } catch (const Error& e) {
        EXPECT_TRUE(
            starts_with(e.what(), "Not enough space on the disk of " + project.home_named() + ":"))
            << e.what();
    }
    EXPECT_EQ(project.Rows("German", "forms"), before);
    EXPECT_EQ(project.Rows("French", "forms"), before);
}

}  // namespace
}  // namespace lexorin
