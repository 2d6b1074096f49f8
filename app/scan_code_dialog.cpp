#include "app/scan_code_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/commands.h"
#include "app/project_window.h"
#include "app/report_text.h"
#include "base/file_utils.h"
#include "base/text_qt.h"
#include "code/code_scan.h"
#include "code/verify_build.h"
#include "project/backup.h"
#include "project/language_list.h"
#include "project/projects_table.h"
#include "project/status_line.h"

namespace lexorin::gui {

namespace field = project::field;

namespace {

const char* kInfo[] = {
    "This step will scan all files meeting above criteria for strings and add them to the "
    "translation database.",
    "All found strings are replaced with a resource string of the following form: ''+s_xyz+'' "
    "where xyz will be the unique id in the ",
    "database.",
    "Once you ran the scan process you will not(!) be able to compile your project until you run "
    "the translate step.",
    "As always: MAKE A BACKUP BEFORE THIS STEP!"};

QStringList info_lines() {
    QStringList lines;
    for (const char* line : kInfo) lines << line;
    return lines;
}

}  // namespace

CodeScanDialog::CodeScanDialog(ProjectWindow& owner)
    : ScanDialog(owner, "Scan code", "Code options", info_lines(), QSize(729, 483)) {
    extensions_edit = new QLineEdit(this);
    ignore_interface_check = new QCheckBox("&Ignore interface", this);
    min_length_edit = new QLineEdit(this);
    required_chars_edit = new QLineEdit(this);
    context_lines_edit = new QLineEdit(this);
    ignored_starts_edit = new QLineEdit(this);
    unwanted_strings_memo = new QPlainTextEdit(this);
    unwanted_word_parts_memo = new QPlainTextEdit(this);
    follow_links_check = new QCheckBox("&Follow outside links", this);
    options()->addRow("E&xtensions", extensions_edit);
    // Both check boxes on one row, so that the memos below keep their height in the fixed-size
    // dialog.
    auto* checks = new QHBoxLayout;
    checks->addWidget(ignore_interface_check);
    checks->addWidget(follow_links_check);
    checks->addStretch(1);
    options()->addRow(QString(), checks);
    options()->addRow("&min. length", min_length_edit);
    options()->addRow("&Line must contain", required_chars_edit);
    options()->addRow("&Number of context lines", context_lines_edit);
    options()->addRow("String must &not start with", ignored_starts_edit);
    options()->addRow("Line &must not contain", unwanted_strings_memo);
    options()->addRow("&Word must not contain", unwanted_word_parts_memo);
    verify_check = new QCheckBox("Verify with the compiler", this);
    build_command_edit = new QLineEdit(this);
    // One row for both, so that the memos above keep their height in the fixed-size dialog.
    build_command_edit->setPlaceholderText("build command, e.g. fpc -Mdelphi app.dpr");
    build_command_edit->setAccessibleName("Build command");
    build_timeout_spin = new QSpinBox(this);
    build_timeout_spin->setRange(1, 24 * 60 * 60);
    build_timeout_spin->setSuffix(" s");
    build_timeout_spin->setAccessibleName("Build time limit");
    auto* build = new QHBoxLayout;
    build->addWidget(build_command_edit, 1);
    build->addWidget(build_timeout_spin);
    options()->addRow(verify_check, build);

    store::Table& p = owner.projects();
    extensions_edit->setText(to_q(p.text(field::SourceExtensions)));
    ignore_interface_check->setChecked(p.logical(field::Cignoreinterface));
    follow_links_check->setChecked(p.logical(field::Cfollowlinks));
    min_length_edit->setText(to_q(p.text(field::Cminlength)));
    required_chars_edit->setText(to_q(p.text(field::Ceditchars)));
    context_lines_edit->setText(to_q(p.text(field::Ccontextlines)));
    ignored_starts_edit->setText(to_q(p.text(field::Cstartignore)));
    unwanted_strings_memo->setPlainText(message_text(p.text(field::Cunwantedstrings)));
    unwanted_word_parts_memo->setPlainText(message_text(p.text(field::Cunwantedwordparts)));
    verify_check->setChecked(p.logical(field::Cverify));
    build_command_edit->setText(to_q(p.text(field::Cbuildcommand)));
    build_timeout_spin->setValue(static_cast<int>(p.integer(field::Cbuildtimeout)));

    hints()->add(extensions_edit,
                 "Extensions|All the files in the specified directory will be scanned.\r\n"
                 "Separate several extensions with \";\".");
    hints()->add(ignore_interface_check, "Ignore interface|Recommended.");
    hints()->add(follow_links_check,
                 "Follow outside links|A unit reached through a symbolic link "
                 "that leads out of the project folder is scanned and rewritten where it lies, "
                 "outside the project. Left off, such units are listed and left alone.");
    hints()->add(min_length_edit,
                 "Minimum length|If the string is shorter than the specified length, it will be "
                 "ignored.");
    hints()->add(required_chars_edit,
                 "Line must contain|When the line does not contain one or more of these "
                 "characters, it is ignored");
    hints()->add(context_lines_edit,
                 "Context lines|This number of lines surrounding your text will be displayed-");
    hints()->add(ignored_starts_edit,
                 "String must not start with|If the string starts with one of these characters, "
                 "it will be ignored.");
    hints()->add(unwanted_strings_memo,
                 "Line must not contain|If a line contains one of these substrings, it will be "
                 "ignored.");
    hints()->add(unwanted_word_parts_memo,
                 "Word must not contain|If a word contains one of these substrings, it will be "
                 "ignored.");
    hints()->add(verify_check,
                 "Verify with the compiler|After the scan the project is built with the build "
                 "command. Every rewritten line the compiler refuses gets its literals back, "
                 "and the project is built again, until it compiles.");
    hints()->add(build_command_edit,
                 "Build command|The command that builds the project, run in the project "
                 "directory, for example fpc -Mdelphi app.dpr or lazbuild app.lpi.");
    hints()->add(build_timeout_spin,
                 "Build time limit|A build that takes longer is stopped, with every process it "
                 "started. Cancel in the status bar stops it at once.");
    hints()->add(delete_tables_button,
                 "Delete the translation table|This function deletes the contents of your tables "
                 "before scanning. ALL your translations will be lost!");
    std::string scan_hint = "Scans the PAS-files|";
    for (int i = 0; i < 5; ++i)
        scan_hint += std::string(kInfo[i]) + (i == 1 || i == 4 ? "" : "\r\n");
    hints()->add(scan_button, scan_hint);
}

void CodeScanDialog::set_options(store::Table& p) {
    p.set_text(field::SourceExtensions, from_q(extensions_edit->text()));
    p.set_logical(field::Cignoreinterface, ignore_interface_check->isChecked());
    p.set_logical(field::Cfollowlinks, follow_links_check->isChecked());
    p.set_text(field::Cminlength, from_q(min_length_edit->text()));
    p.set_text(field::Ceditchars, from_q(required_chars_edit->text()));
    p.set_text(field::Ccontextlines, from_q(context_lines_edit->text()));
    p.set_text(field::Cstartignore, from_q(ignored_starts_edit->text()));
    p.set_text(field::Cunwantedstrings, memo_value(unwanted_strings_memo));
    p.set_text(field::Cunwantedwordparts, memo_value(unwanted_word_parts_memo));
    p.set_logical(field::Cverify, verify_check->isChecked());
    p.set_text(field::Cbuildcommand, from_q(build_command_edit->text()));
    p.set_integer(field::Cbuildtimeout, build_timeout_spin->value());
}

void CodeScanDialog::scan() {
    store_options();  // a number that is not one stops here, before any unit is read
    LanguageList languages = dialog_languages();
    const commands::ProjectHandles project = project_with(languages);
    const auto result = commands::ScanCode(project, {}, reporter());
    if (!result || !result->scanned) return;
    const code::CodeScanReport& report = result->report;
    set_scanned(languages.selected_language());
    reporter().status("");
    if (!report.skipped.empty())
        reporter().warning(
            commands::SkippedMessage(report.skipped, "units were left as they were:"));
    const Verified verified = verify_check->isChecked() ? verify(project) : Verified::Compiles;
    // What the scan kept because of where it stands, so that the user sees why a literal
    // is still in the code.
    const std::string left_alone = code::LeftAloneSummary(report.left_alone);
    const std::string details = left_alone.empty() ? "" : "\r\r" + left_alone + ".";
    // The counts the command line prints after its "Scanned." line.
    const std::string counts = commands::CodeScanCounts(report, false);
    if (verified == Verified::Compiles)
        reporter().information(commands::ScannedMessage(counts) + details);
    else if (verified == Verified::Stopped)
        reporter().warning(
            "Scanned, but the build was stopped before the compiler could judge "
            "the rewritten code.\r" +
            counts + "." + details);
    else
        reporter().warning(
            "Scanned, but the project does not compile: the compiler's errors "
            "are listed above.\r" +
            counts + "." + details);
    accept();
}

CodeScanDialog::Verified CodeScanDialog::verify(const commands::ProjectHandles& project) {
    const auto report = commands::VerifyCode(project, reporter());
    reporter().status("");
    if (!report) return Verified::DoesNotCompile;
    std::string text;
    for (const auto& line : code::VerifyReportLines(*report))
        text += (text.empty() ? "" : "\r") + line;
    if (!report->has_command || report->compiles) {
        reporter().information(text);
        return Verified::Compiles;
    }
    reporter().warning(text);
    return report->last_end == code::BuildEnd::Exited ? Verified::DoesNotCompile
                                                      : Verified::Stopped;
}

void CodeScanDialog::delete_tables() {
    LanguageList languages = dialog_languages();
    commands::DeleteCodeTables(project_with(languages), reporter());
}

}  // namespace lexorin::gui
