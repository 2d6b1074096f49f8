#pragma once

#include <QDialog>

#include "editor/result_filter.h"
#include "store/translation_tables.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QRadioButton;

namespace lexorin::gui {

class ResultGrid;
class StringTableModel;

// "View forms": every form string of the language beside the list of scanned form files.
// Clicking a file line shows that file's path under "Unit name:" and leaves the grid as it is;
// the check boxes narrow the grid at once. Typed translations, ticks and the path are posted
// straight into the tables; the shared handles get their filter and order back on closing.
class Tformview : public QDialog {
    Q_OBJECT
  public:
    // `daten` holds the language's tables in forms mode: tblUnits is the units table.
    Tformview(store::TDaten& daten, QWidget* parent);
    ~Tformview() override;

    QCheckBox* cbNoIgnored = nullptr;
    QCheckBox* cbNoTranslated = nullptr;
    QCheckBox* cbChangedOnly = nullptr;
    QRadioButton* rbSortByUnit = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QListView* DBLookupListBox1 = nullptr;
    ResultGrid* DBGrid1 = nullptr;
    QCheckBox* cbTranslated = nullptr;
    QCheckBox* cbIgnore = nullptr;
    QCheckBox* cbChanged = nullptr;
    QLabel* lbProperty = nullptr;      // after "Property name:"
    QLabel* lbObject = nullptr;        // after "Class name:"
    QLineEdit* edDirectory = nullptr;  // after "Unit name:"

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    void build();
    void FormShow();
    void unit_clicked(const QModelIndex& line);
    void show_unit(int row);
    void store_directory();
    void apply_choices();
    void show_row(int row);
    void tick(QCheckBox* box, const char* field);

    store::TDaten& daten_;
    // The shared handles' filter and order as the opener left them, given back on closing.
    editor::KeepHandleSettings keep_forms_;
    editor::KeepHandleSettings keep_units_;
    StringTableModel* units_model_ = nullptr;
    int shown_row_ = -1;  // the grid row the controls below it show
    int unit_row_ = -1;   // the file list row whose path "Unit name:" shows
    QString shown_directory_;
    bool shown_ = false;
};

}  // namespace lexorin::gui
