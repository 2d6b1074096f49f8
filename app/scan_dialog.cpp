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
#include "app/window_hints.h"
#include "base/text_qt.h"
#include "base/text_utils.h"
#include "project/projects_table.h"

namespace lexorin::gui {

namespace field = project::field;

ScanDialog::ScanDialog(ProjectWindow& owner, const QString& caption, const QString& options_caption,
                       const QStringList& info_lines, QSize size)
    : QDialog(&owner), owner_(owner) {
    setWindowTitle(caption);
    setModal(true);
    auto* grid = new QGridLayout(this);

    // The project, as the main window shows it; only the languages can be chosen here.
    auto* identity = new QGroupBox("Project", this);
    auto* id_form = new QGridLayout(identity);
    name_edit = new QLineEdit(identity);
    directory_edit = new QLineEdit(identity);
    recursive_check = new QCheckBox("&recursive?", identity);
    excluded_folder_list = new QListWidget(identity);
    language_list = new QListWidget(identity);
    auto label = [&](const char* text, QWidget* buddy) {
        auto* l = new QLabel(text, identity);
        l->setBuddy(buddy);
        return l;
    };
    id_form->addWidget(label("&Name", name_edit), 0, 0);
    id_form->addWidget(name_edit, 0, 1, 1, 2);
    id_form->addWidget(label("D&irectory", directory_edit), 1, 0);
    id_form->addWidget(directory_edit, 1, 1);
    id_form->addWidget(recursive_check, 1, 2);
    id_form->addWidget(label("E&xcluded", excluded_folder_list), 2, 0, Qt::AlignTop);
    id_form->addWidget(excluded_folder_list, 2, 1, 1, 2);
    id_form->addWidget(label("&Languages", language_list), 3, 0, Qt::AlignTop);
    id_form->addWidget(language_list, 3, 1, 1, 2);
    for (QWidget* w :
         {static_cast<QWidget*>(name_edit), static_cast<QWidget*>(directory_edit),
          static_cast<QWidget*>(recursive_check), static_cast<QWidget*>(excluded_folder_list)})
        w->setEnabled(false);

    store::Table& p = owner.projects();
    name_edit->setText(to_q(p.text(field::Name)));
    directory_edit->setText(to_q(p.text(field::Directory)));
    recursive_check->setChecked(p.logical(field::Recoursive));
    for (int i = 0; i < owner.excluded_folder_list->count(); ++i)
        excluded_folder_list->addItem(owner.excluded_folder_list->item(i)->text());
    for (int i = 0; i < owner.language_list->count(); ++i)
        language_list->addItem(owner.language_list->item(i)->text());
    language_list->setCurrentRow(owner.language_list->currentRow());

    auto* options = new QGroupBox(options_caption, this);
    options_ = new QFormLayout(options);

    help_memo = new QPlainTextEdit(this);
    help_memo->setReadOnly(true);
    QFont bold = help_memo->font();
    bold.setBold(true);
    help_memo->setFont(bold);
    help_memo->setStyleSheet("QPlainTextEdit { background: rgb(255, 255, 225); }");
    help_memo->setPlainText(info_lines.join('\n'));
    help_memo->setMinimumHeight(120);
    hints_ = new HintPanel(help_memo);

    auto* buttons = new QHBoxLayout;
    delete_tables_button = new QPushButton("&Delete table", this);
    scan_button = new QPushButton("&Scan", this);
    close_button = new QPushButton("&Close", this);
    help_button = new QPushButton("&Help", this);
    // No button is the default: Enter in an option field must not start a scan, which
    // rewrites units in place. Enter in a one-line field moves on to the next control.
    for (auto* b : {delete_tables_button, scan_button, close_button, help_button}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    buttons->addWidget(delete_tables_button);
    buttons->addStretch();
    for (auto* b : {scan_button, close_button, help_button}) buttons->addWidget(b);
    hints_->add(name_edit, hints::kProjectName);

    status_bar = new QStatusBar(this);
    status_bar->setSizeGripEnabled(false);
    reporter_ = std::make_unique<QtReporter>(this, status_bar);

    grid->addWidget(identity, 0, 0);
    grid->addWidget(options, 0, 1);
    grid->addWidget(help_memo, 1, 0, 1, 2);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->addWidget(status_bar, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(1, 1);
    grid->setContentsMargins(8, 8, 8, 0);

    connect(scan_button, &QPushButton::clicked, this, [this] { run(&ScanDialog::scan); });
    connect(delete_tables_button, &QPushButton::clicked, this,
            [this] { run(&ScanDialog::delete_tables); });
    connect(close_button, &QPushButton::clicked, this, &QDialog::reject);
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
    for (int i = 0; i < language_list->count(); ++i)
        languages.items.push_back(from_q(language_list->item(i)->text()));
    languages.selected = language_list->currentRow();
    return languages;
}

commands::ProjectHandles ScanDialog::project_with(LanguageList& languages) const {
    return {owner_.projects(), owner_.tables(), owner_.code_page(), languages};
}

void ScanDialog::set_running(bool running) {
    running_ = running;
    for (auto* b : {delete_tables_button, close_button, help_button, scan_button})
        b->setEnabled(!running);
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
