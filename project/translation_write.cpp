#include "project/translation_write.h"

#include "base/text_utils.h"
#include "store/translation_fields.h"

namespace lexorin::project {

namespace {

// The before-post rule, on the row in edit state: the translation decides the flag, so that an
// emptied translation leaves no row counted as translated with nothing to write.
void ApplyBeforePostRule(store::Table& table, bool form_string) {
    table.set_logical(store::field::Translated,
                      !trim(table.text(store::field::TranslateString)).empty());
    if (form_string) table.set_logical(store::field::Changed, false);
    // The translator's post is the review of a memory's suggestion.
    if (table.has_field(store::field::NeedsReview))
        table.set_logical(store::field::NeedsReview, false);
}

}  // namespace

void WriteTranslation(store::Table& table, const TranslationWrite& write, Flags flags,
                      bool form_string, Commit commit) {
    table.edit();
    try {
        if (write.translation) table.set_text(store::field::TranslateString, *write.translation);
        if (write.translated) table.set_logical(store::field::Translated, *write.translated);
        if (write.ignore) table.set_logical(store::field::Ignore, *write.ignore);
        if (write.changed && table.has_field(store::field::Changed))
            table.set_logical(store::field::Changed, *write.changed);
        if (write.needs_review && table.has_field(store::field::NeedsReview))
            table.set_logical(store::field::NeedsReview, *write.needs_review);
        if (flags == Flags::ByRule) ApplyBeforePostRule(table, form_string);
        if (commit == Commit::WithFlush)
            table.post_batched();
        else
            table.post();
    } catch (...) {
        table.cancel();
        throw;
    }
}

}  // namespace lexorin::project
