#include "editor/result_model_qt.h"

#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/errors.h"
#include "base/text_qt.h"
#include "editor/row_text.h"
#include "store/translation_fields.h"

namespace lexorin::gui {

ResultTableModel::ResultTableModel(store::Table& table, std::vector<GridColumn> columns,
                                   QObject* parent)
    : StringTableModel(table, std::move(columns), parent), table_(table) {}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    bool original = index.column() == kOriginalColumn;
    if (role == Qt::BackgroundRole && original) return QBrush(QColor(253, 255, 206));
    if (role == Qt::FontRole && original) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::EditRole) return StringTableModel::data(index, Qt::DisplayRole);
    return StringTableModel::data(index, role);
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = StringTableModel::flags(index);
    if (!index.isValid()) return f;
    const GridColumn& column = columns()[static_cast<size_t>(index.column())];
    if (column.editable && !column.logical) f |= Qt::ItemIsEditable;
    return f;
}

bool ResultTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const GridColumn& column = columns()[static_cast<size_t>(index.column())];
    // An editor closed without a change posts nothing, as a data-aware grid does.
    if (data(index, Qt::DisplayRole).toString() == value.toString()) return true;
    return store_text(index.row(), column.field, value.toString());
}

template <class Change>
bool ResultTableModel::store(int row, Change change) {
    try {
        if (!move_to(row)) return false;
        table_.edit();
        change();
        table_.post();
    } catch (const std::exception& failure) {
        table_.cancel();
        emit failed(message_text(failure.what()));
        return false;
    }
    std::int64_t id = table_.row_id();
    emit posted(row, id);
    return true;
}

bool ResultTableModel::store_text(int row, const std::string& field, const QString& value) {
    std::string text;
    try {
        text = from_q(value);  // refused before anything is changed
    } catch (const std::exception& failure) {
        emit failed(message_text(failure.what()));
        return false;
    }
    const bool code_text = std::any_of(columns().begin(), columns().end(), [&](const auto& c) {
        return c.field == field && c.code_text;
    });
    return store(row, [&] {
        if (code_text)
            text = editor::StoredText(text, true, table_.text(store::field::OriginalString));
        table_.set_text(field, text);
    });
}

bool ResultTableModel::store_logical(int row, const std::string& field, bool value) {
    return store(row, [&] { table_.set_logical(field, value); });
}

std::vector<GridColumn> result_grid_columns(bool code_rows) {
    return {{store::field::OriginalString, "OriginalString", 30, false, false, code_rows},
            {store::field::TranslateString, "TranslateString", 40, true, false, code_rows},
            // The unit a string belongs to is the scanner's; typing another number here would
            // leave the string out of its unit's line.
            {store::field::UnitName, "UnitName", 8, false, false}};
}

ResultGrid::ResultGrid(ResultTableModel* model, QWidget* parent)
    : QTableView(parent), model_(model) {
    setModel(model);
    setEditTriggers(QAbstractItemView::AllEditTriggers);  // the cell editor always shown
    setTabKeyNavigation(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setColumnWidth(kOriginalColumn, 190);
    setColumnWidth(kTranslationColumn, 271);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &ResultGrid::enter_cell);
    connect(model, &ResultTableModel::posted, this, &ResultGrid::after_post);
}

int ResultGrid::current_row() const {
    if (model_->rowCount() == 0) return -1;
    QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : 0;
}

void ResultGrid::reload() {
    model_->refresh();
    if (model_->rowCount() > 0) setCurrentIndex(model_->index(0, kTranslationColumn));
    enter_row(true);
}

void ResultGrid::commit_editing() {
    // Leaving the current cell makes the view commit its editor.
    if (state() == QAbstractItemView::EditingState) setCurrentIndex({});
}

void ResultGrid::enter_cell(const QModelIndex& current, const QModelIndex& previous) {
    if (current.isValid() && current.column() == kOriginalColumn) {
        setCurrentIndex(current.sibling(current.row(), kTranslationColumn));
        return;
    }
    (void)previous;
    enter_row(false);
}

void ResultGrid::enter_row(bool always) {
    int row = current_row();
    if (!always && row == entered_row_) return;
    entered_row_ = row;
    emit row_entered(row);
}

void ResultGrid::after_post(int row, std::int64_t row_id) {
    // The rows are re-read only when the post moved the row (out of the filter): a reset while
    // the cell editor commits would close the editor the user is moving to.
    QMetaObject::invokeMethod(
        this,
        [this, row, row_id] {
            if (model_->row_of(row_id) == row && model_->total_rows() >= model_->rowCount()) {
                emit model_->dataChanged(model_->index(row, 0),
                                         model_->index(row, model_->columnCount() - 1));
                enter_row(true);
                return;
            }
            int column = currentIndex().isValid() ? currentIndex().column() : kTranslationColumn;
            model_->refresh();
            int rows = model_->rowCount();
            if (rows > 0) setCurrentIndex(model_->index(std::min(row, rows - 1), column));
            enter_row(true);
        },
        Qt::QueuedConnection);
}

void show_failure_text(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

ResultChoicesStrip::ResultChoicesStrip(QWidget* parent)
    : no_ignored_check(new QCheckBox("don't show \"ignored strings\"", parent)),
      no_translated_check(new QCheckBox("don't show already translated strings", parent)),
      changed_only_check(new QCheckBox("show only changed strings", parent)),
      unsorted_radio(new QRadioButton("no sorting", parent)),
      sort_by_string_radio(new QRadioButton("sort by String", parent)),
      layout(new QHBoxLayout) {
    auto* boxes = new QVBoxLayout;
    boxes->addWidget(no_ignored_check);
    boxes->addWidget(no_translated_check);
    boxes->addWidget(changed_only_check);
    auto* orders = new QVBoxLayout;
    orders->addWidget(unsorted_radio);
    orders->addWidget(sort_by_string_radio);
    orders->addStretch();
    unsorted_radio->setChecked(true);
    layout->addLayout(boxes);
    layout->addLayout(orders);
    layout->addStretch();
}

}  // namespace lexorin::gui
