#include "editor/string_grid.h"

#include <QKeyEvent>

namespace lexorin::gui {

namespace {

bool moves_the_cursor(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
    }
}

}  // namespace

StringGrid::StringGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

QItemSelectionModel::SelectionFlags StringGrid::selectionCommand(const QModelIndex& index,
                                                                 const QEvent* event) const {
    if (event && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (moves_the_cursor(key->key()) && !(key->modifiers() & Qt::ShiftModifier))
            return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }
    return QTableView::selectionCommand(index, event);
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action == MoveEnd && (modifiers & Qt::ControlModifier) && model())
        while (model()->canFetchMore({})) model()->fetchMore({});
    return QTableView::moveCursor(action, modifiers);
}

}  // namespace lexorin::gui
