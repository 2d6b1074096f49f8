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

Tformpas::Tformpas(store::TDaten& daten, QWidget* parent)
    : QDialog(parent),
      daten_(daten),
      keep_pascal_(daten.tblPascal),
      keep_files_(daten.tblPasFiles) {
    setFont(QFont("MS Sans Serif", 8));
    build();
    resize(736, 542);
}

Tformpas::~Tformpas() = default;

void Tformpas::build() {
    auto* layout = new QVBoxLayout(this);
    ResultChoicesStrip strip(this);
    cbNoIgnored = strip.cbNoIgnored;
    cbNoTranslated = strip.cbNoTranslated;
    cbChangedOnly = strip.cbChangedOnly;
    rbSortByUnit = strip.rbSortByUnit;
    RadioButton1 = strip.RadioButton1;
    layout->addLayout(strip.layout);

    auto* middle = new QHBoxLayout;
    DBLookupListBox1 = new QListView(this);
    units_model_ =
        new StringTableModel(daten_.tblPasFiles, {{store::field::UnitName, "UnitName"}}, this);
    DBLookupListBox1->setModel(units_model_);
    DBLookupListBox1->setFixedWidth(174);
    DBLookupListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(DBLookupListBox1, &QListView::clicked, this, &Tformpas::DBLookupListBox1Click);
    connect(DBLookupListBox1, &QListView::activated, this, &Tformpas::DBLookupListBox1Click);
    middle->addWidget(DBLookupListBox1, 0, Qt::AlignTop);
    DBLookupListBox1->setMinimumHeight(264);

    auto* right = new QVBoxLayout;
    DBGrid1 = new ResultGrid(
        new ResultTableModel(daten_.tblPascal, result_grid_columns(true), this), this);
    DBGrid1->setMinimumSize(533, 265);
    right->addWidget(DBGrid1, 1);
    auto* details = new QHBoxLayout;
    details->addWidget(new QLabel("Original line #:", this));
    lbOriginalLine = bold_label(this);
    details->addWidget(lbOriginalLine);
    details->addSpacing(16);
    details->addWidget(new QLabel("New line #:", this));
    lbNewLine = bold_label(this);
    details->addWidget(lbNewLine);
    details->addSpacing(16);
    cbTranslated = new QCheckBox("Translated", this);
    cbIgnore = new QCheckBox("Ignore", this);
    details->addWidget(cbTranslated);
    details->addWidget(cbIgnore);
    details->addStretch();
    right->addLayout(details);
    middle->addLayout(right, 1);
    layout->addLayout(middle, 1);

    meContext = new QPlainTextEdit(this);
    meContext->setFixedHeight(129);
    meContext->installEventFilter(this);
    layout->addWidget(meContext);

    auto* bottom = new QHBoxLayout;
    btRestore = new QPushButton("&Restore", this);
    btRestore->setToolTip(
        "Puts the literal of the chosen string, or all literals of the chosen unit, back into "
        "the code; the rows stay, marked Ignore, so that a new scan leaves them alone");
    btRestore->setEnabled(false);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    reporter_ = std::make_unique<QtReporter>(this, StatusBar1);
    bottom->addWidget(btRestore);
    bottom->addWidget(StatusBar1, 1);
    layout->addLayout(bottom);
    connect(btRestore, &QPushButton::clicked, this, &Tformpas::btRestoreClick);
    // The grid's cell editor takes the focus, not the grid itself.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && (now == DBGrid1 || DBGrid1->isAncestorOf(now))) chosen_ = Chosen::Row;
    });

    connect(DBGrid1, &ResultGrid::row_entered, this, &Tformpas::show_row);
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
}

void Tformpas::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void Tformpas::FormShow() {
    try {
        // The unit list sorted by file name; the grid as the pascal table stands.
        daten_.tblPasFiles.open();
        daten_.tblPasFiles.set_index_name(store::order::Name);
        daten_.tblPascal.open();
        setWindowTitle("Translator - Scan PAS files");
        units_model_->refresh();
        DBGrid1->reload();
    } catch (const std::exception& failure) {
        show_failure(this, failure);
    }
}

void Tformpas::DBLookupListBox1Click(const QModelIndex& line) {
    try {
        store_context();
        if (!line.isValid() || !units_model_->move_to(line.row())) return;
        store::Table& files = daten_.tblPasFiles;
        store::Table& pascal = daten_.tblPascal;
        std::string filter = editor::UnitClickFilter(
            files.text(store::field::UnitName), files.integer(store::field::Index),
            {cbNoIgnored->isChecked(), cbNoTranslated->isChecked(), cbChangedOnly->isChecked()});
        pascal.set_filtered(false);
        pascal.set_filter("");
        pascal.set_filter(filter);
        pascal.set_index_name(rbSortByUnit->isChecked() ? "" : store::order::String);
        pascal.set_filtered(true);
        DBGrid1->reload();
        const bool show_all =
            upper_case(files.text(store::field::UnitName)) == upper_case(store::kShowAll);
        chosen_ = show_all ? Chosen::Nothing : Chosen::Unit;
        chosen_unit_ = files.integer(store::field::Index);
        chosen_unit_path_ = files.text(store::field::Directory);
    } catch (const std::exception& failure) {
        show_failure(this, failure);
        DBGrid1->reload();
    }
}

void Tformpas::set_restore_target(RestoreAction action) {
    restore_ = std::move(action);
    btRestore->setEnabled(true);
}

void Tformpas::btRestoreClick() {
    try {
        DBGrid1->commit_editing();
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

void Tformpas::restore_row() {
    const int row = DBGrid1->current_row();
    store::Table& pascal = daten_.tblPascal;
    if (row < 0 || !DBGrid1->result_model()->move_to(row)) {
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

void Tformpas::restore_unit() {
    const std::string unit = std::to_string(chosen_unit_);
    const int count = daten_.tblPascal.count_where(std::string(store::field::UnitName) + "=" +
                                                   unit + " and " + store::field::NewLine + ">0");
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

void Tformpas::restore(const std::string& question, const std::vector<std::int64_t>& indexes,
                       const std::vector<std::string>& units) {
    if (!reporter_->confirm(question)) return;
    code::RestoreSelection selection{units, indexes};
    code::RestoreReport report = restore_(selection, *reporter_);
    reporter_->status("");
    DBGrid1->reload();
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

void Tformpas::show_row(int row) {
    store::Table& pascal = daten_.tblPascal;
    bool has_row = row >= 0 && DBGrid1->result_model()->move_to(row);
    shown_row_ = has_row ? row : -1;
    for (QWidget* control : std::initializer_list<QWidget*>{cbTranslated, cbIgnore, meContext})
        control->setEnabled(has_row);
    lbOriginalLine->setText(has_row ? to_q(pascal.text(store::field::OriginalLine)) : QString());
    lbNewLine->setText(has_row ? to_q(pascal.text(store::field::NewLine)) : QString());
    cbTranslated->setChecked(has_row && pascal.logical(store::field::Translated));
    cbIgnore->setChecked(has_row && pascal.logical(store::field::Ignore));
    shown_context_ = has_row ? message_text(pascal.text(store::field::Context)) : QString();
    meContext->setPlainText(shown_context_);
}

void Tformpas::tick(QCheckBox* box, const char* field) {
    if (shown_row_ < 0) return;
    DBGrid1->result_model()->store_logical(shown_row_, field, box->isChecked());
}

void Tformpas::store_context() {
    if (shown_row_ < 0 || meContext->toPlainText() == shown_context_) return;
    QString typed = meContext->toPlainText();
    if (DBGrid1->result_model()->store_text(shown_row_, store::field::Context,
                                            context_from_q(typed)))
        shown_context_ = typed;
}

bool Tformpas::eventFilter(QObject* watched, QEvent* event) {
    if (watched == meContext && event->type() == QEvent::FocusOut) store_context();
    return QDialog::eventFilter(watched, event);
}

void Tformpas::done(int result) {
    DBGrid1->commit_editing();
    store_context();
    QDialog::done(result);
}

}  // namespace lexorin::gui
