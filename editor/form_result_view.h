#pragma once

#include <QDialog>
#include <string>

#include "editor/result_filter.h"
#include "store/string_tables.h"

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
// straight into the tables, which the view opens and keeps, with its filter and order, until it
// goes.
class FormResultView : public QDialog {
    Q_OBJECT
  public:
    // Opens the forms table of `project` and `language` and the project's form files in
    // `folder`; raises a StoreError naming a table that is missing or broken.
    FormResultView(const store::TableFolder& folder, const std::string& project,
                   const std::string& language, QWidget* parent);
    ~FormResultView() override;

    // The controls; the tests drive them.
    QCheckBox* no_ignored_check = nullptr;
    QCheckBox* no_translated_check = nullptr;
    QCheckBox* changed_only_check = nullptr;
    QRadioButton* unsorted_radio = nullptr;
    QRadioButton* sort_by_string_radio = nullptr;
    QListView* unit_list = nullptr;
    ResultGrid* string_grid = nullptr;
    QCheckBox* translated_check = nullptr;
    QCheckBox* ignore_check = nullptr;
    QCheckBox* changed_check = nullptr;
    QLabel* property_label = nullptr;     // after "Property name:"
    QLabel* object_label = nullptr;       // after "Class name:"
    QLineEdit* directory_edit = nullptr;  // after "Unit name:"

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    void build();
    void first_show();
    void unit_clicked(const QModelIndex& line);
    void show_unit(int row);
    void store_directory();
    void apply_choices();
    void show_row(int row);
    void tick(QCheckBox* box, const char* field);

    store::FormRows forms_;
    store::FormFiles form_files_;
    StringTableModel* units_model_ = nullptr;
    int shown_row_ = -1;  // the grid row the controls below it show
    int unit_row_ = -1;   // the file list row whose path "Unit name:" shows
    QString shown_directory_;
    bool shown_ = false;
};

}  // namespace lexorin::gui
