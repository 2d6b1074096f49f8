#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/reporter.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// Write changes -> Forms: for every form file of the project its translated form beside it, a
// resource file named <form>.tra.res that the unit links when TranslatedForm is set.
namespace lexorin::forms {

struct FormWriteReport {
    std::vector<std::string> written;  // form files whose translated form was written
    // Form files whose translated form was not written (an older one stays as it was), with the
    // reason: the form could not be read or is no form, or a translation cannot go into it.
    std::vector<std::pair<std::string, std::string>> failed;
    int strings_replaced = 0;
};

// Writes the translated forms (WriteTranslatedForm) of the current project row's form files from
// the forms table of the language, which daten holds in forms mode (PrepareLanguageTables).
// Afterwards names the forms that failed in a warning, reports the ones written, and records
// "Form changes written in " + language unless every form failed.
FormWriteReport WriteFormChanges(store::TDaten& daten, store::Table& projects,
                                 const std::string& language, Reporter& reporter);

// The closing text after every form was written: "Forms written correctly." and the reminder to
// copy the glue files from the program directory into the project directory.
std::string FormsWrittenMessage(const std::string& program_directory,
                                const std::string& project_directory);

}  // namespace lexorin::forms
