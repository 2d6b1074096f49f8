#include "app/scan_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "app/project_window.h"
#include "base/text_qt.h"
#include "base/text_utils.h"
#include "project/projects_table.h"

namespace lexorin::gui {

namespace field = project::field;

ScanDialog::ScanDialog(Tlx_project& owner, const QString& caption, const QString& options_caption,
                       const QStringList& info_lines, QSize size)
    : QDialog(&owner), owner_(owner) {
    setWindowTitle(caption);
    setModal(true);
    auto* grid = new QGridLayout(this);

    // The project, as the main window shows it; only the languages can be chosen here.
    auto* identity = new QGroupBox("Project", this);
    auto* id_form = new QGridLayout(identity);
    EditName = new QLineEdit(identity);
    EditDirectory = new QLineEdit(identity);
    DBCheckBox1 = new QCheckBox("&recursive?", identity);
    lbex = new QListWidget(identity);
    lblang = new QListWidget(identity);
    auto label = [&](const char* text, QWidget* buddy) {
        auto* l = new QLabel(text, identity);
        l->setBuddy(buddy);
        return l;
    };
    id_form->addWidget(label("&Name", EditName), 0, 0);
    id_form->addWidget(EditName, 0, 1, 1, 2);
    id_form->addWidget(label("D&irectory", EditDirectory), 1, 0);
    id_form->addWidget(EditDirectory, 1, 1);
    id_form->addWidget(DBCheckBox1, 1, 2);
    id_form->addWidget(label("E&xcluded", lbex), 2, 0, Qt::AlignTop);
    id_form->addWidget(lbex, 2, 1, 1, 2);
    id_form->addWidget(label("&Languages", lblang), 3, 0, Qt::AlignTop);
    id_form->addWidget(lblang, 3, 1, 1, 2);
    for (QWidget* w : {static_cast<QWidget*>(EditName), static_cast<QWidget*>(EditDirectory),
                       static_cast<QWidget*>(DBCheckBox1), static_cast<QWidget*>(lbex)})
        w->setEnabled(false);

    store::Table& p = owner.projects();
    EditName->setText(to_q(p.text(field::Name)));
    EditDirectory->setText(to_q(p.text(field::Directory)));
    DBCheckBox1->setChecked(p.logical(field::Recoursive));
    for (int i = 0; i < owner.lbex->count(); ++i) lbex->addItem(owner.lbex->item(i)->text());
    for (int i = 0; i < owner.lblang->count(); ++i) lblang->addItem(owner.lblang->item(i)->text());
    lblang->setCurrentRow(owner.lblang->currentRow());

    auto* options = new QGroupBox(options_caption, this);
    options_ = new QFormLayout(options);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    QFont bold = Memo1->font();
    bold.setBold(true);
    Memo1->setFont(bold);
    Memo1->setStyleSheet("QPlainTextEdit { background: rgb(255, 255, 225); }");
    Memo1->setPlainText(info_lines.join('\n'));
    Memo1->setMinimumHeight(120);
    hints_ = new HintPanel(Memo1);

    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton("&Delete table", this);
    BitBtn4 = new QPushButton("&Scan", this);
    BitBtn2 = new QPushButton("&Close", this);
    BitBtn3 = new QPushButton("&Help", this);
    // No button is the default: Enter in an option field must not start a scan, which
    // rewrites units in place. Enter in a one-line field moves on to the next control.
    for (auto* b : {BitBtn1, BitBtn4, BitBtn2, BitBtn3}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    for (auto* b : {BitBtn4, BitBtn2, BitBtn3}) buttons->addWidget(b);
    hints_->add(EditName, "Type the name of the project.");

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    reporter_ = std::make_unique<QtReporter>(this, StatusBar1);

    grid->addWidget(identity, 0, 0);
    grid->addWidget(options, 0, 1);
    grid->addWidget(Memo1, 1, 0, 1, 2);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->addWidget(StatusBar1, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(1, 1);
    grid->setContentsMargins(8, 8, 8, 0);

    connect(BitBtn4, &QPushButton::clicked, this, [this] { run(&ScanDialog::scan); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { run(&ScanDialog::delete_tables); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(size);
}

void ScanDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (qobject_cast<QLineEdit*>(focusWidget())) focusNextChild();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::string ScanDialog::memo_value(const QPlainTextEdit* memo) {
    return join_crlf(read_text_lines(from_q(memo->toPlainText())));
}

LanguageList ScanDialog::dialog_languages() const {
    LanguageList languages;
    for (int i = 0; i < lblang->count(); ++i)
        languages.items.push_back(from_q(lblang->item(i)->text()));
    languages.selected = lblang->currentRow();
    return languages;
}

void ScanDialog::set_running(bool running) {
    running_ = running;
    for (auto* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4}) b->setEnabled(!running);
}

void ScanDialog::run(void (ScanDialog::*work)()) {
    set_running(true);
    try {
        (this->*work)();
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
    set_running(false);
}

void ScanDialog::store_options() {
    store::Table& p = owner().projects();
    if (!p.has_current()) return;
    p.edit();
    try {
        set_options(p);
        p.post();
    } catch (...) {
        p.cancel();
        throw;
    }
}

void ScanDialog::reject() {
    if (running_) return;  // a scan cannot be left half-way
    try {
        store_options();
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
    QDialog::reject();
}

void ScanDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace lexorin::gui
