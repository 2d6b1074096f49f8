#pragma once

#include <optional>
#include <string>

#include "base/reporter.h"
#include "project/language_list.h"
#include "project/status_line.h"
#include "store/table_store.h"
#include "store/transcopy.h"
#include "store/translation_tables.h"

// "What now?": how much of a language is translated, noted in the project's Reserve memo, and
// suggestions for the next step.
namespace lexorin::project {

struct StatusAdvice {
    store::StringCounts counts;  // forms rows and untranslated, then pascal rows and untranslated
    std::string summary;         // "Forms: 3 strings, 1 not translated. Code: ..."
    std::string advice;          // "Suggestions:\r...", for an information box
};

// "Forms: " + ft + " strings, " + fu + " not translated. Code: " + pt + " strings, " + pu +
// " not translated."
std::string CountSummary(const store::StringCounts& counts);

// The advice text from the Reserve memo (which already holds the new check line): the scans
// still missing, or the language's check lines and the four steps towards a translated program.
std::string BuildAdvice(const std::string& reserve, const std::string& language, bool forms_scanned,
                        bool code_scanned);

// Whether a units table lists a form file: a row other than "(Show all)". A missing table
// lists none.
bool lists_form_file(store::Session& session, const std::string& directory,
                     const std::string& file_name);

// The whole command on the current project row: the three precondition checks (nullopt when
// one fails; its message went to the reporter), the tables prepared in code mode, the counts,
// the "Check <language>: " status line, and the advice, which the caller shows.
std::optional<StatusAdvice> WhatNow(store::TDaten& daten, store::Table& projects,
                                    LanguageList& languages, Reporter& reporter,
                                    const std::string& date = short_date_today());

}  // namespace lexorin::project
