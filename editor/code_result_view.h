#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/reporter.h"
#include "code/restore_code.h"
#include "editor/result_filter.h"
#include "store/string_tables.h"

class QCheckBox;
class QLabel;
class QListView;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace lexorin::gui {

class QtReporter;
class ResultGrid;
class StringTableModel;

// "Translator - Scan PAS files": the code strings of the language beside the list of scanned
// units. Clicking a unit line narrows the grid to that unit (or shows all) with the chosen
// boxes and order; translations and the context are typed straight into the pascal table.
// The view opens the tables it shows and keeps them, with its filter and order, until it goes.
class CodeResultView : public QDialog {
    Q_OBJECT
  public:
    // Opens the pascal table of `project` and `language` and the project's unit files in
    // `folder`; raises a StoreError naming a table that is missing or broken.
    CodeResultView(const store::TableFolder& folder, const std::string& project,
                   const std::string& language, QWidget* parent);
    ~CodeResultView() override;

    // What the Restore button runs: the restore command of the project on the selected rows or
    // units, with the view's reporter (every language's rows are marked, the status line
    // written). Without it the button is disabled.
    using RestoreAction =
        std::function<code::RestoreReport(const code::RestoreSelection&, Reporter&)>;
    void set_restore_target(RestoreAction action);

    // The controls; the tests drive them.
    QCheckBox* no_ignored_check = nullptr;
    QCheckBox* no_translated_check = nullptr;
    QCheckBox* changed_only_check = nullptr;
    QRadioButton* unsorted_radio = nullptr;
    QRadioButton* sort_by_string_radio = nullptr;
    QListView* unit_list = nullptr;
    ResultGrid* string_grid = nullptr;
    QLabel* original_line_label = nullptr;  // OriginalLine after "Original line #:"
    QLabel* new_line_label = nullptr;       // NewLine after "New line #:"
    QCheckBox* translated_check = nullptr;
    QCheckBox* ignore_check = nullptr;
    QPlainTextEdit* context_memo = nullptr;
    // Gives back the literal of the grid's row, or every literal of the unit chosen in the
    // unit list, whichever the user worked in last.
    QPushButton* restore_button = nullptr;
    QStatusBar* status_bar = nullptr;

  public slots:
    // A unit line: the grid narrowed to that unit, or every unit for "(Show all)", with the
    // chosen boxes and order.
    void unit_clicked(const QModelIndex& line);
    // The Restore button: the chosen string or unit given back its literals, after a question.
    void restore_chosen();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

  private:
    void build();
    void first_show();
    void show_row(int row);
    void tick(QCheckBox* box, const char* field);
    // Posts the context box when its text differs from the stored one.
    void store_context();
    // The row and unit the Restore button would work on.
    void restore_row();
    void restore_unit();
    void restore(const std::string& question, const std::vector<std::int64_t>& indexes,
                 const std::vector<std::string>& units);

    store::PascalRows pascal_;
    store::UnitFiles unit_files_;
    StringTableModel* units_model_ = nullptr;
    int shown_row_ = -1;     // the grid row the controls below it show
    QString shown_context_;  // as the context box was filled
    bool shown_ = false;
    RestoreAction restore_;
    std::unique_ptr<QtReporter> reporter_;
    // Where the user worked last: a unit line (its file list Index) or the grid.
    enum class Chosen { Nothing, Unit, Row } chosen_ = Chosen::Nothing;
    std::int64_t chosen_unit_ = 0;
    std::string chosen_unit_path_;
};

}  // namespace lexorin::gui
