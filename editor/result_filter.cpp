#include "editor/result_filter.h"

#include "base/text_utils.h"
#include "store/translation_tables.h"

namespace lexorin::editor {

bool IsShowAllRow(const std::string& unit_name) {
    return upper_case(unit_name) == upper_case(store::kShowAll);
}

namespace {

std::string lower_case_ascii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string choice_terms(const ResultChoices& choices) {
    std::string terms;
    if (choices.no_ignored) terms += std::string(" and ") + store::field::Ignore + "=0";
    if (choices.no_translated)
        terms += std::string(" and ") + store::field::TranslateString + "=''";
    if (choices.changed_only) terms += std::string(" and ") + store::field::Changed + "=1";
    return terms;
}

}  // namespace

std::string UnitClickFilter(const std::string& unit_name, std::int64_t key,
                            const ResultChoices& choices) {
    // The click names the field in lower case.
    std::string filter = lower_case_ascii(store::field::UnitName);
    filter += IsShowAllRow(unit_name) ? "<>" : "=";
    return filter + std::to_string(key) + choice_terms(choices);
}

std::string ChoicesFilter(const ResultChoices& choices) {
    std::string terms = choice_terms(choices);
    constexpr std::string_view joiner = " and ";
    return terms.empty() ? terms : terms.substr(joiner.size());
}

}  // namespace lexorin::editor
