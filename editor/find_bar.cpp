#include "editor/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace lexorin::gui {

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    auto* label = new QLabel("Find:", this);
    edit = new QLineEdit(this);
    edit->setPlaceholderText("Text in originals and translations");
    label->setBuddy(edit);
    next_button = new QToolButton(this);
    next_button->setText("Next");
    next_button->setToolTip("Next match (F3)");
    previous_button = new QToolButton(this);
    previous_button->setText("Previous");
    previous_button->setToolTip("Previous match (Shift+F3)");
    close_button = new QToolButton(this);
    close_button->setText("Close");
    close_button->setToolTip("Close the find bar (Esc)");
    message = new QLabel(this);
    layout->addWidget(label);
    layout->addWidget(edit, 1);
    layout->addWidget(next_button);
    layout->addWidget(previous_button);
    layout->addWidget(message, 1);
    layout->addWidget(close_button);
    connect(edit, &QLineEdit::returnPressed, this, [this] { emit find(true); });
    connect(edit, &QLineEdit::textEdited, this, [this] { message->clear(); });
    connect(next_button, &QToolButton::clicked, this, [this] { emit find(true); });
    connect(previous_button, &QToolButton::clicked, this, [this] { emit find(false); });
    connect(close_button, &QToolButton::clicked, this, &FindBar::close_bar);
}

QString FindBar::text() const {
    return edit->text();
}

void FindBar::open() {
    show();
    edit->setFocus(Qt::ShortcutFocusReason);
    edit->selectAll();
}

void FindBar::show_message(const QString& text) {
    message->setText(text);
}

void FindBar::close_bar() {
    hide();
    message->clear();
    emit closed();
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    // Esc closes the bar, not the window around it; Enter, which searched already, reaches no
    // default button of that window either.
    if (event->key() == Qt::Key_Escape) {
        close_bar();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace lexorin::gui
