#pragma once

#include <QDialog>
#include <QUndoStack>
#include <memory>
#include <optional>
#include <string>

#include "base/reporter_qt.h"
#include "store/table_store.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTableView;
class QTextEdit;
class QToolButton;

namespace lexorin::gui {

class EditorPanel;
class StringTableModel;

// The table files the editor opens, all in one directory.
struct EditorTables {
    std::string directory;
    std::string code;   // the language's pascal table
    std::string forms;  // the language's forms table
    std::string units;  // the project's units table
    std::string files;  // the project's pasfiles table
    // What the title and the status bar name; empty when the tables stand alone.
    std::string project;
    std::string language;
};

// The translation editor: a grid of the code or form strings, a detail panel with the
// translation box, three filters, and posting rules that mark rows translated and offer a
// translation to equal untranslated rows.
class TEditorm : public QDialog {
    Q_OBJECT
  public:
    TEditorm(store::Session& session, const EditorTables& tables, bool CodeModeAtStart,
             int context_lines, QWidget* parent);
    ~TEditorm() override;

    // The controls, named as in the window's design; the tests drive them. The boxes and labels
    // under the grids belong to the two mode panels.
    QToolButton* sbtnPascal = nullptr;
    QToolButton* sbtnForms = nullptr;
    QCheckBox* cbNoIgnored = nullptr;
    QCheckBox* cbNotTranslated = nullptr;
    QCheckBox* cbChangedOnly = nullptr;
    QCheckBox* cbProblemsOnly = nullptr;
    QPushButton* btnclose = nullptr;
    QTableView* wwgridPascal = nullptr;
    QTableView* wwgridForms = nullptr;
    QPlainTextEdit* DBMePascal = nullptr;
    QPlainTextEdit* DBMeForms = nullptr;
    QLabel* lbUnitPascal = nullptr;
    QLabel* lbUnitForms = nullptr;
    QPlainTextEdit* meOriginalPascal = nullptr;
    QPlainTextEdit* meOriginalForms = nullptr;
    QTextEdit* meContext = nullptr;
    QLabel* lbObject = nullptr;
    QLabel* lbProperty = nullptr;
    QLabel* lbProblemsPascal = nullptr;
    QLabel* lbProblemsForms = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* lbProjectLanguage = nullptr;  // the project and language, in the status bar
    QUndoStack* undo_stack() { return &undo_; }

    bool code_mode() const { return code_mode_; }
    store::Table& CurrentTable() { return code_mode_ ? wwTable1 : wwTable2; }
    QTableView* current_grid() const { return code_mode_ ? wwgridPascal : wwgridForms; }
    QPlainTextEdit* current_box() const;
    StringTableModel* current_model() const { return code_mode_ ? code_model_ : forms_model_; }
    QtReporter& reporter() { return *reporter_; }

    // The text of the counts in the status bar.
    QString counts_text() const;
    // Moves the grid to the next row whose field begins with `text` (ignoring case, as the
    // program compares); a code row's original and translation as the grid shows them. Past the
    // last row the search goes on from the first, once around, and `wrapped` says so; false when no
    // row matches at all.
    bool locate_next(const std::string& field, const std::string& text, bool* wrapped = nullptr);

  public slots:
    void sbtnFormsClick();
    void cbNotTranslatedClick();
    void Button1Click();  // search
    void SetTranslateFont();
    void DisplayFont();
    // Posts what was typed for the current row, as Enter does. False when the post was refused
    // (the error box has been shown): the row and the typed text stay as they are.
    bool post_pending();
    // Ctrl+Z: the last post taken back, with every row it changed.
    void undo_last_post();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

  private:
    void build();
    EditorPanel* current_panel() const { return code_mode_ ? code_panel_ : forms_panel_; }
    void FormShow(bool CodeModeAtStart);
    void show_mode();
    void load_current_row();
    void select_row_id(std::int64_t row_id, int fallback_row);
    void current_row_changed(int row);
    bool post_row(const std::optional<bool> translated, const std::optional<bool> ignore,
                  const std::optional<bool> changed);
    // After a refused post: the grid back on the row being edited, the typed text kept.
    void keep_refused_row();
    void update_counts();
    QString problems_of_current() const;
    void move_to_next_row();
    void DBMeFormsKeyPress(QKeyEvent* key);

    store::Table wwTable1;  // code strings
    store::Table wwTable2;  // form strings
    store::Table wwTable3;  // the form files, for the current form string's unit line
    store::Table wwTable4;  // the unit files, for the current code string's unit line
    int context_lines_;
    // The program directory and the project, whose lock every post takes.
    std::string directory_;
    std::string project_;
    bool code_mode_ = true;
    StringTableModel* code_model_ = nullptr;
    StringTableModel* forms_model_ = nullptr;
    QStackedWidget* grids_ = nullptr;
    QStackedWidget* panels_ = nullptr;
    EditorPanel* code_panel_ = nullptr;
    EditorPanel* forms_panel_ = nullptr;
    QLabel* counts_ = nullptr;
    std::unique_ptr<QtReporter> reporter_;
    QUndoStack undo_;
    std::optional<std::int64_t> shown_row_id_;  // the row whose texts the panel shows
    std::string shown_original_;                // as stored, for the line breaks of a post
    QString shown_translation_;                 // as the translation box showed it
    bool loading_ = false;
};

// Opens the editor modally on the tables the project window prepared.
void open_translation_editor(QWidget* parent, store::Session& session, const EditorTables& tables,
                             bool CodeModeAtStart, int context_lines);

}  // namespace lexorin::gui
