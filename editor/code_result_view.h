#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "base/reporter.h"
#include "code/restore_code.h"
#include "editor/result_filter.h"
#include "store/translation_tables.h"

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
// The shared handles get their filter and order back when the window goes.
class Tformpas : public QDialog {
    Q_OBJECT
  public:
    // `daten` holds the language's tables in code mode, tblPasFiles open.
    Tformpas(store::TDaten& daten, QWidget* parent);
    ~Tformpas() override;

    // What the Restore button runs: the restore command of the project on the selected rows or
    // units, with the view's reporter (every language's rows are marked, the status line
    // written). Without it the button is disabled.
    using RestoreAction =
        std::function<code::RestoreReport(const code::RestoreSelection&, Reporter&)>;
    void set_restore_target(RestoreAction action);

    // The controls, named as in the window's design; the tests drive them.
    QCheckBox* cbNoIgnored = nullptr;
    QCheckBox* cbNoTranslated = nullptr;
    QCheckBox* cbChangedOnly = nullptr;
    QRadioButton* rbSortByUnit = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QListView* DBLookupListBox1 = nullptr;
    ResultGrid* DBGrid1 = nullptr;
    QLabel* lbOriginalLine = nullptr;  // OriginalLine after "Original line #:"
    QLabel* lbNewLine = nullptr;       // NewLine after "New line #:"
    QCheckBox* cbTranslated = nullptr;
    QCheckBox* cbIgnore = nullptr;
    QPlainTextEdit* meContext = nullptr;
    // Gives back the literal of the grid's row, or every literal of the unit chosen in the
    // unit list, whichever the user worked in last.
    QPushButton* btRestore = nullptr;
    QStatusBar* StatusBar1 = nullptr;

  public slots:
    void DBLookupListBox1Click(const QModelIndex& line);
    void btRestoreClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

  private:
    void build();
    void FormShow();
    void show_row(int row);
    void tick(QCheckBox* box, const char* field);
    // Posts the context box when its text differs from the stored one.
    void store_context();
    void fail(const std::exception& failure);
    // The row and unit the Restore button would work on.
    void restore_row();
    void restore_unit();
    void restore(const std::string& question, const std::vector<std::int64_t>& indexes,
                 const std::vector<std::string>& units);

    store::TDaten& daten_;
    // The shared handles' filter and order as the opener left them, given back on closing.
    editor::KeepHandleSettings keep_pascal_;
    editor::KeepHandleSettings keep_files_;
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
