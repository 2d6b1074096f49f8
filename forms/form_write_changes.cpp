#include "forms/form_write_changes.h"

#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "code/translator.h"
#include "forms/form_errors.h"
#include "forms/form_scan.h"
#include "forms/private_temp_directory.h"
#include "forms/translated_form_file.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "project/status_line.h"
#include "store/translation_fields.h"

namespace lexorin::forms {

namespace field = project::field;

namespace {

std::string GlueReminder(const std::string& program_directory,
                         const std::string& project_directory) {
    std::string from = program_directory;
    if (!from.empty() && from.back() != '/') from += '/';
    return "if you do or did not write the code changes, copy the files lx_lang.pas and "
           "lx_lang.inc from " +
           from + " to " + project_directory + ".";
}

}  // namespace

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
                // The report names the form; the reason gives the line or byte offset.
                report.failed.emplace_back(form, FormFailureReason(e));
            }
            remove_if_present(text_path);
        }
        reporter.progress(static_cast<int>(files.size()), static_cast<int>(files.size()), "");
    }

    const std::string directory = projects.text(field::Directory);
    if (!report.failed.empty()) {
        std::string text = "These forms were not written; their .tra.res files stay as they were:";
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
