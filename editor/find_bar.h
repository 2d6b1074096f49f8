#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace lexorin::gui {

// The translation editor's find bar: a text to look for in the originals and translations, with
// Next and Previous, and a line saying how the last search went. It stays open while the
// translator works on the rows it finds; Esc in it closes it.
class FindBar : public QWidget {
    Q_OBJECT
  public:
    explicit FindBar(QWidget* parent);

    QLineEdit* edit = nullptr;
    QToolButton* next_button = nullptr;
    QToolButton* previous_button = nullptr;
    QToolButton* close_button = nullptr;
    QLabel* message = nullptr;

    QString text() const;
    // Shown, with the focus and the whole text selected for typing over.
    void open();
    void show_message(const QString& text);

  signals:
    void find(bool forward);
    void closed();

  public slots:
    void close_bar();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace lexorin::gui
