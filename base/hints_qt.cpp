#include "base/hints_qt.h"

#include <QAction>
#include <QEvent>
#include <QPlainTextEdit>
#include <QWidget>

#include "base/text_qt.h"
#include "base/text_utils.h"

namespace lexorin::gui {

std::string short_hint(const std::string& hint) {
    auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string long_hint(const std::string& hint) {
    auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

HintPanel::HintPanel(QPlainTextEdit* panel) : QObject(panel), panel_(panel) {}

void HintPanel::add(QWidget* control, const std::string& hint) {
    control->setToolTip(to_q(short_hint(hint)));
    hints_.insert(control, hint);
    control->installEventFilter(this);
}

void HintPanel::add(QAction* action, const std::string& hint) {
    action->setToolTip(to_q(short_hint(hint)));
    hints_.insert(action, hint);
    connect(action, &QAction::hovered, this, [this, hint] { ShowLongHint(hint); });
}

void HintPanel::ShowLongHint(const std::string& hint) {
    std::string text = long_hint(hint);
    if (text.empty()) return;
    QStringList lines;
    for (const auto& line : SplitLines(text)) lines << to_q(line);
    panel_->setPlainText(lines.join('\n'));
}

bool HintPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter) {
        auto it = hints_.find(watched);
        if (it != hints_.end()) ShowLongHint(it.value());
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lexorin::gui
