#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace lexorin::gui {

// A directory edit with a folder-browse button; `left` fires when the user leaves the field or
// picks a folder.
class DirectoryEdit : public QWidget {
    Q_OBJECT
  public:
    explicit DirectoryEdit(QWidget* parent);
    QLineEdit* line() const { return line_; }
    QToolButton* browse_button() const { return browse_; }
  signals:
    void left();

  private:
    QLineEdit* line_;
    QToolButton* browse_;
};

}  // namespace lexorin::gui
