#pragma once

#include <string>
#include <string_view>

// The name of the translated form that Write changes -> Forms writes beside each form file and
// that a rewritten unit's switch block links. Free Pascal picks the way it links a resource file
// by its extension (a text form for .dfm/.lfm, a compiled resource file for .res, a resource
// script for anything else), so the translated form is a resource file, <name>.tra.res.
namespace lexorin {

inline constexpr std::string_view kTranslatedFormExtension = ".tra.res";

// The translated form's file name for a form file name or path: the last extension replaced by
// ".tra.res" (order_form.dfm -> order_form.tra.res, *.DFM -> *.tra.res, unit1.lfm ->
// unit1.tra.res).
inline std::string TranslatedFormName(std::string_view form_file) {
    const size_t dot = form_file.rfind('.');
    const size_t slash = form_file.find_last_of("/\\");
    // A dot in a folder's name starts no extension.
    const bool has_extension =
        dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    return std::string(form_file.substr(0, has_extension ? dot : std::string_view::npos)) +
           std::string(kTranslatedFormExtension);
}

}  // namespace lexorin
