#include "forms/form_write_changes.h"

#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "codec/form_errors.h"
#include "forms/form_scan.h"
#include "forms/form_translation_writer.h"
#include "forms/private_temp_directory.h"
#include "forms/translated_form_file.h"
#include "project/projects_table.h"
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

// The closing text after every form was written: "Forms written correctly." and the reminder to
// copy the glue files from the program directory into the project directory.
std::string FormsWrittenMessage(const std::string& program_directory,
                                const std::string& project_directory) {
    return "Forms written correctly.\r\r" + GlueReminder(program_directory, project_directory);
}

}  // namespace

FormWriteReport WriteFormChanges(store::FormRows& strings, store::FormFiles& form_files,
                                 const store::Table& projects, const CodePage& code_page,
                                 Reporter& reporter) {
    FormWriteReport report;
    // The tables lie in the program directory.
    const std::string& program_directory = strings.directory();
    const std::vector<std::string> files = ProjectFormFiles(projects);
    sweep_temporary_files_beside(files);  // leftovers of a killed run

    TranslatedFormWriter writer(strings, form_files, code_page, reporter);

    {
        PrivateTempDirectory temp;
        const std::string text_path = temp.file("Tempform.txt");
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string& form = files[i];
            reporter.progress(static_cast<int>(i), static_cast<int>(files.size()), form);
            try {
                report.strings_replaced += WriteTranslatedForm(writer, form, text_path);
                report.written.push_back(form);
            } catch (const std::exception& e) {
                // The report names the form; the reason gives the line or byte offset.
                report.failed.emplace_back(form, codec::FormFailureReason(e));
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
        reporter.information(FormsWrittenMessage(program_directory, directory));
    } else if (!report.written.empty()) {
        reporter.information(std::to_string(report.written.size()) + " of " +
                             std::to_string(files.size()) + " forms written correctly.\r\r" +
                             GlueReminder(program_directory, directory));
    }
    return report;
}

}  // namespace lexorin::forms
