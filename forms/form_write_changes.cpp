#include "forms/form_write_changes.h"

#include <filesystem>

#include "base/errors.h"
#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "code/translator.h"
#include "forms/form_conversion.h"
#include "forms/form_scan.h"
#include "forms/form_text_check.h"
#include "forms/private_temp_directory.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "project/status_line.h"
#include "store/translation_fields.h"

namespace lexorin::forms {

namespace field = project::field;

namespace {

constexpr const char* kTranslatedExtension = ".tra";

std::string GlueReminder(const std::string& program_directory,
                         const std::string& project_directory) {
    std::string from = program_directory;
    if (!from.empty() && from.back() != '/') from += '/';
    return "if you do or did not write the code changes, copy the files lx_lang.pas and "
           "lx_lang.inc from " +
           from + " to " + project_directory + ".";
}

// One form: its text through "Tempform.txt", translated, and back into its ".tra".
int WriteTranslatedForm(code::TTranslator& translator, const std::string& form,
                        const std::string& text_path) {
    const std::string target = TranslatedFormPath(form);
    if (equal_no_case(target, form))
        throw Error("Cannot write a translation of " + form +
                    ": it has the extension of a translated form itself");
    // The codes the text form cannot show (a small 64-bit integer, a wide string of plain
    // letters, an inherited frame) go back as the form had them.
    FormStreamCodes codes;
    const bool was_text = FormFileToText(form, text_path, &codes);
    const int replaced = translator.TranslateForm(text_path, form);
    // A form stored as text goes back as a copy of its text: a text that is no form (or one a
    // translation broke) must not reach the ".tra"; a binary form is checked on its way back.
    if (was_text) CheckFormTextFile(text_path);
    TextFileToForm(text_path, target, was_text, &codes);
    return replaced;
}

}  // namespace

std::string TranslatedFormPath(const std::string& form_path) {
    return std::filesystem::path(form_path).replace_extension(kTranslatedExtension).string();
}

std::string FormsWrittenMessage(const std::string& program_directory,
                                const std::string& project_directory) {
    return "Forms written correctly.\r\r" + GlueReminder(program_directory, project_directory);
}

FormWriteReport WriteFormChanges(store::TDaten& daten, store::Table& projects,
                                 const std::string& language, Reporter& reporter) {
    FormWriteReport report;
    ProjectLock lock(daten.program_directory(), projects.text(field::Name));
    daten.tblForms.open();
    daten.tblUnits.open();
    daten.tblUnits.set_index_name(store::order::Name);
    const std::vector<std::string> files = ProjectFormFiles(projects);
    sweep_temporary_files_beside(files);  // leftovers of a killed run

    code::TTranslator translator = FormTranslator(daten, reporter);

    {
        PrivateTempDirectory temp;
        const std::string text_path = temp.file("Tempform.txt");
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string& form = files[i];
            reporter.progress(static_cast<int>(i), static_cast<int>(files.size()), form);
            try {
                report.strings_replaced += WriteTranslatedForm(translator, form, text_path);
                report.written.push_back(form);
            } catch (const std::exception& e) {
                report.failed.emplace_back(form, e.what());
            }
            remove_if_present(text_path);
        }
        reporter.progress(static_cast<int>(files.size()), static_cast<int>(files.size()), "");
    }

    const std::string directory = projects.text(field::Directory);
    if (!report.failed.empty()) {
        std::string text = "These forms were not written; their .tra files stay as they were:";
        for (const auto& [form, reason] : report.failed) text += "\r" + form + ": " + reason;
        reporter.warning(text);
    }
    if (report.failed.empty()) {
        reporter.information(FormsWrittenMessage(daten.program_directory(), directory));
    } else if (!report.written.empty()) {
        reporter.information(std::to_string(report.written.size()) + " of " +
                             std::to_string(files.size()) + " forms written correctly.\r\r" +
                             GlueReminder(daten.program_directory(), directory));
    }
    if (report.failed.empty() || !report.written.empty())
        AddStatusLine(projects, "Form changes written in " + language, "");
    return report;
}

}  // namespace lexorin::forms
