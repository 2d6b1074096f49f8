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

Tlx_codeform::Tlx_codeform(Tlx_project& owner)
    : ScanDialog(owner, "Scan code", "Code options", info_lines(), QSize(729, 483)) {
    dbcodeext = new QLineEdit(this);
    cbIgnoreInterface = new QCheckBox("&Ignore interface", this);
    edMinLength = new QLineEdit(this);
    edEditChars = new QLineEdit(this);
    edContextLines = new QLineEdit(this);
    edStartIgnore = new QLineEdit(this);
    meUnwantedStrings = new QPlainTextEdit(this);
    meUnwantedWordParts = new QPlainTextEdit(this);
    cbFollowLinks = new QCheckBox("&Follow outside links", this);
    options()->addRow("E&xtensions", dbcodeext);
    // Both check boxes on one row, so that the memos below keep their height in the fixed-size
    // dialog.
    auto* checks = new QHBoxLayout;
    checks->addWidget(cbIgnoreInterface);
    checks->addWidget(cbFollowLinks);
    checks->addStretch(1);
    options()->addRow(QString(), checks);
    options()->addRow("&min. length", edMinLength);
    options()->addRow("&Line must contain", edEditChars);
    options()->addRow("&Number of context lines", edContextLines);
    options()->addRow("String must &not start with", edStartIgnore);
    options()->addRow("Line &must not contain", meUnwantedStrings);
    options()->addRow("&Word must not contain", meUnwantedWordParts);
    cbVerify = new QCheckBox("Verify with the compiler", this);
    edBuildCommand = new QLineEdit(this);
    // One row for both, so that the memos above keep their height in the fixed-size dialog.
    edBuildCommand->setPlaceholderText("build command, e.g. fpc -Mdelphi app.dpr");
    edBuildCommand->setAccessibleName("Build command");
    sbBuildTimeout = new QSpinBox(this);
    sbBuildTimeout->setRange(1, 24 * 60 * 60);
    sbBuildTimeout->setSuffix(" s");
    sbBuildTimeout->setAccessibleName("Build time limit");
    auto* build = new QHBoxLayout;
    build->addWidget(edBuildCommand, 1);
    build->addWidget(sbBuildTimeout);
    options()->addRow(cbVerify, build);

    store::Table& p = owner.projects();
    dbcodeext->setText(to_q(p.text(field::SourceExtensions)));
    cbIgnoreInterface->setChecked(p.logical(field::Cignoreinterface));
    cbFollowLinks->setChecked(p.logical(field::Cfollowlinks));
    edMinLength->setText(to_q(p.text(field::Cminlength)));
    edEditChars->setText(to_q(p.text(field::Ceditchars)));
    edContextLines->setText(to_q(p.text(field::Ccontextlines)));
    edStartIgnore->setText(to_q(p.text(field::Cstartignore)));
    meUnwantedStrings->setPlainText(message_text(p.text(field::Cunwantedstrings)));
    meUnwantedWordParts->setPlainText(message_text(p.text(field::Cunwantedwordparts)));
    cbVerify->setChecked(p.logical(field::Cverify));
    edBuildCommand->setText(to_q(p.text(field::Cbuildcommand)));
    sbBuildTimeout->setValue(static_cast<int>(p.integer(field::Cbuildtimeout)));

    hints()->add(dbcodeext,
                 "Extensions|All the files in the specified directory will be scanned.\r\n"
                 "Separate several extensions with \";\".");
    hints()->add(cbIgnoreInterface, "Ignore interface|Recommended.");
    hints()->add(cbFollowLinks,
                 "Follow outside links|A unit reached through a symbolic link "
                 "that leads out of the project folder is scanned and rewritten where it lies, "
                 "outside the project. Left off, such units are listed and left alone.");
    hints()->add(edMinLength,
                 "Minimum length|If the string is shorter than the specified length, it will be "
                 "ignored.");
    hints()->add(edEditChars,
                 "Line must contain|When the line does not contain one or more of these "
                 "characters, it is ignored");
    hints()->add(edContextLines,
                 "Context lines|This number of lines surrounding your text will be displayed-");
    hints()->add(edStartIgnore,
                 "String must not start with|If the string starts with one of these characters, "
                 "it will be ignored.");
    hints()->add(meUnwantedStrings,
                 "Line must not contain|If a line contains one of these substrings, it will be "
                 "ignored.");
    hints()->add(meUnwantedWordParts,
                 "Word must not contain|If a word contains one of these substrings, it will be "
                 "ignored.");
    hints()->add(cbVerify,
                 "Verify with the compiler|After the scan the project is built with the build "
                 "command. Every rewritten line the compiler refuses gets its literals back, "
                 "and the project is built again, until it compiles.");
    hints()->add(edBuildCommand,
                 "Build command|The command that builds the project, run in the project "
                 "directory, for example fpc -Mdelphi app.dpr or lazbuild app.lpi.");
    hints()->add(sbBuildTimeout,
                 "Build time limit|A build that takes longer is stopped, with every process it "
                 "started. Cancel in the status bar stops it at once.");
    hints()->add(BitBtn1,
                 "Delete the translation table|This function deletes the contents of your tables "
                 "before scanning. ALL your translations will be lost!");
    std::string scan_hint = "Scans the PAS-files|";
    for (int i = 0; i < 5; ++i)
        scan_hint += std::string(kInfo[i]) + (i == 1 || i == 4 ? "" : "\r\n");
    hints()->add(BitBtn4, scan_hint);
}

void Tlx_codeform::set_options(store::Table& p) {
    p.set_text(field::SourceExtensions, from_q(dbcodeext->text()));
    p.set_logical(field::Cignoreinterface, cbIgnoreInterface->isChecked());
    p.set_logical(field::Cfollowlinks, cbFollowLinks->isChecked());
    p.set_text(field::Cminlength, from_q(edMinLength->text()));
    p.set_text(field::Ceditchars, from_q(edEditChars->text()));
    p.set_text(field::Ccontextlines, from_q(edContextLines->text()));
    p.set_text(field::Cstartignore, from_q(edStartIgnore->text()));
    p.set_text(field::Cunwantedstrings, memo_value(meUnwantedStrings));
    p.set_text(field::Cunwantedwordparts, memo_value(meUnwantedWordParts));
    p.set_logical(field::Cverify, cbVerify->isChecked());
    p.set_text(field::Cbuildcommand, from_q(edBuildCommand->text()));
    p.set_integer(field::Cbuildtimeout, sbBuildTimeout->value());
}

void Tlx_codeform::scan() {
    store_options();  // a number that is not one stops here, before any unit is read
    LanguageList languages = dialog_languages();
    const commands::ProjectHandles project{owner().projects(), owner().daten(), languages};
    const auto result = commands::ScanCode(project, {}, reporter());
    if (!result || !result->scanned) return;
    const code::CodeScanReport& report = result->report;
    set_scanned();
    reporter().status("");
    if (!report.skipped.empty()) {
        std::string text = std::to_string(report.skipped.size()) + " units were left as they were:";
        for (const auto& [path, reason] : report.skipped) text += "\r" + path + ": " + reason;
        reporter().warning(text);
    }
    const Verified verified = cbVerify->isChecked() ? verify(project) : Verified::Compiles;
    // What the scan kept because of where it stands, so that the user sees why a literal
    // is still in the code.
    const std::string left_alone = code::LeftAloneSummary(report.left_alone);
    const std::string details = left_alone.empty() ? "" : "\r\r" + left_alone + ".";
    if (verified == Verified::Compiles)
        reporter().information("Scanned." + details);
    else if (verified == Verified::Stopped)
        reporter().warning(
            "Scanned, but the build was stopped before the compiler could judge "
            "the rewritten code." +
            details);
    else
        reporter().warning(
            "Scanned, but the project does not compile: the compiler's errors "
            "are listed above." +
            details);
    accept();
}

Tlx_codeform::Verified Tlx_codeform::verify(const commands::ProjectHandles& project) {
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

void Tlx_codeform::delete_tables() {
    LanguageList languages = dialog_languages();
    code::DeleteCodeTables(owner().daten(), owner().projects().text(field::Name), languages,
                           reporter());
}

}  // namespace lexorin::gui
