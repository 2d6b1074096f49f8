#pragma once

#include <QTableView>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/string_model_qt.h"

class QCheckBox;
class QHBoxLayout;
class QRadioButton;

namespace lexorin::gui {

// The string grid of the scan result views: what is typed into a cell or ticked below the grid
// is posted straight into the table, with no posting rules (a translation typed here does not
// mark the row translated, and nothing is copied to equal strings).
class ResultTableModel : public StringTableModel {
    Q_OBJECT
  public:
    ResultTableModel(store::Table& table, std::vector<GridColumn> columns, QObject* parent);

    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Stores one field of the grid's row `row` and posts it; false (after `failed`) when the
    // text does not fit the code page or the store refuses the post. A column of code texts
    // takes the text as typed and stores its literal body.
    bool store_text(int row, const std::string& field, const QString& value);
    bool store_logical(int row, const std::string& field, bool value);

  signals:
    void posted(int row, std::int64_t row_id);
    void failed(const QString& message);

  private:
    template <class Change>
    bool store(int row, Change change);

    store::Table& table_;
};

// The grid of both result views: the cell editor always shown, Tab moving between cells, the
// original text never entered, and the rows re-read when a post moved a row out of the filter.
class ResultGrid : public QTableView {
    Q_OBJECT
  public:
    ResultGrid(ResultTableModel* model, QWidget* parent);

    ResultTableModel* result_model() const { return model_; }
    // The grid row the detail controls show; -1 when the grid is empty.
    int current_row() const;
    // Re-reads the rows after the table's filter or order changed; the first row is current.
    void reload();
    // Posts what the open cell editor holds, as leaving the cell would.
    void commit_editing();

  signals:
    void row_entered(int row);

  public slots:
    // The column rule: entering the original text's column moves on to the translation.
    void enter_cell(const QModelIndex& current, const QModelIndex& previous);

  private:
    void after_post(int row, std::int64_t row_id);
    // Tells the views which row to show below the grid: when it changed, or `always`.
    void enter_row(bool always);

    ResultTableModel* model_;
    int entered_row_ = -2;  // none told yet
};

// The top strip of both views: three check boxes and two radio buttons.
struct ResultChoicesStrip {
    explicit ResultChoicesStrip(QWidget* parent);
    QCheckBox* no_ignored_check;
    QCheckBox* no_translated_check;
    QCheckBox* changed_only_check;
    QRadioButton* unsorted_radio;        // "no sorting"
    QRadioButton* sort_by_string_radio;  // "sort by String"
    QHBoxLayout* layout;
};

// The application's error box with a failure's text.
void show_failure_text(QWidget* parent, const QString& text);

// The grid columns of both views; the texts of code rows are shown and typed as text.
std::vector<GridColumn> result_grid_columns(bool code_rows);
inline constexpr int kOriginalColumn = 0;
inline constexpr int kTranslationColumn = 1;

}  // namespace lexorin::gui
