#pragma once

#include <QUndoCommand>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/reporter.h"
#include "editor/post_rules.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::gui {

// Makes the row `row_id` of `table` current and returns what it holds, the start of an edit;
// raises when the row is gone.
editor::RowState stored_row(store::Table& table, std::int64_t row_id);

// One post of the translation editor as the undo stack keeps it: every row the post changed, as
// it was before and as the post left it, so that undo and redo restore either exactly.
class PostCommand : public QUndoCommand {
  public:
    // Posts `edit` to the row `edit.row_id` of `table`, a table of `kind`, by the posting rules
    // (the propagation question goes to `reporter`) and returns the command that takes it back;
    // pushing it does not post again. `refresh` shows the rows anew after an undo or a redo. Raises
    // what the post raises.
    static std::unique_ptr<PostCommand> post(
        store::Table& table, const editor::RowState& edit, store::TableKind kind,
        Reporter& reporter, std::function<void()> refresh,
        const editor::PlaceOf& place_of = editor::DefaultPlace);
    // Sets `mark` on the rows `row_ids` at once (editor::MarkRows) and returns the command that
    // takes it back, or null when no row changed.
    static std::unique_ptr<PostCommand> mark(store::Table& table,
                                             const std::vector<std::int64_t>& row_ids,
                                             editor::RowMark mark, store::TableKind kind,
                                             std::function<void()> refresh);

    // A post already made: `before` and `after` as post() finds them.
    PostCommand(store::Table& table, editor::PostRecord before, editor::PostRecord after,
                std::function<void()> refresh);

    void undo() override;
    void redo() override;

  private:
    store::Table& table_;
    editor::PostRecord before_;
    editor::PostRecord after_;
    std::function<void()> refresh_;
    bool first_ = true;
};

}  // namespace lexorin::gui
