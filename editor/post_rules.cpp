#include "editor/post_rules.h"

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

std::string PropagationQuestion(int count) {
    return "There are " + std::to_string(count) +
           " additional untranslated occurences of the string that are currently not "
           "translated. Should these be translated, too?";
}

RowState row_state(const store::Table& table) {
    RowState row;
    row.row_id = table.row_id();
    row.translation = table.text(store::field::TranslateString);
    row.translated = table.logical(store::field::Translated);
    row.ignore = table.logical(store::field::Ignore);
    row.changed = table.has_field(store::field::Changed) && table.logical(store::field::Changed);
    return row;
}

// The whole state of a row; `batched` rows wait for the table's flush: the rows of one post or
// undo commit together.
static void write_row(store::Table& table, const RowState& edit, store::TableKind kind, bool rules,
                      bool batched = false) {
    project::WriteTranslation(table, {edit.translation, edit.translated, edit.ignore, edit.changed},
                              rules ? Flags::ByRule : Flags::AsGiven, is_form_string(kind),
                              batched ? Commit::WithFlush : Commit::Now);
}

PostRecord PostRow(store::Table& table, const RowState& edit, store::TableKind kind,
                   Reporter& reporter) {
    PostRecord record;
    record.rows.push_back(row_state(table));
    write_row(table, edit, kind, true);
    table.flush();

    // What the before-post rule left: the values that the other rows are offered.
    const std::string last_original = table.text(store::field::OriginalString);
    const bool last_ignore = table.logical(store::field::Ignore);
    const std::string last_translation = edit.translation;
    if (last_original.empty()) return record;

    // The other untranslated rows with exactly this original, on a handle of their own. An
    // ignored row is no text to translate (a field name, a version): it keeps its value.
    store::Table others(table.session(), table.directory(), table.table_name());
    others.open();
    others.set_filter(std::string(store::field::Translated) + "=0 and " + store::field::Ignore +
                      "=0");
    others.set_filtered(true);
    others.set_accept_test([&](const store::Table& row) {
        return row.text(store::field::OriginalString) == last_original;
    });
    // The rows to change are those that pass when the question is answered; the posted row
    // passes too when it is still untranslated.
    const std::int64_t posted = record.rows.front().row_id;
    std::vector<std::int64_t> ids = others.visible_row_ids();
    std::erase(ids, posted);
    if (ids.empty()) return record;
    if (!reporter.confirm(PropagationQuestion(static_cast<int>(ids.size())))) return record;
    others.set_accept_test(nullptr);
    others.set_filtered(false);
    RowState copy{last_translation, false, last_ignore, false};
    // Thousands of equal rows are one transaction; the status bar shows how far it is.
    const int total = static_cast<int>(ids.size());
    int done = 0;
    for (std::int64_t id : ids) {
        if (++done % 100 == 0) reporter.progress(done, total, "");
        if (!others.find_key({id})) continue;
        RowState before = row_state(others);
        copy.translated = before.translated;
        copy.changed = before.changed;
        write_row(others, copy, kind, true, true);
        record.rows.push_back(before);
    }
    others.flush();
    reporter.progress(total, total, "");
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
