#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

class QAction;
class QPlainTextEdit;
class QWidget;

namespace lexorin::gui {

// Hints are "tooltip|long text". The tooltip shows as usual; the long text goes to a window's
// help panel when the mouse enters the control or a menu item is highlighted.
class HintPanel : public QObject {
    Q_OBJECT
  public:
    explicit HintPanel(QPlainTextEdit* panel);

    void add(QWidget* control, const std::string& hint);
    void add(QAction* action, const std::string& hint);
    // Shows the long part of a hint: the text after the first "|", or the whole hint. An empty
    // long part leaves the panel as it is.
    void ShowLongHint(const std::string& hint);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPlainTextEdit* panel_;
    QHash<QObject*, std::string> hints_;
};

// The tooltip part of a hint.
std::string short_hint(const std::string& hint);
std::string long_hint(const std::string& hint);

}  // namespace lexorin::gui
