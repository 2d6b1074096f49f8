#pragma once

#include <QDialog>
#include <memory>

#include "editor/result_filter.h"
#include "store/translation_tables.h"

class QCheckBox;
class QLabel;
class QListView;
class QModelIndex;
class QPlainTextEdit;
class QRadioButton;

namespace lexorin::gui {

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

  public slots:
    void DBLookupListBox1Click(const QModelIndex& line);

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

    store::TDaten& daten_;
    // The shared handles' filter and order as the opener left them, given back on closing.
    editor::KeepHandleSettings keep_pascal_;
    editor::KeepHandleSettings keep_files_;
    StringTableModel* units_model_ = nullptr;
    int shown_row_ = -1;     // the grid row the controls below it show
    QString shown_context_;  // as the context box was filled
    bool shown_ = false;
};

}  // namespace lexorin::gui
