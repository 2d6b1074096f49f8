#include "project/status_advice.h"

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "project/projects_table.h"
#include "store/table_files.h"
#include "store/translation_fields.h"
#include "store/translation_tables.h"

namespace lexorin::project {

std::string CountSummary(const store::StringCounts& c) {
    return "Forms: " + std::to_string(c.forms_rows) + " strings, " +
           std::to_string(c.forms_untranslated) +
           " not translated. Code: " + std::to_string(c.pascal_rows) + " strings, " +
           std::to_string(c.pascal_untranslated) + " not translated.";
}

std::string BuildAdvice(const std::string& reserve, const std::string& language, bool forms_scanned,
                        bool code_scanned) {
    std::string advice = "Suggestions:\r";
    bool missing = false;
    if (!forms_scanned) {
        advice += "\rScan the forms.";
        missing = true;
    }
    if (!code_scanned) {
        advice += "\rScan the code.";
        missing = true;
    }
    if (missing) {
        advice += "\r\rIf you cannot compile your code, please choose \"Write changes - code\"";
        return advice;
    }
    const std::string mark = "Check " + language;
    for (const auto& line : SplitLines(reserve)) {
        if (line.find(mark) == std::string::npos) continue;
        // From the seventh character on: the line without its leading "Check ".
        advice += "\r" + (line.size() > 6 ? line.substr(6, 255) : std::string());
    }
    advice += "\rYou might want to check your translation.";
    advice += "\rAfter that, choose \"Write changes\" and compile your program.";
    advice +=
        "\rBefore compiling, make sure that the files \"lx_lang.pas\" and \"lx_lang.inc\" "
        "are in your search path.";
    advice +=
        "\rThe program uses the translation once the dot is removed from \"{.$define "
        "TranslatedStrings}\" (strings) and \"{.$define TranslatedForm}\" (forms) in "
        "\"lx_lang.inc\".";
    return advice;
}

// Whether the project's list of form files names a form file: a row other than "(Show all)".
// A project whose list is missing has none.
static bool lists_form_file(const store::TableFolder& tables, const std::string& project) {
    const std::string file_name = store::table_file_name(project, {}, store::TableKind::Units);
    if (store::find_file_no_case(tables.directory, file_name).empty()) return false;
    store::FormFiles form_files(tables, project);
    store::Table& units = form_files.table();
    for (units.first(); !units.eof(); units.next())
        if (units.text(store::field::UnitName) != store::kShowAll) return true;
    return false;
}

LanguageStatus::LanguageStatus(const store::TableFolder& tables, const std::string& project,
                               const std::string& language, Reporter& reporter)
    : tables_(tables),
      project_(project),
      language_(language),
      forms_(tables, project, language),
      pascal_(tables, project, language),
      unit_files_(tables, project) {
    reporter.status("Analyzing translation of language " + language);
    result_.counts = store::CountStrings(forms_.table(), pascal_.table(), &reporter);
    result_.summary = CountSummary(result_.counts);
    reporter.status("");
}

StatusAdvice LanguageStatus::Advise(const std::string& reserve) {
    const bool forms_scanned = lists_form_file(tables_, project_);
    const bool code_scanned = unit_files_.record_count() >= 2;
    result_.advice = BuildAdvice(reserve, language_, forms_scanned, code_scanned);
    return result_;
}

}  // namespace lexorin::project
