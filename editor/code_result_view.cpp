#include "editor/code_result_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/reporter_qt.h"
#include "base/text_qt.h"
#include "base/text_utils.h"
#include "code/restore_code.h"
#include "editor/result_model_qt.h"
#include "store/translation_fields.h"

namespace lexorin::gui {

namespace {

QLabel* bold_label(QWidget* parent) {
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Context lines are stored each followed by a CR; the box shows them one per line.
QString context_from_q(QString text) {
    return text.replace(QChar('\n'), QChar('\r'));
}

// The changed lines, one per line of the box ("unit.pas:12: the line"): the first few of the
// whole restore, then a count of the others, so that the box stays readable however many
// literals came back.
std::string restored_lines_text(const code::RestoreReport& report) {
    constexpr std::size_t kShownLines = 20;
    std::string text;
    std::size_t shown = 0, more_lines = 0;
    for (const auto& unit : report.units) {
        for (const auto& line : unit.lines) {
            if (shown == kShownLines) {
                ++more_lines;
                continue;
            }
            text += "\r" + file_name_of(unit.unit) + ":" + std::to_string(line.line) + ": " +
                    trim(line.text);
            ++shown;
        }
        more_lines += unit.unlisted_lines;
    }
    if (more_lines > 0)
        text += "\r... and " + std::to_string(more_lines) +
                (more_lines == 1 ? " more line." : " more lines.");
    return text;
}

}  // namespace

CodeResultView::CodeResultView(const store::TableFolder& folder, const std::string& project,
                               const std::string& language, QWidget* parent)
    : QDialog(parent), pascal_(folder, project, language), unit_files_(folder, project) {
    setFont(QFont("MS Sans Serif", 8));
    build();
    resize(736, 542);
}

CodeResultView::~CodeResultView() = default;

void CodeResultView::build() {
    auto* layout = new QVBoxLayout(this);
    ResultChoicesStrip strip(this);
    no_ignored_check = strip.no_ignored_check;
    no_translated_check = strip.no_translated_check;
    changed_only_check = strip.changed_only_check;
    unsorted_radio = strip.unsorted_radio;
    sort_by_string_radio = strip.sort_by_string_radio;
    layout->addLayout(strip.layout);

    auto* middle = new QHBoxLayout;
    unit_list = new QListView(this);
    units_model_ =
        new StringTableModel(unit_files_.table(), {{store::field::UnitName, "UnitName"}}, this);
    unit_list->setModel(units_model_);
    unit_list->setFixedWidth(174);
    unit_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(unit_list, &QListView::clicked, this, &CodeResultView::unit_clicked);
    connect(unit_list, &QListView::activated, this, &CodeResultView::unit_clicked);
    middle->addWidget(unit_list, 0, Qt::AlignTop);
    unit_list->setMinimumHeight(264);

    auto* right = new QVBoxLayout;
    string_grid = new ResultGrid(
        new ResultTableModel(pascal_.table(), result_grid_columns(true), this), this);
    string_grid->setMinimumSize(533, 265);
    right->addWidget(string_grid, 1);
    auto* details = new QHBoxLayout;
    details->addWidget(new QLabel("Original line #:", this));
    original_line_label = bold_label(this);
    details->addWidget(original_line_label);
    details->addSpacing(16);
    details->addWidget(new QLabel("New line #:", this));
    new_line_label = bold_label(this);
    details->addWidget(new_line_label);
    details->addSpacing(16);
    translated_check = new QCheckBox("Translated", this);
    ignore_check = new QCheckBox("Ignore", this);
    details->addWidget(translated_check);
    details->addWidget(ignore_check);
    details->addStretch();
    right->addLayout(details);
    middle->addLayout(right, 1);
    layout->addLayout(middle, 1);

    context_memo = new QPlainTextEdit(this);
    context_memo->setFixedHeight(129);
    context_memo->installEventFilter(this);
    layout->addWidget(context_memo);

    auto* bottom = new QHBoxLayout;
    restore_button = new QPushButton("&Restore", this);
    restore_button->setToolTip(
        "Puts the literal of the chosen string, or all literals of the chosen unit, back into "
        "the code; the rows stay, marked Ignore, so that a new scan leaves them alone");
    restore_button->setEnabled(false);
    status_bar = new QStatusBar(this);
    status_bar->setSizeGripEnabled(false);
    reporter_ = std::make_unique<QtReporter>(this, status_bar);
    bottom->addWidget(restore_button);
    bottom->addWidget(status_bar, 1);
    layout->addLayout(bottom);
    connect(restore_button, &QPushButton::clicked, this, &CodeResultView::restore_chosen);
    // The grid's cell editor takes the focus, not the grid itself.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && (now == string_grid || string_grid->isAncestorOf(now))) chosen_ = Chosen::Row;
    });

    connect(string_grid, &ResultGrid::row_entered, this, &CodeResultView::show_row);
    // Queued: a box shown while the cell editor commits would make it commit again.
    connect(
        string_grid->result_model(), &ResultTableModel::failed, this,
        [this](const QString& text) {
            show_row(string_grid->current_row());  // the controls show what is stored
            show_failure_text(this, text);
        },
        Qt::QueuedConnection);
    connect(translated_check, &QCheckBox::clicked, this,
            [this] { tick(translated_check, store::field::Translated); });
    connect(ignore_check, &QCheckBox::clicked, this,
            [this] { tick(ignore_check, store::field::Ignore); });
}

void CodeResultView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    first_show();
}

void CodeResultView::first_show() {
    try {
        // The unit list sorted by file name; the grid as the pascal table stands.
        unit_files_.table().set_index_name(store::order::Name);
        setWindowTitle("Translator - Scan PAS files");
        units_model_->refresh();
        string_grid->reload();
    } catch (const std::exception& failure) {
        show_failure(this, failure);
    }
}

void CodeResultView::unit_clicked(const QModelIndex& line) {
    try {
        store_context();
        if (!line.isValid() || !units_model_->move_to(line.row())) return;
        store::Table& files = unit_files_.table();
        store::Table& pascal = pascal_.table();
        std::string filter = editor::UnitClickFilter(
            files.text(store::field::UnitName), files.integer(store::field::Index),
            {no_ignored_check->isChecked(), no_translated_check->isChecked(),
             changed_only_check->isChecked()});
        pascal.set_filtered(false);
        pascal.set_filter("");
        pascal.set_filter(filter);
        pascal.set_index_name(unsorted_radio->isChecked() ? "" : store::order::String);
        pascal.set_filtered(true);
        string_grid->reload();
        const bool show_all =
            upper_case(files.text(store::field::UnitName)) == upper_case(store::kShowAll);
        chosen_ = show_all ? Chosen::Nothing : Chosen::Unit;
        chosen_unit_ = files.integer(store::field::Index);
        chosen_unit_path_ = files.text(store::field::Directory);
    } catch (const std::exception& failure) {
        show_failure(this, failure);
        string_grid->reload();
    }
}

void CodeResultView::set_restore_target(RestoreAction action) {
    restore_ = std::move(action);
    restore_button->setEnabled(true);
}

void CodeResultView::restore_chosen() {
    try {
        string_grid->commit_editing();
        store_context();
        if (!restore_) return;
        if (chosen_ == Chosen::Row)
            restore_row();
        else if (chosen_ == Chosen::Unit)
            restore_unit();
        else
            reporter_->information("Choose a string in the grid or a unit in the list first.");
    } catch (const std::exception& failure) {
        show_failure(this, failure);
    }
}

void CodeResultView::restore_row() {
    const int row = string_grid->current_row();
    store::Table& pascal = pascal_.table();
    if (row < 0 || !string_grid->result_model()->move_to(row)) {
        reporter_->information("Choose a string in the grid or a unit in the list first.");
        return;
    }
    if (pascal.logical(store::field::Ignore) && pascal.integer(store::field::NewLine) == 0) {
        reporter_->information("This string stands in the code as a literal already.");
        return;
    }
    restore(
        "Restore 1 string? Its literal goes back into the code; the row stays, marked "
        "Ignore.",
        {pascal.integer(store::field::Index)}, {});
}

void CodeResultView::restore_unit() {
    const std::string unit = std::to_string(chosen_unit_);
    const int count = pascal_.table().count_where(std::string(store::field::UnitName) + "=" + unit +
                                                  " and " + store::field::NewLine + ">0");
    const std::string name = file_name_of(chosen_unit_path_);
    if (count == 0) {
        reporter_->information("Every string of " + name +
                               " stands in the code as a literal already.");
        return;
    }
    restore("Restore the " + std::to_string(count) + (count == 1 ? " string" : " strings") +
                " of " + name + "? " + (count == 1 ? "Its literal goes" : "Their literals go") +
                " back into the code; the rows stay, marked Ignore.",
            {}, {chosen_unit_path_});
}

void CodeResultView::restore(const std::string& question, const std::vector<std::int64_t>& indexes,
                             const std::vector<std::string>& units) {
    if (!reporter_->confirm(question)) return;
    code::RestoreSelection selection{units, indexes};
    code::RestoreReport report = restore_(selection, *reporter_);
    reporter_->status("");
    string_grid->reload();
    units_model_->refresh();

    std::string text = std::to_string(report.rows.size()) +
                       (report.rows.size() == 1 ? " string" : " strings") + " restored.";
    text += restored_lines_text(report);
    for (const auto& unit : report.whole_units)
        text += "\r" + file_name_of(unit) + " refers to no string any more.";
    for (const auto& [unit, reason] : report.failed) text += "\rNot restored: " + reason;
    if (report.failed.empty())
        reporter_->information(text);
    else
        reporter_->warning(text);
}

void CodeResultView::show_row(int row) {
    store::Table& pascal = pascal_.table();
    bool has_row = row >= 0 && string_grid->result_model()->move_to(row);
    shown_row_ = has_row ? row : -1;
    for (QWidget* control :
         std::initializer_list<QWidget*>{translated_check, ignore_check, context_memo})
        control->setEnabled(has_row);
    original_line_label->setText(has_row ? to_q(pascal.text(store::field::OriginalLine))
                                         : QString());
    new_line_label->setText(has_row ? to_q(pascal.text(store::field::NewLine)) : QString());
    translated_check->setChecked(has_row && pascal.logical(store::field::Translated));
    ignore_check->setChecked(has_row && pascal.logical(store::field::Ignore));
    shown_context_ = has_row ? message_text(pascal.text(store::field::Context)) : QString();
    context_memo->setPlainText(shown_context_);
}

void CodeResultView::tick(QCheckBox* box, const char* field) {
    if (shown_row_ < 0) return;
    string_grid->result_model()->store_logical(shown_row_, field, box->isChecked());
}

void CodeResultView::store_context() {
    if (shown_row_ < 0 || context_memo->toPlainText() == shown_context_) return;
    QString typed = context_memo->toPlainText();
    if (string_grid->result_model()->store_text(shown_row_, store::field::Context,
                                                context_from_q(typed)))
        shown_context_ = typed;
}

bool CodeResultView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == context_memo && event->type() == QEvent::FocusOut) store_context();
    return QDialog::eventFilter(watched, event);
}

void CodeResultView::done(int result) {
    string_grid->commit_editing();
    store_context();
    QDialog::done(result);
}

}  // namespace lexorin::gui
