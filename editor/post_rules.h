#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/reporter.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// What posting a row in the translation editor does: the before-post rule (a translation marks
// the row translated, a blank one untranslated; a row of a forms table is no longer changed;
// project::WriteTranslation applies it) and the after-post rule (the translation, or an Ignore,
// offered to every other untranslated row with the same original that is not ignored), the
// marks set on many rows at once, and what is needed to undo either exactly.
namespace lexorin::editor {

// Sets the translation of the current row of `table`, a table of `kind` (pascal or forms), and
// posts it with the before-post rule only.
void PostTranslation(store::Table& table, const std::string& translation, store::TableKind kind);

// Where a row stands, as the questions name it: "line 12" for a code string,
// "Form1.Button1.Caption" for a form string; a caller that knows the units may name them too.
using PlaceOf = std::function<std::string(const store::Table& row)>;
std::string DefaultPlace(const store::Table& row);

// The question that offers a translation to `count` other rows holding `original` (as the
// translator reads it), with the places of the first few of them.
std::string PropagationQuestion(int count, const std::string& original,
                                const std::vector<std::string>& places);
// The question of a row just ignored: ignore the `count` other untranslated rows too?
std::string IgnoreQuestion(int count, const std::string& original,
                           const std::vector<std::string>& places);
// How many places a question names at most; the rest it counts.
constexpr size_t kPlacesNamed = 5;

// A row's translation and flags: what a post writes to a row, or what a row held before a post
// changed it, with the row's identity so that undo finds it again. Last, so that an edit can be
// written {translation, translated, ignore, changed}. `needs_review` is false for a table
// without the field; a post by the rules clears it.
struct RowState {
    std::string translation;
    bool translated = false;
    bool ignore = false;
    bool changed = false;
    bool needs_review = false;
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
// looked at). The copies are made through a handle of their own, so that the caller's filter and
// position stay as they were; ignored rows are never changed: they hold strings that must stay as
// they are. The after-post rule asks `reporter` one of two questions, naming the rows (by
// `place_of`) and acting only on Yes:
//  - a row that the post ignored offers its Ignore to the other untranslated rows with the same
//    original (their translations stay);
//  - otherwise a row that is not ignored and holds a translation that is not blank offers it to
//    them (their Ignore stays).
// Returns what undo() needs.
PostRecord PostRow(store::Table& table, const RowState& edit, store::TableKind kind,
                   Reporter& reporter, const PlaceOf& place_of = DefaultPlace);

// What a translator sets on many rows at once. NeedsReview and Reviewed set or clear the
// row's NeedsReview and nothing else.
enum class RowMark { Ignore, NotIgnored, Translated, NotTranslated, NeedsReview, Reviewed };

// Sets `mark` on the rows `row_ids` of `table`, a table of `kind`, in one transaction, asking
// nothing. Translated leaves a row whose translation is blank as it is (a blank translation is
// no translation) and takes a form string out of Changed, as a post does. Returns the rows it
// changed, as they were, for undo(); rows that are gone are passed over.
PostRecord MarkRows(store::Table& table, const std::vector<std::int64_t>& row_ids, RowMark mark,
                    store::TableKind kind);

// Puts every row of a post back exactly as it was (no rules run).
void Undo(store::Table& table, const PostRecord& record);

}  // namespace lexorin::editor
