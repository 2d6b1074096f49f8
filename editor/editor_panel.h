#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTextEdit;

namespace lexorin::store {
class Table;
}

namespace lexorin::gui {

// The panel under the translation editor's grid, one for each mode: the translation box, the
// unit and the original of the current row, then the context lines of a code string or the
// object and property of a form string; beside them the suggestions of the translation memory
// and what the checks and the spelling find in the text typed, then the font and search buttons.
class EditorPanel : public QWidget {
    Q_OBJECT
  public:
    enum class Mode { Code, Forms };

    // `context_lines` is the number of lines the code scan stored around each string; the
    // string's own line is the middle one, or an earlier one near the top of its unit.
    EditorPanel(Mode mode, int context_lines, QWidget* parent);

    Mode mode() const { return mode_; }

    QPlainTextEdit* translation = nullptr;
    QLabel* unit = nullptr;
    QPlainTextEdit* original = nullptr;
    QListWidget* suggestions = nullptr;  // "1  100%  text", Ctrl+1 takes the first
    QLabel* memory_note = nullptr;       // why there are none, when the memory was not asked
    QListWidget* checks = nullptr;       // one finding a line
    QTextEdit* context = nullptr;        // code mode only
    QLabel* object = nullptr;            // forms mode only
    QLabel* property = nullptr;          // forms mode only

    // Shows the current row of `row` (none when it is null) apart from its translation, its
    // suggestions and its checks, which the editor sets itself; `unit_text` is the row's file. A
    // code row's original is shown as the text its literal stands for.
    void show_row(const store::Table* row, const QString& unit_text);
    // The suggestions, one a line, or `note` when there are none to show.
    void show_suggestions(const QStringList& lines, const QString& note);
    void show_checks(const QStringList& lines);

  signals:
    void display_font_clicked();
    void translate_font_clicked();
    void search_clicked();

  private:
    void show_context(const store::Table& row);

    Mode mode_;
    int context_lines_;
};

}  // namespace lexorin::gui
