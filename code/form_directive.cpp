#include "code/form_directive.h"

#include "base/text_utils.h"

namespace lexorin::code {

namespace {

// Where the extension of the last path element begins, or npos.
size_t ExtensionStart(std::string_view file) {
    const size_t dot = file.rfind('.');
    const size_t slash = file.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::string_view::npos;
    return dot;
}

// A Delphi form and a Lazarus form: both are linked as a form and switched the same way.
bool IsFormExtension(std::string_view extension) {
    return equal_no_case(extension, ".dfm") || equal_no_case(extension, ".lfm");
}

}  // namespace

std::optional<FormDirective> ParseFormDirective(std::string_view line) {
    // Every line of a unit is asked: those that cannot begin a directive go without a copy.
    const std::string_view start = trim_view(line);
    if (start.size() < 4 || start[0] != '{' || start[1] != '$' || upper_char(start[2]) != 'R')
        return std::nullopt;
    const std::string text(start);
    const std::string upper = upper_case(text);
    size_t name_start = 0;
    if (starts_with(upper, "{$R ")) {
        name_start = 4;
    } else if (starts_with(upper, "{$RESOURCE ")) {
        name_start = 11;
    } else {
        return std::nullopt;
    }
    if (!ends_with(text, "}") || text.find('}') != text.size() - 1) return std::nullopt;
    std::string file =
        trim(std::string_view(text).substr(name_start, text.size() - 1 - name_start));
    if (file.size() >= 2 && file.front() == '\'' && file.back() == '\'')
        file = file.substr(1, file.size() - 2);
    if (file.empty() || file.find_first_of(" '") != std::string::npos) return std::nullopt;
    const size_t dot = ExtensionStart(file);
    if (dot == std::string::npos || !IsFormExtension(std::string_view(file).substr(dot)))
        return std::nullopt;
    return FormDirective{file};
}

std::string TranslatedFormDirective(const FormDirective& directive) {
    return "{$R " + TranslatedFormName(directive.file) + "}";
}

}  // namespace lexorin::code
