#include "editor/form_result_view.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "base/reporter_qt.h"
#include "base/text_qt.h"
#include "editor/result_model_qt.h"
#include "store/translation_fields.h"

namespace lexorin::gui {

namespace {

template <class Widget>
Widget* bold(Widget* widget) {
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
    return widget;
}

}  // namespace

FormResultView::FormResultView(const store::TableFolder& folder, const std::string& project,
                               const std::string& language, QWidget* parent)
    : QDialog(parent), forms_(folder, project, language), form_files_(folder, project) {
    setWindowTitle("View forms");
    build();
    resize(748, 470);
}

FormResultView::~FormResultView() = default;

void FormResultView::build() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QWidget(this);
    top->setFixedHeight(61);
    ResultChoicesStrip strip(top);
    strip.layout->setContentsMargins(0, 0, 0, 0);
    top->setLayout(strip.layout);
    no_ignored_check = strip.no_ignored_check;
    no_translated_check = strip.no_translated_check;
    changed_only_check = strip.changed_only_check;
    unsorted_radio = strip.unsorted_radio;
    sort_by_string_radio = strip.sort_by_string_radio;
    layout->addWidget(top);

    auto* splitter = new QSplitter(this);
    splitter->setHandleWidth(7);
    unit_list = new QListView(splitter);
    units_model_ =
        new StringTableModel(form_files_.table(), {{store::field::UnitName, "UnitName"}}, this);
    unit_list->setModel(units_model_);
    unit_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    string_grid = new ResultGrid(
        new ResultTableModel(forms_.table(), result_grid_columns(false), this), splitter);
    splitter->addWidget(unit_list);
    splitter->addWidget(string_grid);
    splitter->setSizes({174, 560});
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(86);
    auto* strip_below = new QGridLayout(bottom);
    translated_check = new QCheckBox("Translated", bottom);
    ignore_check = new QCheckBox("Ignore", bottom);
    changed_check = new QCheckBox("Changed", bottom);
    strip_below->addWidget(translated_check, 0, 0);
    strip_below->addWidget(ignore_check, 1, 0);
    strip_below->addWidget(changed_check, 2, 0);
    strip_below->addWidget(new QLabel("Property name:", bottom), 0, 1);
    property_label = bold(new QLabel(bottom));
    strip_below->addWidget(property_label, 0, 2);
    strip_below->addWidget(new QLabel("Class name:", bottom), 1, 1);
    object_label = bold(new QLabel(bottom));
    strip_below->addWidget(object_label, 1, 2);
    strip_below->addWidget(new QLabel("Unit name:", bottom), 2, 1);
    directory_edit = bold(new QLineEdit(bottom));
    strip_below->addWidget(directory_edit, 2, 2);
    strip_below->setColumnStretch(2, 1);
    layout->addWidget(bottom);

    connect(unit_list, &QListView::clicked, this, &FormResultView::unit_clicked);
    connect(unit_list, &QListView::activated, this, &FormResultView::unit_clicked);
    connect(directory_edit, &QLineEdit::editingFinished, this, &FormResultView::store_directory);
    connect(string_grid, &ResultGrid::row_entered, this, &FormResultView::show_row);
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
    connect(changed_check, &QCheckBox::clicked, this,
            [this] { tick(changed_check, store::field::Changed); });
    for (QCheckBox* box : {no_ignored_check, no_translated_check, changed_only_check})
        connect(box, &QCheckBox::clicked, this, &FormResultView::apply_choices);
    connect(sort_by_string_radio, &QRadioButton::toggled, this, &FormResultView::apply_choices);
}

void FormResultView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    first_show();
}

void FormResultView::first_show() {
    try {
        // The forms table has no order by string unless its schema gains one.
        const auto& orders = forms_.table().schema().orders;
        bool by_string = std::any_of(orders.begin(), orders.end(), [](const auto& order) {
            return order.name == store::order::String;
        });
        sort_by_string_radio->setEnabled(by_string);
        units_model_->refresh();
        apply_choices();  // the grid as the strip says: every row, in Index order
        show_unit(units_model_->rowCount() > 0 ? 0 : -1);
    } catch (const std::exception& failure) {
        show_failure(this, failure);
    }
}

// The file list moves "Unit name:" only: the grid keeps showing the strings of every form.
void FormResultView::unit_clicked(const QModelIndex& line) {
    store_directory();
    if (line.isValid()) show_unit(line.row());
}

void FormResultView::show_unit(int row) {
    bool has_row = row >= 0 && units_model_->move_to(row);
    unit_row_ = has_row ? row : -1;
    shown_directory_ =
        has_row ? to_q(form_files_.table().text(store::field::Directory)) : QString();
    directory_edit->setText(shown_directory_);
    directory_edit->setEnabled(has_row);
}

void FormResultView::store_directory() {
    if (unit_row_ < 0 || directory_edit->text() == shown_directory_) return;
    store::Table& units = form_files_.table();
    try {
        std::string directory = from_q(directory_edit->text());
        if (!units_model_->move_to(unit_row_)) return;
        units.edit();
        units.set_text(store::field::Directory, directory);
        units.post();
        shown_directory_ = directory_edit->text();
    } catch (const std::exception& failure) {
        units.cancel();
        show_unit(unit_row_);  // before the box, so that leaving the field stores nothing more
        show_failure(this, failure);
    }
}

// The three boxes and the order, on the forms table as the code view has them on its table.
void FormResultView::apply_choices() {
    store::Table& forms = forms_.table();
    try {
        string_grid->commit_editing();
        forms.set_filtered(false);
        forms.set_filter(
            editor::ChoicesFilter({no_ignored_check->isChecked(), no_translated_check->isChecked(),
                                   changed_only_check->isChecked()}));
        forms.set_index_name(sort_by_string_radio->isChecked() ? store::order::String : "");
        forms.set_filtered(true);
    } catch (const std::exception& failure) {
        show_failure(this, failure);
    }
    string_grid->reload();
}

void FormResultView::show_row(int row) {
    store::Table& forms = forms_.table();
    bool has_row = row >= 0 && string_grid->result_model()->move_to(row);
    shown_row_ = has_row ? row : -1;
    for (QCheckBox* box : {translated_check, ignore_check, changed_check}) box->setEnabled(has_row);
    translated_check->setChecked(has_row && forms.logical(store::field::Translated));
    ignore_check->setChecked(has_row && forms.logical(store::field::Ignore));
    changed_check->setChecked(has_row && forms.logical(store::field::Changed));
    property_label->setText(has_row ? to_q(forms.text(store::field::Property)) : QString());
    object_label->setText(has_row ? to_q(forms.text(store::field::Object)) : QString());
}

void FormResultView::tick(QCheckBox* box, const char* field) {
    if (shown_row_ < 0) return;
    string_grid->result_model()->store_logical(shown_row_, field, box->isChecked());
}

void FormResultView::done(int result) {
    string_grid->commit_editing();
    store_directory();
    QDialog::done(result);
}

}  // namespace lexorin::gui
