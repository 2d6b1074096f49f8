#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "store/table_store.h"

namespace lexorin::gui {

// A grid column: the field it shows, its title and width in characters; logical fields show as
// check boxes that one click toggles. A text of a code row is kept as a Pascal literal body and
// shown as the text it stands for (`code_text`).
struct GridColumn {
    std::string field;
    QString title;
    int width_chars = 10;
    bool editable = false;
    bool logical = false;
    bool code_text = false;
};

// The rows of a table handle as a grid model. Rows are read when the grid paints them, through
// the handle's own row list, and handed to the grid in pages, so that a table of hundreds of
// thousands of rows opens at once. Toggling a check box is reported, not stored: the window
// posts it with its rules.
class StringTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    StringTableModel(store::Table& table, std::vector<GridColumn> columns, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Re-reads the table after its rows, filter or order changed.
    void refresh();
    // Makes `row` current on the table; false when there is no such row.
    bool move_to(int row) const;
    // The row that shows the table row with this identity, loading pages up to it; -1 if none.
    int row_of(std::int64_t row_id);
    int total_rows() const;
    const std::vector<GridColumn>& columns() const { return columns_; }
    // An extra mark shown in the first column (for rows with problems); empty for none.
    std::function<QString(const store::Table&)> mark;

    static constexpr int kPage = 2000;

  signals:
    void toggled(int row, const QString& field, bool checked);

  private:
    store::Table& table_;
    std::vector<GridColumn> columns_;
    int loaded_ = 0;
};

}  // namespace lexorin::gui
