#include "project/status_advice.h"

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "project/language_tables.h"
#include "project/project_ready.h"
#include "project/projects_table.h"
#include "store/table_files.h"
#include "store/translation_fields.h"

namespace lexorin::project {

std::string CountSummary(const store::StringCounts& c) {
    return "Forms: " + std::to_string(c.source_rows) + " strings, " +
           std::to_string(c.source_untranslated) +
           " not translated. Code: " + std::to_string(c.destination_rows) + " strings, " +
           std::to_string(c.destination_untranslated) + " not translated.";
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
        "\rIf \"lx_lang.inc\" contains \"{$translatedform}\", the translated strings are used.";
    return advice;
}

bool lists_form_file(store::Session& session, const std::string& directory,
                     const std::string& file_name) {
    if (store::find_file_no_case(directory, file_name).empty()) return false;
    store::Table units(session, directory, file_name);
    units.open();
    for (units.first(); !units.eof(); units.next())
        if (units.text(store::field::UnitName) != store::kShowAll) return true;
    return false;
}

std::optional<StatusAdvice> WhatNow(store::TDaten& daten, store::Table& projects,
                                    LanguageList& languages, Reporter& reporter,
                                    const std::string& date) {
    if (!CheckProjectReady(projects, languages, false, false, reporter)) return std::nullopt;
    if (!CheckProjectReady(projects, languages, true, false, reporter)) return std::nullopt;
    if (!CheckProjectReady(projects, languages, true, true, reporter)) return std::nullopt;
    const std::string project = projects.text(field::Name);
    const std::string language = languages.selected_language();
    PrepareLanguageTables(daten, project, language, true);

    reporter.status("Analyzing translation of language " + language);
    store::Ttranscopy copier(daten.session());
    copier.StatusBar = &reporter;
    copier.intablename = daten.tblForms.table_name();
    copier.outtablename = daten.tblPascal.table_name();
    copier.path = daten.program_directory();
    copier.OpenTables();
    StatusAdvice result;
    result.counts = copier.CountStrings();
    copier.CloseTables();
    result.summary = CountSummary(result.counts);
    reporter.status("");

    AddStatusLine(projects, "Check " + language + ": ", result.summary, date);

    bool forms_scanned =
        lists_form_file(daten.session(), daten.program_directory(),
                        store::table_file_name(project, language, store::TableKind::Units));
    bool code_scanned = daten.tblPasFiles.record_count() >= 2;
    result.advice =
        BuildAdvice(projects.text(field::Reserve), language, forms_scanned, code_scanned);
    return result;
}

}  // namespace lexorin::project
