#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/reporter.h"
#include "code/pascal_context.h"
#include "code/pascal_options.h"
#include "code/string_store.h"
#include "project/file_iterator.h"
#include "project/language_list.h"
#include "project/language_tables.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// The Scan code command's work, shared by the dialog and the command line: the options taken from
// the project record, every unit walked and rewritten, the new rows copied to the other languages.
namespace lexorin::code {

// The code options of the current project row.
PascalOptions OptionsFromProject(const store::Table& projects);
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

// Scans every unit of the current project into the language's tables, which `daten` holds in
// code mode (PrepareLanguageTables), and the new rows into the project's other languages, batch
// by batch: a unit changes only once its rows are committed in every language. A unit that
// fails is left untouched, counted and listed; the scan goes on with the next. A batch that
// cannot be committed (a full disk) is taken back and ends the scan (`stopped`). Raises an Error,
// before any change, when the disks lack the space the scan needs.
CodeScanReport RunCodeScan(store::TDaten& daten, const store::Table& projects,
                           const LanguageList& languages, Reporter& reporter);

// Before a project's first code scan (its file list holds only the "(Show all)" row), the
// question "This rewrites N units in place. A backup archive exists / does not exist. Scan now?";
// none after that. `daten` is in code mode (PrepareLanguageTables).
std::optional<std::string> FirstScanQuestion(store::TDaten& daten, const store::Table& projects);

// Reports what RunCodeScan would do, touching neither units nor tables.
CodeScanReport DryRunCodeScan(store::TDaten& daten, const store::Table& projects,
                              Reporter& reporter);

// The Delete table button: after a Yes, empties the pascal tables of every language and the
// project's pasfiles table, which gets its "(Show all)" row again. Returns false on No.
bool DeleteCodeTables(store::TDaten& daten, const std::string& project,
                      const LanguageList& languages, Reporter& reporter);

// Write changes -> Code: "strings.org", "strings.tra" and the glue files into the project
// directory, then the status line "Code changes written in " + language.
void WriteCodeChanges(store::TDaten& daten, store::Table& projects, const std::string& language,
                      Reporter& reporter);

}  // namespace lexorin::code
