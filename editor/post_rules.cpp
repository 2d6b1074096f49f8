#include "editor/post_rules.h"

#include "base/text_utils.h"
#include "editor/row_text.h"
#include "project/translation_write.h"
#include "store/translation_fields.h"

namespace lexorin::editor {

using project::Commit;
using project::Flags;

// The before-post rule takes a form string out of Changed; a literal of the code has no such
// mark to clear.
static bool is_form_string(store::TableKind kind) {
    return kind == store::TableKind::Forms;
}

void PostTranslation(store::Table& table, const std::string& translation, store::TableKind kind) {
    project::TranslationWrite write;
    write.translation = translation;
    project::WriteTranslation(table, write, Flags::ByRule, is_form_string(kind));
}

std::string DefaultPlace(const store::Table& row) {
    if (row.has_field(store::field::Object))
        return row.text(store::field::Object) + "." + row.text(store::field::Property);
    return "line " + std::to_string(row.integer(store::field::NewLine));
}

// The count, the original and the places of the first rows, one a line.
static std::string rows_named(int count, const std::string& original,
                              const std::vector<std::string>& places) {
    std::string text = "There " + std::string(count == 1 ? "is 1 other untranslated row" : "are ") +
                       (count == 1 ? "" : std::to_string(count) + " other untranslated rows") +
                       " with the original \"" + original + "\":";
    for (const auto& place : places) text += "\r  " + place;
    const int unnamed = count - static_cast<int>(places.size());
    if (unnamed > 0) text += "\r  ... and " + std::to_string(unnamed) + " more";
    return text;
}

std::string PropagationQuestion(int count, const std::string& original,
                                const std::vector<std::string>& places) {
    return rows_named(count, original, places) + "\r\r" +
           (count == 1 ? "Should it get this translation, too?"
                       : "Should these get this translation, too?");
}

std::string IgnoreQuestion(int count, const std::string& original,
                           const std::vector<std::string>& places) {
    return rows_named(count, original, places) + "\r\r" +
           (count == 1 ? "Should it be ignored, too?" : "Should these be ignored, too?");
}

RowState row_state(const store::Table& table) {
    RowState row;
    row.row_id = table.row_id();
    row.translation = table.text(store::field::TranslateString);
    row.translated = table.logical(store::field::Translated);
    row.ignore = table.logical(store::field::Ignore);
    row.changed = table.has_field(store::field::Changed) && table.logical(store::field::Changed);
    row.needs_review =
        table.has_field(store::field::NeedsReview) && table.logical(store::field::NeedsReview);
    return row;
}

// The whole state of a row; `batched` rows wait for the table's flush: the rows of one post or
// undo commit together.
static void write_row(store::Table& table, const RowState& edit, store::TableKind kind, bool rules,
                      bool batched = false) {
    project::TranslationWrite write;
    write.translation = edit.translation;
    write.translated = edit.translated;
    write.ignore = edit.ignore;
    write.changed = edit.changed;
    write.needs_review = edit.needs_review;
    project::WriteTranslation(table, write, rules ? Flags::ByRule : Flags::AsGiven,
                              is_form_string(kind), batched ? Commit::WithFlush : Commit::Now);
}

// The other untranslated rows that are not ignored and hold exactly `original`, without `posted`,
// on the handle `others`, which is left unfiltered.
static std::vector<std::int64_t> equal_rows(store::Table& others, const std::string& original,
                                            std::int64_t posted) {
    others.set_filter(std::string(store::field::Translated) + "=0 and " + store::field::Ignore +
                      "=0");
    others.set_filtered(true);
    others.set_accept_test([&](const store::Table& row) {
        return row.text(store::field::OriginalString) == original;
    });
    std::vector<std::int64_t> ids = others.visible_row_ids();
    std::erase(ids, posted);
    others.set_accept_test(nullptr);
    others.set_filtered(false);
    return ids;
}

static std::vector<std::string> places_of(store::Table& others,
                                          const std::vector<std::int64_t>& ids,
                                          const PlaceOf& place_of) {
    std::vector<std::string> places;
    for (std::int64_t id : ids) {
        if (places.size() == kPlacesNamed) break;
        if (others.find_key({id})) places.push_back(place_of(others));
    }
    return places;
}

PostRecord PostRow(store::Table& table, const RowState& edit, store::TableKind kind,
                   Reporter& reporter, const PlaceOf& place_of) {
    PostRecord record;
    record.rows.push_back(row_state(table));
    const bool was_ignored = record.rows.front().ignore;
    write_row(table, edit, kind, true);
    table.flush();

    // What the before-post rule left decides what the other rows are offered.
    const std::string original = table.text(store::field::OriginalString);
    const bool ignored = table.logical(store::field::Ignore);
    const bool ignoring = ignored && !was_ignored;
    const bool translating = !ignored && !trim(edit.translation).empty();
    if (original.empty() || (!ignoring && !translating)) return record;

    // The other rows, on a handle of their own. An ignored row is no text to translate (a field
    // name, a version): it keeps its value.
    store::Table others(table.session(), table.directory(), table.table_name());
    others.open();
    const std::vector<std::int64_t> ids = equal_rows(others, original, record.rows.front().row_id);
    if (ids.empty()) return record;
    const int total = static_cast<int>(ids.size());
    const std::string shown = ShownText(original, kind == store::TableKind::Pascal);
    const std::vector<std::string> places = places_of(others, ids, place_of);
    if (!reporter.confirm(ignoring ? IgnoreQuestion(total, shown, places)
                                   : PropagationQuestion(total, shown, places)))
        return record;
    // Thousands of equal rows are one transaction; the status bar shows how far it is.
    int done = 0;
    for (std::int64_t id : ids) {
        if (++done % 100 == 0) reporter.progress(done, total, "");
        if (!others.find_key({id})) continue;
        RowState before = row_state(others);
        RowState after = before;
        if (ignoring)
            after.ignore = true;  // as given: its translation and flags stay
        else
            after.translation = edit.translation;
        write_row(others, after, kind, !ignoring, true);
        record.rows.push_back(before);
    }
    others.flush();
    reporter.progress(total, total, "");
    return record;
}

PostRecord MarkRows(store::Table& table, const std::vector<std::int64_t>& row_ids, RowMark mark,
                    store::TableKind kind) {
    PostRecord record;
    store::Table rows(table.session(), table.directory(), table.table_name());
    rows.open();
    for (std::int64_t id : row_ids) {
        if (!rows.find_key({id})) continue;
        const RowState before = row_state(rows);
        RowState after = before;
        switch (mark) {
            case RowMark::Ignore:
                after.ignore = true;
                break;
            case RowMark::NotIgnored:
                after.ignore = false;
                break;
            case RowMark::Translated:
                if (trim(before.translation).empty()) continue;
                after.translated = true;
                if (is_form_string(kind)) after.changed = false;
                break;
            case RowMark::NotTranslated:
                after.translated = false;
                break;
            case RowMark::NeedsReview:
                if (!rows.has_field(store::field::NeedsReview)) continue;
                after.needs_review = true;
                break;
            case RowMark::Reviewed:
                after.needs_review = false;
                break;
        }
        if (after.ignore == before.ignore && after.translated == before.translated &&
            after.changed == before.changed && after.needs_review == before.needs_review)
            continue;
        write_row(rows, after, kind, false, true);
        record.rows.push_back(before);
    }
    rows.flush();
    return record;
}

void Undo(store::Table& table, const PostRecord& record) {
    store::Table rows(table.session(), table.directory(), table.table_name());
    rows.open();
    for (auto it = record.rows.rbegin(); it != record.rows.rend(); ++it) {
        if (!rows.find_key({it->row_id})) continue;
        // As given: no rule runs, so the kind does not matter.
        write_row(rows, *it, store::TableKind::Pascal, false, true);
    }
    rows.flush();
}

}  // namespace lexorin::editor
