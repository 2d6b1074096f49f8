// Form scans on a full disk, in a project with two languages: every language's forms table is
// left as it was before the form whose rows could not be committed, never one language with a
// form's rows and the other without.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>

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
