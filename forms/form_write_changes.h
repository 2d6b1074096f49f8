#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "store/string_tables.h"
#include "store/table_store.h"

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
// `strings`, the forms table of the language, and `form_files`, the project's; translations are
// written in `code_page`. Afterwards names the forms that failed in a warning and reports the
// ones written.
FormWriteReport WriteFormChanges(store::FormRows& strings, store::FormFiles& form_files,
                                 const store::Table& projects, const CodePage& code_page,
                                 Reporter& reporter);

}  // namespace lexorin::forms
