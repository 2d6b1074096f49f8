#include "forms/form_scan.h"

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/translator.h"
#include "forms/form_conversion.h"
#include "forms/form_text_check.h"
#include "forms/private_temp_directory.h"
#include "project/file_iterator.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "store/transcopy.h"
#include "store/translation_fields.h"

namespace lexorin::forms {

namespace field = project::field;

code::TTranslator FormTranslator(store::TDaten& daten, Reporter& reporter) {
    code::TTranslator translator;
    translator.UnitsTable = &daten.tblUnits;
    translator.FormsTable = &daten.tblForms;
    translator.PascalTable = &daten.tblPascal;
    translator.StatusBar = &reporter;
    translator.FormsCodePage = daten.code_page();
    return translator;
}

std::vector<std::string> ProjectFormFiles(const store::Table& projects,
                                          std::vector<project::UnreadableFolder>* unreadable) {
    return project::ProjectFiles(projects, field::FormsExtension, unreadable);
}

FormScanReport ScanAllForms(store::TDaten& daten, const store::Table& projects,
                            Reporter& reporter) {
    FormScanReport report;
    daten.tblUnits.open();
    daten.tblUnits.set_index_name(store::order::Name);
    daten.tblForms.open();
    std::vector<project::UnreadableFolder> unreadable;
    const std::vector<std::string> files = ProjectFormFiles(projects, &unreadable);
    for (const auto& [folder, reason] : unreadable)
        report.skipped.emplace_back(folder + "/", "the folder cannot be read: " + reason);

    code::TTranslator translator = FormTranslator(daten, reporter);
    translator.UnwantedStrings = SplitLines(projects.text(field::Funwantedstrings));

    PrivateTempDirectory temp;
    const std::string text_path = temp.file("Tempform.txt");
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& form = files[i];
        reporter.progress(static_cast<int>(i), static_cast<int>(files.size()), form);
        try {
            // A form stored as text is copied as it stands; only a real form text is scanned,
            // so that a file of another kind under a form's name adds no rows.
            if (FormFileToText(form, text_path)) CheckFormTextFile(text_path);
            report.strings_found += translator.ScanForm(text_path, form);
            ++report.forms_scanned;
        } catch (const std::exception& e) {
            report.skipped.emplace_back(form, e.what());
        }
        remove_if_present(text_path);
    }
    reporter.progress(static_cast<int>(files.size()), static_cast<int>(files.size()), "");
    daten.tblUnits.flush();
    daten.tblForms.flush();
    return report;
}

void CopyFormsToLanguages(store::TDaten& daten, const std::string& project,
                          const LanguageList& languages, Reporter& reporter) {
    store::CopyToOtherLanguages(daten, daten.tblForms, project, languages.items,
                                store::TableKind::Forms, "Copying forms language to ", reporter);
}

FormScanReport RunFormScan(store::TDaten& daten, const store::Table& projects,
                           const LanguageList& languages, Reporter& reporter) {
    ProjectLock lock(daten.program_directory(), projects.text(field::Name));
    // The tables every language gets are checked before anything is written.
    store::RequireWritableTables(daten, projects.text(field::Name), languages.items,
                                 store::TableKind::Forms);
    require_writable_file(projects.path(), "The project table");
    FormScanReport report = ScanAllForms(daten, projects, reporter);
    CopyFormsToLanguages(daten, projects.text(field::Name), languages, reporter);
    return report;
}

bool DeleteFormTables(store::TDaten& daten, const std::string& project,
                      const LanguageList& languages, Reporter& reporter) {
    if (!reporter.confirm(
            "Do you really want to delete your last forms scan and ALL of your translations?"))
        return false;
    ProjectLock lock(daten.program_directory(), project);
    for (const auto& language : languages.items) {
        daten.tblForms.close();
        daten.tblForms.set_table_name(
            store::table_file_name(project, language, store::TableKind::Forms));
        daten.tblForms.empty();
        daten.tblForms.open();
    }
    daten.tblUnits.close();
    daten.tblUnits.set_table_name(store::table_file_name(project, "", store::TableKind::Units));
    daten.tblUnits.empty();
    daten.tblUnits.open();
    daten.tblUnits.append_record({0, store::kShowAll});
    daten.tblUnits.flush();
    return true;
}

}  // namespace lexorin::forms
