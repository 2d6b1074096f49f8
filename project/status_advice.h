#pragma once

#include <string>

#include "base/reporter.h"
#include "project/language_list.h"
#include "store/string_tables.h"
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

// "What now?" on one language of a project, in the two steps around its status line: the
// counts first, then the advice, which reads the check line the caller has recorded by then.
class LanguageStatus {
  public:
    // Opens the language's tables and the project's unit files (a missing table raises the
    // store's error) and counts the strings, "Analyzing translation of language <language>" on
    // the status bar meanwhile.
    LanguageStatus(const store::TableFolder& tables, const std::string& project,
                   const std::string& language, Reporter& reporter);

    // The counts and their summary; the advice is empty until Advise.
    const StatusAdvice& result() const { return result_; }
    // The advice from `reserve`, the project's status lines: the scans still missing, or the
    // language's check lines and the steps towards a translated program.
    StatusAdvice Advise(const std::string& reserve);

  private:
    store::TableFolder tables_;
    std::string project_;
    std::string language_;
    // Opened in this order, as the counts and the advice read them.
    store::FormRows forms_;
    store::PascalRows pascal_;
    store::UnitFiles unit_files_;
    StatusAdvice result_;
};

}  // namespace lexorin::project
