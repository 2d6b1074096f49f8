#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "project/file_walker.h"
#include "project/language_list.h"
#include "store/language_copies.h"
#include "store/string_tables.h"
#include "store/table_store.h"

// The Scan forms dialog's work, shared by the dialog and the command line: every form file of the
// project converted to text and scanned into the selected language's forms table and the
// project's form files, the new rows copied to the other languages; and its Delete table button.
namespace lexorin::forms {

// The form files of the current project row, by its `Forms extension` masks.
// Folders that could not be read go to `unreadable` when given.
std::vector<std::string> ProjectFormFiles(
    const store::Table& projects, std::vector<project::UnreadableFolder>* unreadable = nullptr);

struct FormScanReport {
    int forms_scanned = 0;
    int strings_found = 0;
    // Forms that could not be read or scanned, with the reason; they added no rows.
    std::vector<std::pair<std::string, std::string>> skipped;
    // Why the scan stopped before its end, when it did: the tables could not take a form's rows
    // (a full disk), so every language's table was left as before that form; that form and the
    // ones after it are among `skipped`.
    std::string stopped;
};

// Scans `files` into `strings` (the scanned language's forms table) and `form_files` (the
// project's), and each form's new rows into `others`, the forms tables of the other languages.
// The unwanted strings and the non-text properties are the current project row's. The forms are
// committed in batches (FormScanBatch), each in every language or in none, so that a killed scan
// leaves every language's table as before some form. Each form's text is made in memory. A form
// that fails (unreadable, a broken binary form, a text that is no form) is skipped, counted and
// listed; the scan goes on with the next. A form whose rows the tables cannot take (a full disk)
// ends the scan (`stopped`), with every form before it stored. Wide strings are converted to
// `code_page`.
FormScanReport ScanAllForms(store::FormRows& strings, store::FormFiles& form_files,
                            std::vector<store::LanguageTable>& others, const store::Table& projects,
                            const std::vector<std::string>& files, const CodePage& code_page,
                            Reporter& reporter);

// The Scan button: the other languages' forms tables in `folder` brought level with `strings`
// (the selected language's), then ScanAllForms over the project's form files. Raises an Error,
// before any change, when the program directory lacks the space the scan needs. The caller shows
// "Scanned." and records "Forms scanned" in the project history. A form a killed scan left
// committed in some languages only must be taken back first: the project's lock does that.
FormScanReport RunFormScan(const store::TableFolder& folder, store::FormRows& strings,
                           store::FormFiles& form_files, const store::Table& projects,
                           const LanguageList& languages, const CodePage& code_page,
                           Reporter& reporter);

// The Delete table button: after a Yes, empties the forms tables of every language in `folder`
// and the project's form files, which get their "(Show all)" row again. Returns false on No.
bool DeleteFormTables(const store::TableFolder& folder, const std::string& project,
                      const LanguageList& languages, Reporter& reporter);

}  // namespace lexorin::forms
