#include "forms/form_write_changes.h"

#include "base/errors.h"
#include "base/file_utils.h"
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

// Translated forms are synced to disk together, this many at a time, and then put in place: one
// sync for them all where a sync each would wait for the disk once per form.
constexpr std::size_t kFormsPerSync = 100;

// A form on its way: its translated form finished in its temporary file, or why it failed.
struct PendingForm {
    std::string form;
    PendingTranslatedForm translated;
    std::string failure;
};
using PendingForms = std::vector<PendingForm>;

// Syncs the finished translated forms, then renames each over its target, and reports every
// form in its order.
void PutInPlace(PendingForms& pending, FormWriteReport& report) {
    std::vector<std::string> files;
    for (const PendingForm& form : pending)
        if (form.translated.file) files.push_back(form.translated.file->temp_path());
    std::string unsynced;
    try {
        sync_file_systems(files);
    } catch (const std::exception& e) {
        unsynced = e.what();
    }
    for (PendingForm& form : pending) {
        if (form.translated.file) {
            try {
                if (!unsynced.empty()) throw Error(unsynced);
                form.translated.file->replace();
                report.strings_replaced += form.translated.replaced;
                report.written.push_back(form.form);
                continue;
            } catch (const std::exception& e) {
                form.failure = codec::FormFailureReason(e);
            }
        }
        report.failed.emplace_back(form.form, form.failure);
    }
    pending.clear();  // the temporary files of forms that failed go
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
    // The command holds the project's lock: nothing changes the table while the forms are written.
    writer.ReadRowsAtOnce();

    // Each form's text is made in memory; the folders of form commands that were killed go.
    SweepKilledFormFolders();
    PendingForms pending;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& form = files[i];
        reporter.progress(static_cast<int>(i), static_cast<int>(files.size()), form);
        PendingForm& next = pending.emplace_back(PendingForm{form, {}, {}});
        try {
            next.translated = PrepareTranslatedForm(writer, form);
            next.translated.file->finish(false);
        } catch (const std::exception& e) {
            // The report names the form; the reason gives the line or byte offset.
            next.failure = codec::FormFailureReason(e);
            next.translated.file.reset();
        }
        if (pending.size() == kFormsPerSync) PutInPlace(pending, report);
    }
    PutInPlace(pending, report);
    reporter.progress(static_cast<int>(files.size()), static_cast<int>(files.size()), "");

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
