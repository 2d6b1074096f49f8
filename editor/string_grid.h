#pragma once

#include <QTableView>

namespace lexorin::gui {

// The translation editor's grid. Rows are chosen whole; every key that moves the cursor moves
// the highlight with it (Qt's extended selection leaves it behind on Ctrl+Home, Ctrl+End and the
// other Ctrl moves), since the translation box edits the current row and the highlight must
// show which one that is. Shift extends the highlight; the mouse keeps Qt's Ctrl+click.
class StringGrid : public QTableView {
    Q_OBJECT
  public:
    explicit StringGrid(QWidget* parent);

  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    // Ctrl+End goes to the table's last row, past the rows loaded so far.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

}  // namespace lexorin::gui
