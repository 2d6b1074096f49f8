#include "editor/editor_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "base/text_qt.h"
#include "base/text_utils.h"
#include "editor/row_text.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace lexorin::gui {

namespace {

QLabel* bold_label(const char* text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

EditorPanel::EditorPanel(Mode mode, int context_lines, QWidget* parent)
    : QWidget(parent), mode_(mode), context_lines_(context_lines) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 2, 0, 2);
    auto* left = new QVBoxLayout;
    left->addWidget(bold_label("Translation:", this));
    translation = new QPlainTextEdit(this);
    translation->setFixedHeight(60);
    left->addWidget(translation);
    auto* strip = new QHBoxLayout;
    strip->addWidget(bold_label("Unit:", this));
    unit = new QLabel(this);
    unit->setTextInteractionFlags(Qt::TextSelectableByMouse);
    strip->addWidget(unit, 1);
    strip->addWidget(bold_label("Original:", this));
    left->addLayout(strip);
    original = new QPlainTextEdit(this);
    original->setReadOnly(true);
    original->setFixedHeight(40);
    left->addWidget(original);
    if (mode_ == Mode::Code) {
        left->addWidget(bold_label("Context:", this));
        context = new QTextEdit(this);
        context->setReadOnly(true);
        context->setLineWrapMode(QTextEdit::NoWrap);
        context->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        left->addWidget(context, 1);
    } else {
        auto* details = new QGridLayout;
        details->addWidget(bold_label("Object:", this), 0, 0);
        object = new QLabel(this);
        details->addWidget(object, 0, 1);
        details->addWidget(bold_label("Property:", this), 1, 0);
        property = new QLabel(this);
        details->addWidget(property, 1, 1);
        details->setColumnStretch(1, 1);
        left->addLayout(details);
        left->addStretch();
    }
    grid->addLayout(left, 0, 0);

    // The help for the text typed: the memory's suggestions above the checks' findings.
    auto* help = new QVBoxLayout;
    help->addWidget(bold_label("Suggestions (Ctrl+1 ... Ctrl+5):", this));
    suggestions = new QListWidget(this);
    suggestions->setFocusPolicy(Qt::NoFocus);
    suggestions->setFixedHeight(5 * fontMetrics().height() + 12);
    help->addWidget(suggestions);
    memory_note = new QLabel(this);
    memory_note->setStyleSheet("color: gray;");
    memory_note->setWordWrap(true);
    memory_note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    memory_note->hide();
    help->addWidget(memory_note);
    help->addWidget(bold_label("Checks:", this));
    checks = new QListWidget(this);
    checks->setFocusPolicy(Qt::NoFocus);
    checks->setStyleSheet("color: rgb(170, 0, 0);");
    help->addWidget(checks, 1);
    grid->addLayout(help, 0, 1);

    auto* right = new QVBoxLayout;
    auto* display_font = new QPushButton("Display &Font ...", this);
    auto* translate_font = new QPushButton("&Translate Font ...", this);
    auto* search = new QPushButton("&Search ...", this);
    for (auto* b : {display_font, translate_font, search}) right->addWidget(b);
    right->addStretch();
    grid->addLayout(right, 0, 2);
    // The box keeps the larger part; the lists are wide enough for a short text and its percent.
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    connect(display_font, &QPushButton::clicked, this, &EditorPanel::display_font_clicked);
    connect(translate_font, &QPushButton::clicked, this, &EditorPanel::translate_font_clicked);
    connect(search, &QPushButton::clicked, this, &EditorPanel::search_clicked);
}

void EditorPanel::show_row(const store::Table* row, const QString& unit_text) {
    unit->setText(unit_text);
    original->setPlainText(
        row ? to_q(editor::ShownText(row->text(store::field::OriginalString), mode_ == Mode::Code))
            : QString());
    if (mode_ == Mode::Code) {
        context->clear();
        if (row) show_context(*row);
    } else {
        object->setText(row ? to_q(row->text(store::field::Object)) : QString());
        property->setText(row ? to_q(row->text(store::field::Property)) : QString());
    }
}

void EditorPanel::show_suggestions(const QStringList& lines, const QString& note) {
    suggestions->clear();
    suggestions->addItems(lines);
    memory_note->setText(note);
    memory_note->setVisible(lines.isEmpty() && !note.isEmpty());
}

void EditorPanel::show_checks(const QStringList& lines) {
    checks->clear();
    checks->addItems(lines);
}

// The context, with the string's own line marked.
void EditorPanel::show_context(const store::Table& row) {
    QStringList lines;
    // Each context line ends with a lone CR.
    for (const auto& l : read_text_lines(row.text(store::field::Context))) lines << to_q(l);
    context->setPlainText(lines.join('\n'));
    int own = std::min(static_cast<int>(row.integer(store::field::OriginalLine)) - 1,
                       std::max(0, context_lines_ / 2));
    QTextBlock block = context->document()->findBlockByNumber(std::max(0, own));
    if (!block.isValid()) return;
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(block);
    mark.format.setBackground(QColor(255, 240, 150));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    context->setExtraSelections({mark});
    context->setTextCursor(QTextCursor(block));
    context->ensureCursorVisible();
}

}  // namespace lexorin::gui
