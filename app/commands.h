#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/command_frame.h"
#include "base/code_page.h"
#include "base/reporter.h"
#include "code/code_scan.h"
#include "code/restore_code.h"
#include "code/verify_build.h"
#include "forms/form_scan.h"
#include "forms/form_write_changes.h"
#include "project/backup.h"
#include "project/po_exchange.h"
#include "project/project_delete.h"
#include "project/status_advice.h"
#include "project/translation_checks.h"

// One function per command of the project window and of lexorin-cli. Each runs the whole frame
// of its command: the precondition (a failed one returns nullopt or false; its message went to
// the reporter), the tables in the command's mode, the project's lock when it changes the
// project, the work, its status line in the project's Reserve memo, and the tables made ready
// for the next command. The front ends read their input, call one of these and show the report.
namespace lexorin::commands {

struct ScanCodeOptions {
    bool dry_run = false;  // report what a scan would do; nothing changes
};

struct ScanCodeResult {
    // False when the question before a project's first scan was answered No.
    bool scanned = false;
    code::CodeScanReport report;
};

// Scan -> Code: every unit scanned and rewritten ("Code scanned").
std::optional<ScanCodeResult> ScanCode(ProjectHandles project, const ScanCodeOptions& options,
                                       Reporter& reporter);

struct VerifyOptions {
    // The seconds each build may take; unset: the project's Cbuildtimeout.
    std::optional<int> time_limit_seconds;
};

// The compiler check after a code scan: builds with the project's build command and gives back
// the literals the compiler refuses ("Code restored", "Code verified: it compiles/does not").
std::optional<code::VerifyReport> VerifyCode(ProjectHandles project, Reporter& reporter,
                                             const VerifyOptions& options = {});

// Scan -> Forms: every form file into the forms tables of every language ("Forms scanned").
std::optional<forms::FormScanReport> ScanForms(ProjectHandles project, Reporter& reporter);

// Write changes -> Code: "strings.org", "strings.tra" and the glue files of the selected
// language.
bool WriteCode(ProjectHandles project, Reporter& reporter);

// Write changes -> Forms: a translated form (".tra.res") beside every form file. The tables stay in
// forms mode.
std::optional<forms::FormWriteReport> WriteForms(ProjectHandles project, Reporter& reporter);

// Gives literals back to the units ("Code restored" when any came back).
std::optional<code::RestoreReport> RestoreCode(ProjectHandles project,
                                               const code::RestoreSelection& selection,
                                               Reporter& reporter);
// The same inside a command whose tables are prepared and filtered already (the code result
// view): neither checks nor re-points them.
code::RestoreReport RestoreInPreparedTables(ProjectHandles project,
                                            const code::RestoreSelection& selection,
                                            Reporter& reporter);

// "What now?": the selected language's counts, its "Check" status line and the advice.
std::optional<project::StatusAdvice> WhatNow(ProjectHandles project, Reporter& reporter);

// Adds a language with its tables; an empty `language` is asked for ("New language").
// False when nothing was added.
bool AddLanguage(ProjectHandles project, const std::string& language, Reporter& reporter);

struct LanguageDeletion {
    bool deleted = false;             // false: not confirmed, or nothing selected
    std::vector<std::string> failed;  // files that could not be removed
};

// Deletes the selected language with its tables (asks first).
LanguageDeletion DeleteLanguage(ProjectHandles project, Reporter& reporter);

// Project -> Delete: the project's row and, when confirmed, its table files.
project::ProjectDeletion DeleteProject(ProjectHandles project, Reporter& reporter);

// The project's sources into its backup archive in the program directory, without asking.
std::optional<project::BackupResult> Backup(ProjectHandles project, Reporter& reporter);

// The selected language's strings to a PO file / translations from a PO file.
project::PoExportResult ExportPo(ProjectHandles project, const std::string& po_path,
                                 const CodePage& code_page, Reporter& reporter);
project::PoImportResult ImportPo(ProjectHandles project, const std::string& po_path,
                                 const CodePage& code_page, Reporter& reporter);

// The translations of the selected language whose placeholders, accelerators, blanks or line
// breaks differ from their originals.
std::vector<project::TranslationProblem> Check(ProjectHandles project, Reporter& reporter);

}  // namespace lexorin::commands
