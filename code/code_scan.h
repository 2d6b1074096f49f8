#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "code/code_scan_options.h"
#include "code/pascal_context.h"
#include "code/restore_journal.h"
#include "code/string_store.h"
#include "project/file_walker.h"
#include "project/language_list.h"
#include "store/language_copies.h"
#include "store/string_tables.h"
#include "store/table_store.h"

// The Scan code command's work, shared by the dialog and the command line: the options taken from
// the project record, every unit walked and rewritten, the new rows copied to the other languages.
namespace lexorin::code {

// The code options of the current project row.
CodeScanOptions OptionsFromProject(const store::Table& projects);
// The unit files of the current project row, by its `Source extensions` masks, each file once
// whatever links lead to it. Folders that could not be read go to `unreadable` when given. Units
// and folders reached through links that lead out of the project directory are left out unless
// the row allows them (Cfollowlinks): a rewrite would change a file elsewhere. Those left out go
// to `skipped_links` when given (OutsideLinkReason says why).
std::vector<std::string> ProjectUnitFiles(
    const store::Table& projects, std::vector<project::UnreadableFolder>* unreadable = nullptr,
    std::vector<project::OutsideLink>* skipped_links = nullptr);

struct CodeScanReport {
    int units_scanned = 0;
    int strings_found = 0;
    // Units left as they were, with the reason.
    std::vector<std::pair<std::string, std::string>> skipped;
    // The strings a dry run would store: the reference number and the row.
    std::vector<std::pair<std::int64_t, FoundString>> would_add;
    int lines_changed = 0;  // dry run: lines that the rewrite would change (marker lines)
    // Literals the rules accepted but left as they are because of where they stand.
    ContextCounts left_alone{};
    // Why the scan stopped before its end, when it did: a batch of units it could not commit
    // (a full disk) was taken back, and its units and those after it are among `skipped`.
    std::string stopped;
};

// "12 literals left alone: 7 const section, 5 case label" (empty when none was).
std::string LeftAloneSummary(const ContextCounts& counts);

// Scans every unit of the current project into `pascal` (the scanned language's table) and
// `units` (the project's unit files), and the new rows into `other_languages` (the pascal tables
// of the project's other languages, store::OtherLanguageTables), batch by batch: a unit changes
// only once its rows are committed in every language. The lines the rewrite replaces go to
// `journal`; each batch is written down in the project's scan batch journal beside the tables.
// `languages` names every language of the project, the scanned one too. A unit that fails is
// left untouched, counted and listed; the scan goes on with the next. A batch that cannot be
// committed (a full disk) is taken back and ends the scan (`stopped`). Raises an Error, before
// any change, when a table cannot be written or the disks lack the space the scan needs. A
// batch a killed scan left must be settled first: the project's lock does that
// (commands::LockProject).
CodeScanReport RunCodeScan(const store::Table& projects, const LanguageList& languages,
                           store::PascalRows& pascal, store::UnitFiles& units,
                           std::vector<store::LanguageTable>& other_languages,
                           RestoreJournal& journal, Reporter& reporter);

// Before a project's first code scan (its unit files hold only the "(Show all)" row), the
// question "This rewrites N units in place. A backup archive exists / does not exist. Scan now?";
// none after that. The backup archive is looked for beside the tables.
std::optional<std::string> FirstScanQuestion(store::UnitFiles& units, const store::Table& projects);

// Reports what RunCodeScan would do with `pascal` and `units`, touching neither units nor
// tables.
CodeScanReport DryRunCodeScan(const store::Table& projects, store::PascalRows& pascal,
                              const store::UnitFiles& units, Reporter& reporter);

// The Delete table button: after a Yes, empties the pascal tables of every language of the
// project in `folder` and its unit files, which get their "(Show all)" row again, and its
// restore journal. A table that cannot be emptied is a warning; the others are emptied all the
// same. Returns false on No.
bool DeleteCodeTables(const store::TableFolder& folder, const std::string& project,
                      const LanguageList& languages, Reporter& reporter);

// Write changes -> Code: "strings.org" and "strings.tra" from `pascal`, and the glue files from
// the program directory (the folder of the tables), into the project directory
// (CodeWrittenMessage says so afterwards).
void WriteCodeChanges(const store::PascalRows& pascal, const store::Table& projects,
                      const CodePage& code_page, Reporter& reporter);

}  // namespace lexorin::code
