#include "app/project_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/commands.h"
#include "app/scan_code_dialog.h"
#include "app/scan_forms_dialog.h"
#include "app/window_hints.h"
#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_qt.h"
#include "base/text_utils.h"
#include "base/wait_cursor.h"
#include "code/code_scan.h"
#include "editor/code_result_view.h"
#include "editor/editor_window.h"
#include "editor/form_result_view.h"
#include "project/backup.h"
#include "project/languages.h"
#include "project/project_delete.h"
#include "store/translation_tables.h"

namespace lexorin::gui {

namespace field = project::field;

// The support mailbox that "Mail to us" opens a message to.
constexpr const char* kSupportMail = "mailto:support@lexorin.example";

Tlx_project::Tlx_project(const std::string& working_directory, const std::string& program_directory,
                         QWidget* parent)
    : QMainWindow(parent), daten_(session_, program_directory, window_code_page()) {
    setWindowTitle("Projects");
    build_controls();
    build_menu();
    reporter_ = std::make_unique<QtReporter>(this, statusBar());
    data_projects_ = std::make_unique<project::TDataProjects>(session_, working_directory);
    projects().first();
    open_editor = [](Tlx_project& window) { window.open_translation_editor(); };
    open_url = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    // The window keeps its designed size: no grip that cannot resize it.
    statusBar()->setSizeGripEnabled(false);
    // A client area of 729 x 464 pixels below the menu, as the window was designed.
    setFixedSize(729, 464 + menuBar()->sizeHint().height());
}

Tlx_project::~Tlx_project() = default;

void Tlx_project::build_controls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(8, 8, 8, 4);
    grid->setHorizontalSpacing(10);

    // Navigator and Close.
    auto* navigator = new QHBoxLayout;
    navigator->setSpacing(1);
    const QStyle::StandardPixmap icons[nbCount] = {
        QStyle::SP_MediaSkipBackward,   QStyle::SP_MediaSeekBackward,
        QStyle::SP_MediaSeekForward,    QStyle::SP_MediaSkipForward,
        QStyle::SP_FileDialogNewFolder, QStyle::SP_FileDialogDetailedView,
        QStyle::SP_DialogSaveButton};
    for (int i = 0; i < nbCount; ++i) {
        navigator_[i] = new QToolButton(central);
        navigator_[i]->setIcon(style()->standardIcon(icons[i]));
        navigator_[i]->setAutoRaise(false);
        navigator->addWidget(navigator_[i]);
        connect(navigator_[i], &QToolButton::clicked, this, [this, i] { DBNavigatorClick(i); });
    }
    navigator->addStretch();
    btnclose = new QPushButton("&Close", central);
    navigator->addWidget(btnclose);
    connect(btnclose, &QPushButton::clicked, this, &QWidget::close);
    grid->addLayout(navigator, 0, 0, 1, 2);

    // The project record.
    auto* record = new QGridLayout;
    auto* name_label = new QLabel("&Name", central);
    EditName = new QLineEdit(central);
    name_label->setBuddy(EditName);
    auto* dir_label = new QLabel("&Directory", central);
    DirectoryEdit1 = new DirectoryEdit(central);
    dir_label->setBuddy(DirectoryEdit1->line());
    EditDirectory = new QLineEdit(central);
    EditDirectory->hide();
    DBCheckBox1 = new QCheckBox("&recursive?", central);
    record->addWidget(name_label, 0, 0);
    record->addWidget(EditName, 0, 1, 1, 2);
    record->addWidget(dir_label, 1, 0);
    record->addWidget(DirectoryEdit1, 1, 1);
    record->addWidget(DBCheckBox1, 1, 2);
    record->setColumnStretch(1, 1);
    grid->addLayout(record, 1, 0, 1, 2);

    // Excluded directories and languages.
    auto* excluded = new QGroupBox("Excluded directories", central);
    auto* ex_layout = new QGridLayout(excluded);
    lbex = new QListWidget(excluded);
    bexadd = new QPushButton("&Add", excluded);
    bexdel = new QPushButton("De&lete", excluded);
    DirectoryEdit2 = new DirectoryEdit(excluded);
    DirectoryEdit2->hide();
    ex_layout->addWidget(lbex, 0, 0, 3, 1);
    ex_layout->addWidget(bexadd, 0, 1);
    ex_layout->addWidget(bexdel, 1, 1);
    ex_layout->addWidget(DirectoryEdit2, 3, 0, 1, 2);
    auto* languages = new QGroupBox("Languages", central);
    auto* lang_layout = new QGridLayout(languages);
    lblang = new QListWidget(languages);
    btlangadd = new QPushButton("A&dd", languages);
    Btlangdelete = new QPushButton("Dele&te", languages);
    lang_layout->addWidget(lblang, 0, 0, 3, 1);
    lang_layout->addWidget(btlangadd, 0, 1);
    lang_layout->addWidget(Btlangdelete, 1, 1);
    grid->addWidget(excluded, 2, 0);
    grid->addWidget(languages, 2, 1);

    // Details and the help panel.
    auto* GroupBox1 = new QGroupBox("Details", central);
    auto* details = new QVBoxLayout(GroupBox1);
    DBMemo1 = new QPlainTextEdit(GroupBox1);
    // Alt+W belongs to the Write changes menu.
    BitBtn2 = new QPushButton("W&hat now?", GroupBox1);
    details->addWidget(DBMemo1);
    details->addWidget(BitBtn2, 0, Qt::AlignRight);
    Memo1 = new QPlainTextEdit(central);
    Memo1->setReadOnly(true);
    QFont bold = Memo1->font();
    bold.setBold(true);
    Memo1->setFont(bold);
    Memo1->setStyleSheet("QPlainTextEdit { background: rgb(192, 220, 192); }");
    grid->addWidget(GroupBox1, 3, 0);
    grid->addWidget(Memo1, 3, 1);
    grid->setRowStretch(2, 2);
    grid->setRowStretch(3, 3);

    hints_ = new HintPanel(Memo1);
    const char* navigator_tips[nbCount] = {
        "Go to first project", "Go to previous project", "Go to next project", "Go to last project",
        "Add a project",       "Modify this project",    "Write changes"};
    for (int i = 0; i < nbCount; ++i) {
        // Each button has its own tooltip; the panel shows the navigator's long text.
        hints_->add(navigator_[i],
                    std::string(navigator_tips[i]) + "|" + long_hint(hints::kNavigator));
        navigator_[i]->setToolTip(navigator_tips[i]);
    }
    hints_->add(EditName, hints::kEditName);
    hints_->add(DirectoryEdit1->line(), hints::kDirectoryEdit1);
    hints_->add(DBCheckBox1, hints::kDBCheckBox1);
    hints_->add(lbex, hints::kLbex);
    hints_->add(lblang, hints::kLblang);
    hints_->add(BitBtn2, hints::kWhatNow);

    connect(DirectoryEdit1, &DirectoryEdit::left, this, &Tlx_project::DirectoryEdit1Exit);
    connect(EditName, &QLineEdit::textEdited, this, [this](const QString&) {
        if (loading_ || projects().state() != store::Table::State::Insert) return;
        try {
            projects().set_text(field::Name, from_q(EditName->text()));
        } catch (const std::exception& e) {
            show_failure(this, e);
        }
    });
    connect(DBCheckBox1, &QCheckBox::toggled, this, &Tlx_project::store_recursive);
    connect(bexadd, &QPushButton::clicked, this, &Tlx_project::bexaddClick);
    connect(DirectoryEdit2, &DirectoryEdit::left, this, &Tlx_project::DirectoryEdit2Exit);
    connect(bexdel, &QPushButton::clicked, this, &Tlx_project::bexdelClick);
    connect(btlangadd, &QPushButton::clicked, this, &Tlx_project::btlangaddClick);
    connect(Btlangdelete, &QPushButton::clicked, this, &Tlx_project::BtlangdeleteClick);
    connect(BitBtn2, &QPushButton::clicked, this, &Tlx_project::BitBtn2Click);
    connect(lblang, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!loading_) languages_.selected = row;
    });
    DBMemo1->installEventFilter(hints_);
}

void Tlx_project::build_menu() {
    auto* project_menu = menuBar()->addMenu("&Project");
    Bearbeiten1 = project_menu->addAction("&Delete", this, &Tlx_project::Bearbeiten1Click);
    auto* scan = menuBar()->addMenu("&Scan");
    Code1 = scan->addAction("&Code", this, &Tlx_project::Code1Click);
    Forms1 = scan->addAction("&Forms", this, &Tlx_project::Forms1Click);
    Edit1 = new QMenu("&View results", this);  // created hidden and never shown
    Code2 = Edit1->addAction("&Code", this, &Tlx_project::Code2Click);
    Forms2 = Edit1->addAction("&Forms", this, &Tlx_project::Forms2Click);
    Edit2 = menuBar()->addAction("&Edit", this, &Tlx_project::Edit2Click);
    auto* write = menuBar()->addMenu("&Write changes");
    Code3 = write->addAction("&Code", this, &Tlx_project::Code3Click);
    Forms3 = write->addAction("&Forms", this, &Tlx_project::Forms3Click);
    Mailtous1 = menuBar()->addAction("&Mail to us", this, &Tlx_project::Mailtous1Click);
    for (auto* menu : {project_menu, scan, write}) menu->setToolTipsVisible(true);

    hints_->add(Bearbeiten1, hints::kProjectDelete);
    hints_->add(Code1, hints::kScanCode);
    hints_->add(Forms1, hints::kScanForms);
    hints_->add(Code2, hints::kViewCode);
    hints_->add(Forms2, hints::kViewForms);
    hints_->add(Edit2, hints::kEdit);
    hints_->add(Code3, hints::kWriteCode);
    hints_->add(Forms3, hints::kWriteForms);
}

// ---- showing the record ----

void Tlx_project::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_once_) {
        shown_once_ = true;
        FormShow();
    }
}

void Tlx_project::closeEvent(QCloseEvent* event) {
    try {
        if (projects().state() != store::Table::State::Browse &&
            !EditName->text().trimmed().isEmpty())
            projects().post();
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
    session_.flush_all();
    event->accept();
}

void Tlx_project::FormShow() {
    show_record();
    EditName->setEnabled(false);
}

void Tlx_project::FillListFromText(QListWidget* list, const std::string& text) {
    list->clear();
    for (const auto& entry : project::decode_list(text)) list->addItem(to_q(entry));
    DirectoryEdit1->line()->setText(EditDirectory->text());
}

void Tlx_project::show_record() {
    loading_ = true;
    store::Table& p = projects();
    bool has_row = p.has_current() || p.state() == store::Table::State::Insert;
    EditName->setText(has_row ? to_q(p.text(field::Name)) : QString());
    EditDirectory->setText(has_row ? to_q(p.text(field::Directory)) : QString());
    DBCheckBox1->setChecked(has_row && p.logical(field::Recoursive));
    DBMemo1->setPlainText(has_row ? message_text(p.text(field::Reserve)) : QString());
    FillListFromText(lbex, has_row ? p.text(field::Excluded) : std::string());
    FillListFromText(lblang, has_row ? p.text(field::Languages) : std::string());
    languages_.fill(has_row ? p.text(field::Languages) : std::string());
    lblang->setCurrentRow(languages_.selected);
    loading_ = false;
}

void Tlx_project::select_single_language() {
    loading_ = true;
    languages_.selected = languages_.items.size() == 1 ? 0 : -1;
    lblang->setCurrentRow(languages_.selected);
    if (languages_.selected < 0) lblang->clearSelection();
    loading_ = false;
}

std::string Tlx_project::current_language() const {
    return languages_.has_selection() ? languages_.selected_language() : std::string();
}

void Tlx_project::run_command(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
    // What a command said while it worked ("2 Strings found", a backup path) ends with it.
    reporter().status("");
}

// ---- the navigator and the fields ----

void Tlx_project::DBNavigatorClick(int button) {
    run_command([&] {
        store::Table& p = projects();
        store_memo();
        switch (button) {
            case nbFirst:
                p.first();
                break;
            case nbPrior:
                p.prior();
                break;
            case nbNext:
                p.next();
                break;
            case nbLast:
                p.last();
                break;
            case nbInsert:
                p.insert();
                break;
            case nbEdit:
                if (p.has_current()) p.edit();
                break;
            case nbPost:
                if (p.state() == store::Table::State::Insert) {
                    check_new_project_name();
                    if (!accept_leftover_tables()) p.cancel();
                }
                if (p.state() != store::Table::State::Browse) p.post();
                break;
        }
        show_record();
        if (button == nbInsert) {
            EditName->setEnabled(true);
            loading_ = true;
            DBCheckBox1->setChecked(true);
            loading_ = false;
            p.set_logical(field::Recoursive, true);
            EditName->setFocus();
        } else {
            EditName->setEnabled(false);
        }
        select_single_language();
    });
}

void Tlx_project::check_new_project_name() {
    std::string name = from_q(EditName->text());
    project::check_file_name_part(name, "project name");
    // A second handle looks for the name, so that the new row is not posted by moving.
    store::Table others(session_, projects().directory(), projects().table_name());
    others.open();
    if (project::locate_project(others, name))
        throw Error("A project named " + name + " already exists.");
    // Table files are named after the project: on a file system that ignores letter case two
    // such names would share them.
    for (const auto& other : project::project_names(others))
        if (equal_no_case(other, name))
            throw Error("A project named " + other +
                        " already exists; names that differ only in "
                        "letter case would share their table files.");
}

bool Tlx_project::accept_leftover_tables() {
    const std::string name = from_q(EditName->text());
    // A second handle, as above: walking the rows must not post the new one.
    store::Table others(session_, projects().directory(), projects().table_name());
    others.open();
    const std::vector<std::string> files =
        project::LeftoverProjectFiles(daten_.program_directory(), others, name);
    if (files.empty()) return true;
    std::string question =
        "The program directory already holds table files of a project named " + name + ":";
    for (const auto& file : files) question += "\r" + file;
    question += "\r\rKeep them and use them for the new project? (No does not add it.)";
    if (!reporter().confirm(question)) return false;
    // The languages whose tables are there come back with them.
    const std::string languages = project::encode_list(project::LeftoverLanguages(files, name));
    projects().set_text(field::Languages, languages);
    FillListFromText(lblang, languages);
    languages_.fill(languages);
    select_single_language();
    return true;
}

void Tlx_project::cancel_new_project() {
    projects().cancel();
    show_record();
    EditName->setEnabled(false);
    select_single_language();
}

void Tlx_project::edit_field(const std::function<void(store::Table&)>& set) {
    store::Table& p = projects();
    if (p.state() == store::Table::State::Browse) {
        if (!p.has_current()) return;
        p.edit();
    }
    set(p);
    if (p.state() == store::Table::State::Edit) p.post();
}

void Tlx_project::store_field(const char* name, const std::string& value) {
    edit_field([&](store::Table& p) { p.set_text(name, value); });
}

void Tlx_project::store_memo() {
    store::Table& p = projects();
    bool has_row = p.has_current() || p.state() == store::Table::State::Insert;
    if (!has_row) return;
    std::string text = join_crlf(read_text_lines(from_q(DBMemo1->toPlainText())));
    if (text == p.text(field::Reserve)) return;
    store_field(field::Reserve, text);
}

void Tlx_project::store_recursive(bool on) {
    if (loading_) return;
    run_command(
        [&] { edit_field([&](store::Table& p) { p.set_logical(field::Recoursive, on); }); });
}

void Tlx_project::DirectoryEdit1Exit() {
    if (leaving_directory_) return;
    leaving_directory_ = true;
    run_command([&] {
        if (EditName->text().isEmpty()) return;
        std::string directory = from_q(DirectoryEdit1->line()->text());
        if (!directory_exists(directory)) {
            reporter().error("The directory " + directory + " does not exist.");
            DirectoryEdit1->line()->setFocus();
            return;
        }
        if (!directory.empty()) EditDirectory->setText(DirectoryEdit1->line()->text());
        store::Table& p = projects();
        std::vector<std::string> excluded;
        for (int i = 0; i < lbex->count(); ++i) excluded.push_back(from_q(lbex->item(i)->text()));
        // The backup is offered the first time the project gets a directory.
        if (const auto backup = project::CheckSourcesAndOfferBackup(
                daten_.program_directory(), from_q(EditName->text()), directory,
                DBCheckBox1->isChecked(), excluded, p.text(field::Directory), reporter(),
                project::ProjectOutsideLinks(p)))
            reporter().information(backup->message);
        try {
            if (p.state() == store::Table::State::Browse) p.edit();
            if (p.state() == store::Table::State::Insert) {
                check_new_project_name();
                if (!accept_leftover_tables()) {
                    cancel_new_project();
                    return;
                }
            }
            p.set_text(field::Directory, directory);
            p.post();
            EditName->setEnabled(false);
        } catch (const Error& e) {
            reporter().error(e.what());
        }
    });
    leaving_directory_ = false;
}

void Tlx_project::bexaddClick() {
    if (DirectoryEdit2->isVisible()) {
        DirectoryEdit2->hide();
        return;
    }
    DirectoryEdit2->line()->setText(EditDirectory->text());
    DirectoryEdit2->show();
    DirectoryEdit2->line()->setFocus();
}

void Tlx_project::DirectoryEdit2Exit() {
    if (DirectoryEdit2->line()->text().isEmpty() || !DirectoryEdit2->isVisible()) return;
    run_command([&] {
        DirectoryEdit2->hide();
        std::string entry = trim(from_q(DirectoryEdit2->line()->text()));
        if (entry.empty() || entry == from_q(DirectoryEdit1->line()->text())) return;
        store::Table& p = projects();
        if (!p.has_current() && p.state() != store::Table::State::Insert) return;
        std::vector<std::string> list = project::decode_list(p.text(field::Excluded));
        if (project::add_excluded_entry(list, entry, from_q(DirectoryEdit1->line()->text())))
            store_field(field::Excluded, project::encode_list(list));
        FillListFromText(lbex, p.text(field::Excluded));
    });
}

void Tlx_project::bexdelClick() {
    auto* item = lbex->currentItem();
    if (!item || !item->isSelected()) return;
    run_command([&] {
        delete lbex->takeItem(lbex->row(item));
        std::vector<std::string> list;
        for (int i = 0; i < lbex->count(); ++i) list.push_back(from_q(lbex->item(i)->text()));
        store_field(field::Excluded, project::encode_list(list));
    });
}

// ---- languages ----

void Tlx_project::btlangaddClick() {
    run_command([&] {
        if (!CheckProjectReady(false, false)) return;
        project::ResetTemplateTables(daten_);
        std::string answer = reporter().ask_text("New language", "Enter language", "");
        if (answer.empty()) return;
        {
            WaitCursor wait;
            commands::AddLanguage(handles(), answer, reporter());
        }
        FillListFromText(lblang, projects().text(field::Languages));
        ShowStatusLines();
        select_single_language();
    });
}

void Tlx_project::BtlangdeleteClick() {
    run_command([&] {
        languages_.selected = lblang->currentItem() && lblang->currentItem()->isSelected()
                                  ? lblang->currentRow()
                                  : -1;
        commands::DeleteLanguage(handles(), reporter());
        FillListFromText(lblang, projects().text(field::Languages));
        select_single_language();
    });
}

// ---- the command frame ----

bool Tlx_project::CheckProjectReady(bool needLanguage, bool requireSelection) {
    sync_language_selection();
    const commands::Needs needs = !needLanguage      ? commands::Needs::Project
                                  : requireSelection ? commands::Needs::SelectedLanguage
                                                     : commands::Needs::Language;
    bool ok = commands::Ready(handles(), needs, reporter());
    if (ok && needLanguage) {
        loading_ = true;
        lblang->setCurrentRow(languages_.selected);
        loading_ = false;
    }
    return ok;
}

void Tlx_project::PrepareLanguageTables(bool codeMode) {
    commands::Prepare(handles(), codeMode);
}

void Tlx_project::sync_language_selection() {
    if (!lblang->currentItem() || !lblang->currentItem()->isSelected()) languages_.selected = -1;
}

void Tlx_project::ShowStatusLines() {
    DBMemo1->setPlainText(message_text(projects().text(field::Reserve)));
    DBMemo1->moveCursor(QTextCursor::End);  // the newest line in view
    DBMemo1->ensureCursorVisible();
}

void Tlx_project::open_translation_editor() {
    EditorTables tables;
    tables.directory = daten_.program_directory();
    tables.code = daten_.tblPascal.table_name();
    tables.forms = daten_.tblForms.table_name();
    tables.units =
        store::table_file_name(projects().text(field::Name), "", store::TableKind::Units);
    tables.files = daten_.tblPasFiles.table_name();
    tables.project = projects().text(field::Name);
    tables.language = current_language();
    int context_lines = static_cast<int>(projects().integer(field::Ccontextlines));
    lexorin::gui::open_translation_editor(this, session_, tables, last_scan_was_code_,
                                          context_lines);
}

void Tlx_project::EditCommand() {
    daten_.close_all();
    open_editor(*this);
    PrepareLanguageTables(true);
}

template <typename ScanDialogType>
void Tlx_project::scan_command(bool codeMode) {
    run_command([&] {
        if (!CheckProjectReady(true, false)) return;
        PrepareLanguageTables(codeMode);
        bool scanned = false;
        {
            ScanDialogType dialog(*this);
            dialog.exec();
            scanned = dialog.Scanned();
        }
        ShowStatusLines();
        if (scanned) {
            last_scan_was_code_ = codeMode;
            EditCommand();
        }
        PrepareLanguageTables(true);
    });
}

void Tlx_project::Code1Click() {
    scan_command<Tlx_codeform>(true);
}

void Tlx_project::Forms1Click() {
    scan_command<Tlx_dfmform>(false);
}

void Tlx_project::Code2Click() {
    run_command([&] {
        if (!CheckProjectReady(true, true)) return;
        PrepareLanguageTables(true);
        daten_.tblPasFiles.open();
        Tformpas view(daten_, this);
        view.set_restore_target(
            [this](const code::RestoreSelection& selection, Reporter& reporter) {
                return commands::RestoreInPreparedTables(handles(), selection, reporter);
            });
        view.exec();
        ShowStatusLines();
    });
}

void Tlx_project::Forms2Click() {
    run_command([&] {
        if (!CheckProjectReady(true, true)) return;
        PrepareLanguageTables(false);
        Tformview view(daten_, this);
        view.exec();
    });
}

void Tlx_project::Edit2Click() {
    run_command([&] {
        if (!CheckProjectReady(true, true)) return;
        PrepareLanguageTables(true);
        EditCommand();
    });
}

void Tlx_project::Code3Click() {
    run_command([&] {
        if (!CheckProjectReady(true, true)) return;
        {
            WaitCursor wait;
            commands::WriteCode(handles(), reporter());
        }
        ShowStatusLines();
    });
}

void Tlx_project::Forms3Click() {
    run_command([&] {
        if (!CheckProjectReady(true, true)) return;
        {
            WaitCursor wait;
            commands::WriteForms(handles(), reporter());
        }
        ShowStatusLines();
    });
}

void Tlx_project::BitBtn2Click() {
    run_command([&] {
        sync_language_selection();
        auto advice = commands::WhatNow(handles(), reporter());
        if (!advice) return;
        ShowStatusLines();
        reporter().information(advice->advice);
    });
}

void Tlx_project::Bearbeiten1Click() {
    // Both questions come before anything is deleted (the tables go first, the row last); the
    // window then shows the project that is now current.
    run_command([&] {
        commands::DeleteProject(handles(), reporter());
        show_record();
        EditName->setEnabled(false);
        select_single_language();
    });
}

void Tlx_project::Mailtous1Click() {
    const QUrl address(kSupportMail);
    if (!open_url(address))
        reporter().information("No mail program could be opened. Please write to " +
                               from_q(address.path()) + ".");
}

}  // namespace lexorin::gui
