#include "editor/editor_filter.h"

#include <vector>

#include "store/translation_fields.h"

namespace lexorin::editor {

namespace {

struct StateKey {
    StateFilter state;
    const char* key;
};

constexpr StateKey kStateKeys[] = {{StateFilter::All, "all"},
                                   {StateFilter::Untranslated, "untranslated"},
                                   {StateFilter::NeedsReview, "review"},
                                   {StateFilter::Problems, "problems"}};

std::string term(const char* field, const std::string& value) {
    return std::string(field) + "=" + value;
}

}  // namespace

const char* state_filter_key(StateFilter state) {
    for (const auto& k : kStateKeys)
        if (k.state == state) return k.key;
    return "all";
}

StateFilter state_filter_from_key(std::string_view key) {
    for (const auto& k : kStateKeys)
        if (key == k.key) return k.state;
    return StateFilter::All;
}

std::string FilterExpression(const EditorFilter& filter) {
    std::vector<std::string> terms;
    const auto add = [&terms](std::string t) {
        for (const auto& have : terms)
            if (have == t) return;
        terms.push_back(std::move(t));
    };
    if (filter.no_ignored) add(term(store::field::Ignore, "0"));
    if (filter.changed_only) add(term(store::field::Changed, "1"));
    if (filter.not_translated) add(term(store::field::Translated, "0"));
    switch (filter.state) {
        case StateFilter::Untranslated:
            // What the counts call untranslated: neither translated nor ignored.
            add(term(store::field::Translated, "0"));
            add(term(store::field::Ignore, "0"));
            break;
        case StateFilter::NeedsReview:
            add(term(store::field::NeedsReview, "1"));
            break;
        case StateFilter::All:
        case StateFilter::Problems:
            break;
    }
    if (filter.file) add(term(store::field::UnitName, std::to_string(*filter.file)));
    std::string expression;
    for (const auto& t : terms) expression += (expression.empty() ? "" : " and ") + t;
    return expression;
}

std::unordered_map<std::int64_t, FileProgress> ProgressByFile(store::Table& table) {
    // Counted by the store in one pass. A file all of whose rows are ignored is listed with
    // nothing to translate.
    const std::string not_ignored = std::string(store::field::Ignore) + "=0";
    const std::string translated = not_ignored + " and " + store::field::Translated + "<>0";
    std::unordered_map<std::int64_t, FileProgress> progress;
    for (const auto& [file, counts] :
         table.count_by(store::field::UnitName, {not_ignored, translated}))
        progress[file] = FileProgress{counts[1], counts[0]};
    return progress;
}

std::string ProgressText(const FileProgress& progress) {
    return std::to_string(progress.translated) + " of " + std::to_string(progress.total) +
           " translated";
}

}  // namespace lexorin::editor
