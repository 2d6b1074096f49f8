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

Tformview::Tformview(store::TDaten& daten, QWidget* parent)
    : QDialog(parent), daten_(daten), keep_forms_(daten.tblForms), keep_units_(daten.tblUnits) {
    setWindowTitle("View forms");
    build();
    resize(748, 470);
}

Tformview::~Tformview() = default;

void Tformview::build() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QWidget(this);
    top->setFixedHeight(61);
    ResultChoicesStrip strip(top);
    strip.layout->setContentsMargins(0, 0, 0, 0);
    top->setLayout(strip.layout);
    cbNoIgnored = strip.cbNoIgnored;
    cbNoTranslated = strip.cbNoTranslated;
    cbChangedOnly = strip.cbChangedOnly;
    rbSortByUnit = strip.rbSortByUnit;
    RadioButton1 = strip.RadioButton1;
    layout->addWidget(top);

    auto* splitter = new QSplitter(this);
    splitter->setHandleWidth(7);
    DBLookupListBox1 = new QListView(splitter);
    units_model_ =
        new StringTableModel(daten_.tblUnits, {{store::field::UnitName, "UnitName"}}, this);
    DBLookupListBox1->setModel(units_model_);
    DBLookupListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1 = new ResultGrid(
        new ResultTableModel(daten_.tblForms, result_grid_columns(false), this), splitter);
    splitter->addWidget(DBLookupListBox1);
    splitter->addWidget(DBGrid1);
    splitter->setSizes({174, 560});
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(86);
    auto* strip_below = new QGridLayout(bottom);
    cbTranslated = new QCheckBox("Translated", bottom);
    cbIgnore = new QCheckBox("Ignore", bottom);
    cbChanged = new QCheckBox("Changed", bottom);
    strip_below->addWidget(cbTranslated, 0, 0);
    strip_below->addWidget(cbIgnore, 1, 0);
    strip_below->addWidget(cbChanged, 2, 0);
    strip_below->addWidget(new QLabel("Property name:", bottom), 0, 1);
    lbProperty = bold(new QLabel(bottom));
    strip_below->addWidget(lbProperty, 0, 2);
    strip_below->addWidget(new QLabel("Class name:", bottom), 1, 1);
    lbObject = bold(new QLabel(bottom));
    strip_below->addWidget(lbObject, 1, 2);
    strip_below->addWidget(new QLabel("Unit name:", bottom), 2, 1);
    edDirectory = bold(new QLineEdit(bottom));
    strip_below->addWidget(edDirectory, 2, 2);
    strip_below->setColumnStretch(2, 1);
    layout->addWidget(bottom);

    connect(DBLookupListBox1, &QListView::clicked, this, &Tformview::unit_clicked);
    connect(DBLookupListBox1, &QListView::activated, this, &Tformview::unit_clicked);
    connect(edDirectory, &QLineEdit::editingFinished, this, &Tformview::store_directory);
    connect(DBGrid1, &ResultGrid::row_entered, this, &Tformview::show_row);
    // Queued: a box shown while the cell editor commits would make it commit again.
    connect(
        DBGrid1->result_model(), &ResultTableModel::failed, this,
        [this](const QString& text) {
            show_row(DBGrid1->current_row());  // the controls show what is stored
            show_failure_text(this, text);
        },
        Qt::QueuedConnection);
    connect(cbTranslated, &QCheckBox::clicked, this,
            [this] { tick(cbTranslated, store::field::Translated); });
    connect(cbIgnore, &QCheckBox::clicked, this, [this] { tick(cbIgnore, store::field::Ignore); });
    connect(cbChanged, &QCheckBox::clicked, this,
            [this] { tick(cbChanged, store::field::Changed); });
    for (QCheckBox* box : {cbNoIgnored, cbNoTranslated, cbChangedOnly})
        connect(box, &QCheckBox::clicked, this, &Tformview::apply_choices);
    connect(RadioButton1, &QRadioButton::toggled, this, &Tformview::apply_choices);
}

void Tformview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void Tformview::FormShow() {
    try {
        daten_.tblForms.open();
        daten_.tblUnits.open();
        // The forms table has no order by string unless its schema gains one.
        const auto& orders = daten_.tblForms.schema().orders;
        bool by_string = std::any_of(orders.begin(), orders.end(), [](const auto& order) {
            return order.name == store::order::String;
        });
        RadioButton1->setEnabled(by_string);
        units_model_->refresh();
        apply_choices();  // the grid as the strip says: every row, in Index order
        show_unit(units_model_->rowCount() > 0 ? 0 : -1);
    } catch (const std::exception& failure) {
        show_failure(this, failure);
    }
}

// The file list moves "Unit name:" only: the grid keeps showing the strings of every form.
void Tformview::unit_clicked(const QModelIndex& line) {
    store_directory();
    if (line.isValid()) show_unit(line.row());
}

void Tformview::show_unit(int row) {
    bool has_row = row >= 0 && units_model_->move_to(row);
    unit_row_ = has_row ? row : -1;
    shown_directory_ = has_row ? to_q(daten_.tblUnits.text(store::field::Directory)) : QString();
    edDirectory->setText(shown_directory_);
    edDirectory->setEnabled(has_row);
}

void Tformview::store_directory() {
    if (unit_row_ < 0 || edDirectory->text() == shown_directory_) return;
    store::Table& units = daten_.tblUnits;
    try {
        std::string directory = from_q(edDirectory->text());
        if (!units_model_->move_to(unit_row_)) return;
        units.edit();
        units.set_text(store::field::Directory, directory);
        units.post();
        shown_directory_ = edDirectory->text();
    } catch (const std::exception& failure) {
        units.cancel();
        show_unit(unit_row_);  // before the box, so that leaving the field stores nothing more
        show_failure(this, failure);
    }
}

// The three boxes and the order, on the forms table as the code view has them on its table.
void Tformview::apply_choices() {
    store::Table& forms = daten_.tblForms;
    try {
        DBGrid1->commit_editing();
        forms.set_filtered(false);
        forms.set_filter(editor::ChoicesFilter(
            {cbNoIgnored->isChecked(), cbNoTranslated->isChecked(), cbChangedOnly->isChecked()}));
        forms.set_index_name(RadioButton1->isChecked() ? store::order::String : "");
        forms.set_filtered(true);
    } catch (const std::exception& failure) {
        show_failure(this, failure);
    }
    DBGrid1->reload();
}

void Tformview::show_row(int row) {
    store::Table& forms = daten_.tblForms;
    bool has_row = row >= 0 && DBGrid1->result_model()->move_to(row);
    shown_row_ = has_row ? row : -1;
    for (QCheckBox* box : {cbTranslated, cbIgnore, cbChanged}) box->setEnabled(has_row);
    cbTranslated->setChecked(has_row && forms.logical(store::field::Translated));
    cbIgnore->setChecked(has_row && forms.logical(store::field::Ignore));
    cbChanged->setChecked(has_row && forms.logical(store::field::Changed));
    lbProperty->setText(has_row ? to_q(forms.text(store::field::Property)) : QString());
    lbObject->setText(has_row ? to_q(forms.text(store::field::Object)) : QString());
}

void Tformview::tick(QCheckBox* box, const char* field) {
    if (shown_row_ < 0) return;
    DBGrid1->result_model()->store_logical(shown_row_, field, box->isChecked());
}

void Tformview::done(int result) {
    DBGrid1->commit_editing();
    store_directory();
    QDialog::done(result);
}

}  // namespace lexorin::gui
