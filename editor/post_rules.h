#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/reporter.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// What posting a row in the translation editor does: the before-post rule (a translation marks
// the row translated; a row of a forms table is no longer changed; project::WriteTranslation
// applies it) and the after-post rule (the translation offered to every other untranslated row
// with the same original that is not ignored), with what is needed to undo a post exactly.
namespace lexorin::editor {

// Sets the translation of the current row of `table`, a table of `kind` (pascal or forms), and
// posts it with the before-post rule only.
void PostTranslation(store::Table& table, const std::string& translation, store::TableKind kind);

// The question that offers a translation to `count` other rows.
std::string PropagationQuestion(int count);

// A row's translation and flags: what a post writes to a row, or what a row held before a post
// changed it, with the row's identity so that undo finds it again. Last, so that an edit can be
// written {translation, translated, ignore, changed}.
struct RowState {
    std::string translation;
    bool translated = false;
    bool ignore = false;
    bool changed = false;
    std::int64_t row_id = 0;
};

// Every row one post changed, the posted row first, then those the translation was copied to.
struct PostRecord {
    std::vector<RowState> rows;
    bool empty() const { return rows.empty(); }
};

// The current row of `table`.
RowState row_state(const store::Table& table);

// Posts `edit` on the current row of `table`, a table of `kind`, with both rules (its row id is not
// looked at); the propagation question, naming how many rows would change, goes to `reporter`, and
// the copies are made through a handle of their own, so that the caller's filter and position stay
// as they were. Ignored rows are never changed: they hold strings that must stay as they are.
// Returns what undo() needs.
PostRecord PostRow(store::Table& table, const RowState& edit, store::TableKind kind,
                   Reporter& reporter);

// Puts every row of a post back exactly as it was (no rules run).
void Undo(store::Table& table, const PostRecord& record);

}  // namespace lexorin::editor
