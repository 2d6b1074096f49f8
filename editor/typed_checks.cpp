#include "editor/typed_checks.h"

#include "base/text_utils.h"

namespace lexorin::editor {

TypedChecks CheckTyped(std::string_view stored_original, std::string_view stored_translation,
                       const std::string& blanks, bool code_row,
                       const project::SpellChecker& speller, std::string_view translation_utf8) {
    TypedChecks checks;
    if (trim(std::string(stored_translation)).empty()) return checks;
    const std::string original = std::string(stored_original) + blanks;
    const std::string translation = std::string(stored_translation) + blanks;
    checks.findings = code_row ? project::CheckCodeTranslation(original, translation)
                               : project::CheckTranslation(original, translation);
    checks.misspellings = speller.Check(translation_utf8, 3);
    return checks;
}

std::vector<std::string> CheckLines(const TypedChecks& checks) {
    std::vector<std::string> lines;
    for (const auto& f : checks.findings)
        lines.push_back(std::string(project::check_kind_name(f.kind)) + ": " + f.detail);
    for (const auto& m : checks.misspellings) {
        std::string line = "spelling: " + m.word;
        for (size_t i = 0; i < m.suggestions.size(); ++i)
            line += (i == 0 ? " (" : ", ") + m.suggestions[i];
        if (!m.suggestions.empty()) line += ")";
        lines.push_back(line);
    }
    return lines;
}

}  // namespace lexorin::editor
