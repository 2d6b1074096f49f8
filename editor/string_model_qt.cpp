#include "editor/string_model_qt.h"

#include <QBrush>
#include <QColor>

#include "base/text_qt.h"
#include "editor/row_text.h"

namespace lexorin::gui {

StringTableModel::StringTableModel(store::Table& table, std::vector<GridColumn> columns,
                                   QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {
    loaded_ = std::min(total_rows(), kPage);
}

int StringTableModel::total_rows() const {
    return table_.is_open() ? table_.record_count() : 0;
}

int StringTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : loaded_;
}

int StringTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

bool StringTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && loaded_ < total_rows();
}

void StringTableModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid()) return;
    int more = std::min(kPage, total_rows() - loaded_);
    if (more <= 0) return;
    beginInsertRows({}, loaded_, loaded_ + more - 1);
    loaded_ += more;
    endInsertRows();
}

void StringTableModel::refresh() {
    beginResetModel();
    loaded_ = std::min(total_rows(), std::max(loaded_, kPage));
    endResetModel();
}

bool StringTableModel::move_to(int row) const {
    return row >= 0 && table_.is_open() && table_.move_to_record(row + 1);
}

int StringTableModel::row_of(std::int64_t row_id) {
    if (!table_.is_open()) return -1;
    const int row = table_.position_of(row_id);
    if (row >= loaded_) {
        beginInsertRows({}, loaded_, row);
        loaded_ = row + 1;
        endInsertRows();
    }
    return row;
}

QVariant StringTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !move_to(index.row())) return {};
    const GridColumn& column = columns_[static_cast<size_t>(index.column())];
    if (column.logical) {
        if (role == Qt::CheckStateRole)
            return table_.logical(column.field) ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        QString text = to_q(editor::ShownText(table_.text(column.field), column.code_text));
        if (index.column() == 0 && mark && role == Qt::DisplayRole) {
            QString m = mark(table_);
            if (!m.isEmpty()) text = m + " " + text;
        }
        return text;
    }
    if (role == Qt::ForegroundRole && index.column() == 0 && mark && !mark(table_).isEmpty())
        return QBrush(QColor(170, 0, 0));
    return {};
}

QVariant StringTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return columns_[static_cast<size_t>(section)].title;
    return section + 1;
}

Qt::ItemFlags StringTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const GridColumn& column = columns_[static_cast<size_t>(index.column())];
    if (column.logical && column.editable) f |= Qt::ItemIsUserCheckable;
    return f;
}

bool StringTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const GridColumn& column = columns_[static_cast<size_t>(index.column())];
    if (role != Qt::CheckStateRole || !column.logical || !column.editable) return false;
    emit toggled(index.row(), QString::fromStdString(column.field), value.toInt() == Qt::Checked);
    return true;
}

}  // namespace lexorin::gui
