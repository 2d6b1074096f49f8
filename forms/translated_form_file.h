#pragma once

#include <string>

#include "forms/form_translation_writer.h"

// One form's translated form file: the form translated with the forms table and written beside
// it as the resource file that the unit's switch block links when TranslatedForm is set.
namespace lexorin::forms {

// The translated form file beside a form file: order_form.dfm -> order_form.tra.res, and a
// Lazarus form the same way, unit1.lfm -> unit1.tra.res.
std::string TranslatedFormPath(const std::string& form_path);

// Converts form_path to text in text_path (the temporary "Tempform.txt"), translates it with the
// writer's forms table, and writes TranslatedFormPath(form_path): a resource file holding
// the object stream. A binary form keeps every byte the translation does not change; a form
// stored as text goes through the same conversion as its text gives it. The file is replaced
// only once complete; any failure (a form that cannot be read, a text that is no form, a
// translation that cannot go into it) raises and leaves an older file as it was. Gives the
// number of strings replaced.
int WriteTranslatedForm(TranslatedFormWriter& writer, const std::string& form_path,
                        const std::string& text_path);

}  // namespace lexorin::forms
