#pragma once

#include <QDialog>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/reporter_qt.h"
#include "editor/editor_filter.h"
#include "editor/post_rules.h"
#include "store/string_tables.h"
#include "store/table_store.h"
#include "store/translation_memory.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSettings;
class QStackedWidget;
class QStatusBar;
class QTableView;
class QTextEdit;
class QTimer;
class QToolButton;

namespace lexorin::project {
class SpellChecker;
}
namespace lexorin::editor {
class MemorySuggestions;
}

namespace lexorin::gui {

class EditorPanel;
class FindBar;
class StringTableModel;

// The table files the editor opens, all in one directory; the editor keeps them open until it
// closes.
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

// The translation editor: a grid of the code or form strings with their translations and review
// marks, a detail panel with the translation box, the translation memory's suggestions and the
// checks of the text typed, filters by flag, state and file, a find bar, marks set on many rows at
// once, and posting rules that mark rows translated and offer a translation to equal
// untranslated rows. The translation box always edits the grid's current row, which the grid
// highlights; what was typed is posted for the row it was typed for.
class TranslationEditor : public QDialog {
    Q_OBJECT
  public:
    // Opens on the mode given, or on the one it was left in when none is; with `memory` it
    // remembers its size, filters and mode there between openings.
    TranslationEditor(store::Session& session, const EditorTables& tables,
                      std::optional<bool> code_mode_at_start, int context_lines, QWidget* parent,
                      QSettings* memory = nullptr);
    ~TranslationEditor() override;

    // The controls; the tests drive them. The boxes and labels under the grids belong to the two
    // mode panels.
    QToolButton* code_mode_button = nullptr;
    QToolButton* forms_mode_button = nullptr;
    QCheckBox* no_ignored_check = nullptr;
    QCheckBox* not_translated_check = nullptr;
    QCheckBox* changed_only_check = nullptr;
    QCheckBox* problems_only_check = nullptr;
    // "All files" and then each file of the mode with its progress; the rows of one file alone.
    QComboBox* file_combo = nullptr;
    // All, Untranslated, Needs review, Problems: in the order of editor::StateFilter.
    QComboBox* state_combo = nullptr;
    QPushButton* close_button = nullptr;
    QTableView* code_grid = nullptr;
    QTableView* forms_grid = nullptr;
    QPlainTextEdit* code_translation_box = nullptr;
    QPlainTextEdit* forms_translation_box = nullptr;
    QLabel* code_unit_label = nullptr;
    QLabel* forms_unit_label = nullptr;
    QPlainTextEdit* code_original_box = nullptr;
    QPlainTextEdit* forms_original_box = nullptr;
    QTextEdit* context_view = nullptr;
    QLabel* object_label = nullptr;
    QLabel* property_label = nullptr;
    QStatusBar* status_bar = nullptr;
    QLabel* project_language_label = nullptr;  // the project and language, in the status bar
    QLabel* file_progress_label = nullptr;     // "main.pas: 3 of 5 translated", in the status bar
    FindBar* find_bar = nullptr;               // hidden until Ctrl+F
    // The keys: Ctrl+I ignores, Ctrl+T and Ctrl+Shift+T mark the selected rows, Ctrl+R marks
    // them for review or takes the mark back; Ctrl+F, F3 and Shift+F3 find; Ctrl+1 to Ctrl+5 take
    // a suggestion into the box. The four marks are the grids' context menu too.
    QAction* ignore_action = nullptr;
    QAction* translated_action = nullptr;
    QAction* not_translated_action = nullptr;
    QAction* review_action = nullptr;
    std::vector<QAction*> suggestion_actions;
    QAction* find_action = nullptr;
    QAction* find_next_action = nullptr;
    QAction* find_previous_action = nullptr;
    QUndoStack* undo_stack() { return &undo_; }

    bool code_mode() const { return code_mode_; }
    store::Table& current_table() { return current_strings().table(); }
    QTableView* current_grid() const { return code_mode_ ? code_grid : forms_grid; }
    QPlainTextEdit* current_box() const;
    StringTableModel* current_model() const { return code_mode_ ? code_model_ : forms_model_; }
    // The current mode's suggestion list, its note about the memory and the checks' findings.
    QListWidget* current_suggestions() const;
    QLabel* current_memory_note() const;
    QListWidget* current_checks() const;
    QtReporter& reporter() { return *reporter_; }

    // The text of the counts in the status bar.
    QString counts_text() const;
    // Moves the grid to the next row whose field begins with `text` (ignoring case, as the
    // program compares); a code row's original and translation as the grid shows them. Past the
    // last row the search goes on from the first, once around, and `wrapped` says so; false when no
    // row matches at all.
    bool locate_next(const std::string& field, const std::string& text, bool* wrapped = nullptr);
    // Moves the grid to the next (or previous) row whose original or translation, as the grid
    // shows them, holds `text` in any letter case; once around, as locate_next(). An empty text
    // finds nothing.
    bool find_text(const QString& text, bool forward, bool* wrapped = nullptr);
    // The table rows highlighted in the grid, in grid order; the current row when none is.
    std::vector<std::int64_t> selected_row_ids();
    // The progress of the current row's file, as the status bar shows it; empty without a row.
    QString file_progress_text() const;

  public slots:
    // The mode buttons: the grid and panel of the mode chosen, after posting what was typed.
    void switch_mode();
    // The filter boxes: the current table narrowed as they say, the current row kept if it can.
    void apply_filters();
    // "Search ...": the locate dialog on the current table's fields.
    void search();
    // "Translate Font ...": a font's name, picked in the font dialog, posted as the translation.
    void pick_translation_font();
    // "Display Font ...": the font the translation box shows its text in.
    void pick_display_font();
    // Posts what was typed for the current row, as Enter does. False when the post was refused
    // (the error box has been shown): the row and the typed text stay as they are.
    bool post_pending();
    // Ctrl+Z: the last post taken back, with every row it changed.
    void undo_last_post();
    // Ctrl+I: the current row's Ignore ticked or cleared, as a click on it does; with several
    // rows highlighted, all of them ignored (or all cleared when all were ignored), at once.
    void toggle_ignore();
    // `mark` on every highlighted row, in one transaction that one undo takes back.
    void mark_selected(editor::RowMark mark);
    // Ctrl+F: the find bar, open with the focus in it; F3 and Shift+F3 search with its text.
    void open_find_bar();
    void find_next();
    void find_previous();
    // Ctrl+R: the highlighted rows marked for review, or the mark taken off when all had it.
    void toggle_review();
    // Ctrl+1 ... Ctrl+5: the translation of suggestion `number` (from 1) in the box, not posted.
    void take_suggestion(int number);
    // The counts of the file list and the status bar read anew from the table; changes schedule
    // it, so that the rows of one post are counted once.
    void refresh_progress();
    // What the checks and the spelling find in the text typed for the current row.
    void check_typed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

  private:
    void build();
    EditorPanel* current_panel() const { return code_mode_ ? code_panel_ : forms_panel_; }
    store::TranslationTable& current_strings() {
        if (code_mode_) return code_strings_;
        return form_strings_;
    }
    void build_keys();
    void start_in_mode(bool code_mode_at_start, bool changed_only);
    void remember();
    void show_mode();
    void load_current_row();
    void select_row_id(std::int64_t row_id, int fallback_row);
    void current_row_changed(int row);
    bool post_row(const std::optional<bool> translated, const std::optional<bool> ignore,
                  const std::optional<bool> changed);
    // After a refused post: the grid back on the row being edited, the typed text kept.
    void keep_refused_row();
    void update_counts();
    // The suggestions of the memory for the current row.
    void show_suggestions();
    // The current mode's files in the file list, "All files" chosen (or, at the start, the
    // file remembered).
    void fill_file_list();
    void schedule_progress();
    void show_file_progress();
    void move_to_next_row();
    // Moves the grid to the next (or previous) visible row in `matches`, from the current row,
    // once around.
    bool select_next_match(const std::unordered_set<std::int64_t>& matches, bool forward,
                           bool* wrapped);
    // F3 and Shift+F3: the find bar's text searched; an empty or closed bar is opened first.
    void find_from_bar(bool forward);
    // `mark` on the rows `ids`, in one transaction that one undo takes back.
    void mark_rows(const std::vector<std::int64_t>& ids, editor::RowMark mark);
    // After marks on `row_ids`: the current row kept and the rows highlighted again.
    void highlight_rows(const std::vector<std::int64_t>& row_ids);
    // What shows a change of the tables after an undo or redo of a post made in mode `code`.
    std::function<void()> refresher(bool code);
    // The places the questions of a post name: the unit's file and the row's line or property.
    editor::PlaceOf place_of();
    // Enter in a translation box: posts and moves to the next row, unless "Not translated only"
    // took the posted row out of the grid, which leaves the cursor on the next one already.
    void enter_pressed();

    store::PascalRows code_strings_;
    store::FormRows form_strings_;
    // The form files and the unit files, for the unit line of the current string.
    store::FormFiles form_files_;
    store::UnitFiles code_files_;
    int context_lines_;
    // The program directory and the project, whose lock every post takes.
    std::string directory_;
    std::string project_;
    std::string language_;  // whose translation memory entries a post makes
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
    QSettings* memory_ = nullptr;
    bool memory_warned_ = false;  // a memory that fails says so once, not at every post
    std::string shown_blanks_;    // the row's trailing blanks, put back for the checks
    std::unique_ptr<editor::MemorySuggestions> suggestion_source_;
    std::unique_ptr<project::SpellChecker> speller_;
    std::vector<store::Suggestion> shown_suggestions_;
    QTimer* check_timer_ = nullptr;     // the checks run when typing pauses
    QTimer* progress_timer_ = nullptr;  // the progress counted once after a change
    std::unordered_map<std::int64_t, editor::FileProgress> progress_;  // of the current mode
    QString remembered_file_;  // the file chosen last time, chosen again when listed
    // The choices of the two lists before a change, put back when a refused post keeps the row.
    int file_index_ = 0;
    int state_index_ = 0;
};

// Opens the editor modally on `tables`, remembering its size, filters and mode in the program's
// settings.
void open_translation_editor(QWidget* parent, store::Session& session, const EditorTables& tables,
                             std::optional<bool> code_mode_at_start, int context_lines);

}  // namespace lexorin::gui
