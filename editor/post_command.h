#pragma once

#include <QUndoCommand>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/reporter.h"
#include "editor/post_rules.h"
#include "store/table_store.h"

namespace lexorin::gui {

// What the editor posts for one row: the text in the translation box, and the flag a click in
// the grid set; a flag not given keeps the row's value.
struct TypedEdit {
    std::string translation;
    std::optional<bool> translated;
    std::optional<bool> ignore;
    std::optional<bool> changed;
};

// One post of the translation editor as the undo stack keeps it: every row the post changed, as
// it was before and as the post left it, so that undo and redo restore either exactly.
class PostCommand : public QUndoCommand {
  public:
    // Posts `edit` to the row `row_id` of `table` by the posting rules (the propagation question
    // goes to `reporter`) and returns the command that takes it back; pushing it does not post
    // again. `refresh` shows the rows anew after an undo or a redo. Raises what the post raises.
    static std::unique_ptr<PostCommand> post(store::Table& table, std::int64_t row_id,
                                             const TypedEdit& edit, bool forms_mode,
                                             Reporter& reporter, std::function<void()> refresh);

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
