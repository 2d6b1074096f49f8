#pragma once

#include <optional>
#include <string>

#include "store/table_store.h"

// The one way a translation reaches a row of a pascal or forms table, whoever writes it: a
// translator's post in the editor, `lexorin-cli translate`, an undo, a PO import.
namespace lexorin::project {

// What one write sets on a row; a value left unset keeps what the row holds.
struct TranslationWrite {
    std::optional<std::string> translation;
    std::optional<bool> translated;
    std::optional<bool> ignore;
    std::optional<bool> changed;       // only where the table has the field
    std::optional<bool> needs_review;  // only where the table has the field
};

// Which flags a write stores.
enum class Flags {
    // The given values, then the before-post rule: a row is Translated exactly when its
    // translation is not blank, a form string is no longer Changed and no row NeedsReview. A
    // translator's post.
    ByRule,
    // The given values as they are: an undo puts a row back exactly; a PO import keeps a fuzzy
    // entry untranslated and leaves a form string's Changed mark to the next scan.
    AsGiven,
};

// When the row is committed: by the post itself, or by the table's next flush, so that the rows
// of one post or undo commit together.
enum class Commit { Now, WithFlush };

// Writes `write` into the current row of `table` and posts it. `form_string`: the table is a
// forms table, whose rows the rule takes out of Changed. A failure cancels the edit and is
// raised again.
void WriteTranslation(store::Table& table, const TranslationWrite& write, Flags flags,
                      bool form_string, Commit commit = Commit::Now);

}  // namespace lexorin::project
