#include "editor/post_command.h"

#include "base/errors.h"
#include "store/translation_tables.h"

namespace lexorin::gui {

namespace {

void go_to_row(store::Table& table, std::int64_t row_id) {
    if (!table.find_key({row_id})) throw StoreError("Datensatz nicht gefunden");
}

}  // namespace

editor::RowState stored_row(store::Table& table, std::int64_t row_id) {
    go_to_row(table, row_id);
    return editor::row_state(table);
}

// What `before` rows hold now, so that a redo after an undo restores it exactly.
static editor::PostRecord rows_now(store::Table& table, const editor::PostRecord& before) {
    editor::PostRecord after;
    store::Table rows(table.session(), table.directory(), table.table_name());
    rows.open();
    for (const auto& r : before.rows)
        if (rows.find_key({r.row_id})) after.rows.push_back(editor::row_state(rows));
    return after;
}

std::unique_ptr<PostCommand> PostCommand::post(store::Table& table, const editor::RowState& edit,
                                               store::TableKind kind, Reporter& reporter,
                                               std::function<void()> refresh,
                                               const editor::PlaceOf& place_of) {
    go_to_row(table, edit.row_id);
    editor::PostRecord before = editor::PostRow(table, edit, kind, reporter, place_of);
    editor::PostRecord after = rows_now(table, before);
    return std::make_unique<PostCommand>(table, std::move(before), std::move(after),
                                         std::move(refresh));
}

std::unique_ptr<PostCommand> PostCommand::mark(store::Table& table,
                                               const std::vector<std::int64_t>& row_ids,
                                               editor::RowMark mark, store::TableKind kind,
                                               std::function<void()> refresh) {
    editor::PostRecord before = editor::MarkRows(table, row_ids, mark, kind);
    if (before.empty()) return nullptr;
    editor::PostRecord after = rows_now(table, before);
    return std::make_unique<PostCommand>(table, std::move(before), std::move(after),
                                         std::move(refresh));
}

PostCommand::PostCommand(store::Table& table, editor::PostRecord before, editor::PostRecord after,
                         std::function<void()> refresh)
    : QUndoCommand("post"),
      table_(table),
      before_(std::move(before)),
      after_(std::move(after)),
      refresh_(std::move(refresh)) {}

void PostCommand::undo() {
    editor::Undo(table_, before_);
    refresh_();
}

void PostCommand::redo() {
    if (first_) {
        first_ = false;  // the post itself has been made already
        return;
    }
    editor::Undo(table_, after_);
    refresh_();
}

}  // namespace lexorin::gui
