#pragma once

#include <memory>
#include <string>

#include "base/file_utils.h"
#include "forms/form_translation_writer.h"

// One form's translated form file: the form translated with the forms table and written beside
// it as the resource file that the unit's switch block links when TranslatedForm is set.
namespace lexorin::forms {

// The translated form file beside a form file: order_form.dfm -> order_form.tra.res, and a
// Lazarus form the same way, unit1.lfm -> unit1.tra.res.
std::string TranslatedFormPath(const std::string& form_path);

// Converts form_path to its text form in memory, translates it with the writer's forms table,
// and writes TranslatedFormPath(form_path): a resource file holding
// the object stream. A binary form keeps every byte the translation does not change; a form
// stored as text goes through the same conversion as its text gives it. The file is replaced
// only once complete; any failure (a form that cannot be read, a text that is no form, a
// translation that cannot go into it) raises and leaves an older file as it was. Gives the
// number of strings replaced.
int WriteTranslatedForm(TranslatedFormWriter& writer, const std::string& form_path);

// WriteTranslatedForm up to the last step: the translated form complete in a temporary file
// beside its target, neither synced nor in place. A writer of many forms finishes them unsynced,
// syncs them together (sync_file_systems) and then puts each in place (`file->replace()`).
// Raises as WriteTranslatedForm; nothing is left behind then.
struct PendingTranslatedForm {
    std::unique_ptr<AtomicFileWriter> file;
    int replaced = 0;  // strings replaced by a translation
};
PendingTranslatedForm PrepareTranslatedForm(TranslatedFormWriter& writer,
                                            const std::string& form_path);
// The same, with the text form kept in text_path (created or replaced).
int WriteTranslatedForm(TranslatedFormWriter& writer, const std::string& form_path,
                        const std::string& text_path);

}  // namespace lexorin::forms
