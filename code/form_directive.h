#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/translated_form_name.h"

// The resource directive that links a form unit's form ({$R *.dfm}, {$R order_form.dfm}, a
// Lazarus unit's {$R *.lfm}) and the translated form that Write changes -> Forms writes beside
// each form file. Free Pascal picks the way it links a resource file by its extension: a text
// form for .dfm/.lfm, a compiled resource file for .res, a resource script for anything else;
// so the translated form is a resource file, <name>.tra.res (TranslatedFormName,
// base/translated_form_name.h), holding the form as an RCDATA resource under its class name, as
// Delphi and Free Pascal both link and their streaming reads.
namespace lexorin::code {

// A line that holds nothing but a form resource directive.
struct FormDirective {
    std::string file;  // as written: "*.dfm", "Order_Form.DFM", "*.lfm"
};

// The directive of a line {$R file} or {$RESOURCE file} (any case, blanks around it, the file
// name optionally in apostrophes) whose file has a form extension (.dfm or .lfm); none for any
// other line.
std::optional<FormDirective> ParseFormDirective(std::string_view line);

// The directive that links the translated form in place of `directive`'s form: {$R *.tra.res}
// for {$R *.dfm} and {$R *.lfm} alike, the name Write changes -> Forms gives the form's
// translation.
std::string TranslatedFormDirective(const FormDirective& directive);

}  // namespace lexorin::code
