#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
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
#include "project/pretranslate.h"
#include "project/project_delete.h"
#include "project/status_advice.h"
#include "project/status_line.h"
#include "project/tmx_exchange.h"
#include "project/translation_checks.h"
#include "store/translation_tables.h"

// One function per command of the project window and of lexorin-cli. Each runs the whole frame
// of its command: the precondition (a failed one returns nullopt or false; its message went to
// the reporter), the project's lock when it changes the project, the tables it works on (opened
// up front and closed when it ends; a command on the selected language opens all four of its
// tables first, OpenLanguageTables), the work and its status line in the project's Reserve memo.
// The front ends read their input, call one of these and show the report (report_text.h formats
// what both show). The work itself (code/, forms/, project/) takes no lock and writes no status
// line: the frame is owned here alone, and a command that runs another one holds the lock once
// (the inner lock owns nothing).
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

// The Delete table buttons of the scan dialogs: after a Yes, the code (forms) tables of every
// language of `project.languages` emptied, and the project's unit (form) files left with their
// "(Show all)" row. False on No.
bool DeleteCodeTables(ProjectHandles project, Reporter& reporter);
bool DeleteFormTables(ProjectHandles project, Reporter& reporter);

// Write changes -> Code: "strings.org", "strings.tra" and the glue files of the selected
// language ("Code changes written in <language>").
bool WriteCode(ProjectHandles project, Reporter& reporter);

// Write changes -> Forms: a translated form (".tra.res") beside every form file ("Form changes
// written in <language>" unless every form failed).
std::optional<forms::FormWriteReport> WriteForms(ProjectHandles project, Reporter& reporter);

// Gives literals back to the units ("Code restored" when any came back).
std::optional<code::RestoreReport> RestoreCode(ProjectHandles project,
                                               const code::RestoreSelection& selection,
                                               Reporter& reporter);
// The same from the code result view, which shows the language's tables already: without the
// precondition, the view's own tables left as they are (they see the restored rows at once).
code::RestoreReport RestoreInView(ProjectHandles project, const code::RestoreSelection& selection,
                                  Reporter& reporter);

// "What now?": the selected language's counts (the first language when none is selected), its
// "Check <language>: " status line of `date` and the advice. It changes no table: it runs beside
// a command that holds the project.
std::optional<project::StatusAdvice> WhatNow(ProjectHandles project, Reporter& reporter,
                                             const std::string& date = short_date_today());

// Adds a language with its tables ("Language added: " or, for a listed language whose tables a
// killed command left incomplete, "Language completed: "). False when nothing was added.
bool AddLanguage(ProjectHandles project, const std::string& language, Reporter& reporter);
// The same for a language the user is asked for once the project is ready, the templates
// emptied; an empty answer adds nothing.
bool AddLanguage(ProjectHandles project, const std::function<std::string()>& ask_language,
                 Reporter& reporter);

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

// The backup offer: the question (ConfirmBackup), then `files` into the project's archive. False
// on No. On Yes the result's message is to be shown as information: "Your files have been
// backed up successfully into <program dir><project>.zip".
bool OfferBackup(const std::string& program_directory, const std::string& project_name,
                 const std::vector<std::string>& files, Reporter& reporter,
                 project::BackupResult* result = nullptr);

// Leaving the directory field: the source check, then the backup offer when the row has no
// stored directory yet (the first time a directory is given). Returns the backup when one was
// made. An archive that cannot be written raises Error: the caller then does not store the
// directory, so that the offer comes again.
std::optional<project::BackupResult> CheckSourcesAndOfferBackup(
    const std::string& program_directory, const std::string& project_name,
    const std::string& directory, bool recursive, const std::vector<std::string>& excluded,
    const std::string& stored_directory, Reporter& reporter,
    project::OutsideLinks links = project::OutsideLinks::Skip);

// A value for one field of the project row, as the front end read it: the text of a text,
// number or memo field (a memo's entries joined by CR LF), or the truth of a logical one.
using FieldValue = std::variant<std::string, bool>;

// Sets `field` of the current project row; raises Error for the project's name, which cannot
// change, for a Directory that does not exist, for a kind that is neither Delphi nor Lazarus
// and for a code page that is unknown. A new kind brings its defaults (project::SetProjectKind).
void SetProjectField(store::Table& projects, const std::string& program_directory,
                     const std::string& field, const FieldValue& value);

// One row of a language's code or forms table, its texts as stored.
struct StringRow {
    std::int64_t index = 0;
    std::string original;
    std::string translation;
    bool ignore = false;
};

// The rows of the selected language's table of `kind` in Index order, those `filter` accepts when
// given, each handed to `row`. It changes nothing but a forms table of the earlier layout, which
// gets its Context field.
void ListStrings(ProjectHandles project, store::TableKind kind,
                 const std::optional<std::string>& filter,
                 const std::function<void(const StringRow&)>& row);

// One translation set as the editor posts it, without the question about the other rows.
struct TranslationEdit {
    bool forms = false;  // a row of the forms table, else of the code table
    std::string row;     // the row's Index, digits as typed
    std::string text;    // the translation as it reads (a code row stores its literal body)
};

// Sets the translation of one row of the selected language and records it in the translation
// memory; raises Error when the table has no such row.
bool Translate(ProjectHandles project, const TranslationEdit& edit, Reporter& reporter);

// The selected language's strings to a PO file / translations from a PO file (those it writes
// as translated go into the translation memory, in one transaction).
project::PoExportResult ExportPo(ProjectHandles project, const std::string& po_path,
                                 const CodePage& code_page, Reporter& reporter);
project::PoImportResult ImportPo(ProjectHandles project, const std::string& po_path,
                                 const CodePage& code_page, Reporter& reporter);

// The selected language's untranslated rows filled from the program directory's translation
// memory: exact matches as translated, matches of at least `min_similarity` percent as
// suggestions to review (project::Pretranslate).
std::optional<project::PretranslateResult> Pretranslate(ProjectHandles project, int min_similarity,
                                                        Reporter& reporter);

// The selected language's entries of the program directory's translation memory to a TMX file,
// the originals under `source_language` (project::ExportTmx).
std::optional<project::TmxExportResult> ExportTmx(ProjectHandles project, const std::string& path,
                                                  Reporter& reporter,
                                                  const std::string& source_language = "en");
// Every translation of a TMX file into the program directory's translation memory, in one
// transaction; a malformed file raises Error and adds nothing (project::ImportTmx).
project::TmxImportResult ImportTmx(const std::string& program_directory, const std::string& path);

// The translations of the selected language whose placeholders, accelerators, blanks or line
// breaks differ from their originals.
// With `spelling`, the words of the translations too, with the dictionary installed for the
// language (none: no spelling findings).
std::vector<project::TranslationProblem> Check(ProjectHandles project, Reporter& reporter,
                                               bool spelling = false);

}  // namespace lexorin::commands
