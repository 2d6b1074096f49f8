#include "app/project_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
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
#include <QScopeGuard>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <optional>

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
#include "editor/form_result_view.h"
#include "editor/translation_editor.h"
#include "project/backup.h"
#include "project/languages.h"
#include "project/project_code_page.h"
#include "project/project_delete.h"
#include "project/project_kind.h"
#include "store/string_tables.h"
#include "store/translation_tables.h"

namespace lexorin::gui {

namespace field = project::field;

// The support mailbox that "Mail to us" opens a message to.
constexpr const char* kSupportMail = "mailto:support@lexorin.example";

ProjectWindow::ProjectWindow(const std::string& working_directory,
                             const std::string& program_directory, QWidget* parent)
    : QMainWindow(parent),
      program_directory_(program_directory),
      program_code_page_(window_code_page()),
      code_page_(program_code_page_) {
    setWindowTitle("Projects");
    build_controls();
    build_menu();
    reporter_ = std::make_unique<QtReporter>(this, statusBar());
    data_projects_ = std::make_unique<project::ProjectsTable>(session_, working_directory);
    projects().first();
    open_editor = [](ProjectWindow& window) { window.open_translation_editor(); };
    open_url = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    choose_file = [this](const FileRequest& request) {
        return request.save ? QFileDialog::getSaveFileName(this, request.caption, request.proposed,
                                                           request.filter)
                            : QFileDialog::getOpenFileName(this, request.caption, request.proposed,
                                                           request.filter);
    };
    // The window keeps its designed size: no grip that cannot resize it.
    statusBar()->setSizeGripEnabled(false);
    // A client area of 729 x 464 pixels below the menu, as the window was designed.
    setFixedSize(729, 464 + menuBar()->sizeHint().height());
}

ProjectWindow::~ProjectWindow() {
    set_window_code_page(program_code_page_);
}

void ProjectWindow::build_controls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(8, 8, 8, 4);
    grid->setHorizontalSpacing(10);

    // Navigator and Close.
    auto* navigator = new QHBoxLayout;
    navigator->setSpacing(1);
    const QStyle::StandardPixmap icons[kNavigatorButtonCount] = {
        QStyle::SP_MediaSkipBackward,   QStyle::SP_MediaSeekBackward,
        QStyle::SP_MediaSeekForward,    QStyle::SP_MediaSkipForward,
        QStyle::SP_FileDialogNewFolder, QStyle::SP_FileDialogDetailedView,
        QStyle::SP_DialogSaveButton};
    for (int i = 0; i < kNavigatorButtonCount; ++i) {
        navigator_[i] = new QToolButton(central);
        navigator_[i]->setIcon(style()->standardIcon(icons[i]));
        navigator_[i]->setAutoRaise(false);
        navigator->addWidget(navigator_[i]);
        connect(navigator_[i], &QToolButton::clicked, this, [this, i] { navigate(i); });
    }
    navigator->addStretch();
    close_button = new QPushButton("&Close", central);
    navigator->addWidget(close_button);
    connect(close_button, &QPushButton::clicked, this, &QWidget::close);
    grid->addLayout(navigator, 0, 0, 1, 2);

    // The project record.
    auto* record = new QGridLayout;
    auto* name_label = new QLabel("&Name", central);
    name_edit = new QLineEdit(central);
    name_label->setBuddy(name_edit);
    auto* dir_label = new QLabel("&Directory", central);
    directory_edit = new DirectoryEdit(central);
    dir_label->setBuddy(directory_edit->line());
    stored_directory = new QLineEdit(central);
    stored_directory->hide();
    recursive_check = new QCheckBox("&recursive?", central);
    auto* kind_label = new QLabel("&Kind", central);
    kind_combo = new QComboBox(central);
    for (auto kind : {project::ProjectKind::Delphi, project::ProjectKind::Lazarus})
        kind_combo->addItem(project::ProjectKindName(kind));
    kind_label->setBuddy(kind_combo);
    kind_label->setContentsMargins(8, 0, 0, 0);  // apart from the check box's text
    record->addWidget(name_label, 0, 0);
    record->addWidget(name_edit, 0, 1, 1, 4);
    record->addWidget(dir_label, 1, 0);
    record->addWidget(directory_edit, 1, 1);
    record->addWidget(recursive_check, 1, 2);
    record->addWidget(kind_label, 1, 3);
    record->addWidget(kind_combo, 1, 4);
    record->setColumnStretch(1, 1);
    grid->addLayout(record, 1, 0, 1, 2);

    // Excluded directories and languages.
    auto* excluded = new QGroupBox("Excluded directories", central);
    auto* ex_layout = new QGridLayout(excluded);
    excluded_folder_list = new QListWidget(excluded);
    add_excluded_folder_button = new QPushButton("&Add", excluded);
    delete_excluded_folder_button = new QPushButton("De&lete", excluded);
    new_excluded_folder_edit = new DirectoryEdit(excluded);
    new_excluded_folder_edit->hide();
    ex_layout->addWidget(excluded_folder_list, 0, 0, 3, 1);
    ex_layout->addWidget(add_excluded_folder_button, 0, 1);
    ex_layout->addWidget(delete_excluded_folder_button, 1, 1);
    ex_layout->addWidget(new_excluded_folder_edit, 3, 0, 1, 2);
    auto* languages = new QGroupBox("Languages", central);
    auto* lang_layout = new QGridLayout(languages);
    language_list = new QListWidget(languages);
    add_language_button = new QPushButton("A&dd", languages);
    delete_language_button = new QPushButton("Dele&te", languages);
    lang_layout->addWidget(language_list, 0, 0, 3, 1);
    lang_layout->addWidget(add_language_button, 0, 1);
    lang_layout->addWidget(delete_language_button, 1, 1);
    grid->addWidget(excluded, 2, 0);
    grid->addWidget(languages, 2, 1);

    // Details and the help panel.
    auto* details_group = new QGroupBox("Details", central);
    auto* details = new QVBoxLayout(details_group);
    details_memo = new QPlainTextEdit(details_group);
    // Alt+W belongs to the Write changes menu.
    what_now_button = new QPushButton("W&hat now?", details_group);
    details->addWidget(details_memo);
    details->addWidget(what_now_button, 0, Qt::AlignRight);
    help_memo = new QPlainTextEdit(central);
    help_memo->setReadOnly(true);
    QFont bold = help_memo->font();
    bold.setBold(true);
    help_memo->setFont(bold);
    help_memo->setStyleSheet("QPlainTextEdit { background: rgb(192, 220, 192); }");
    grid->addWidget(details_group, 3, 0);
    grid->addWidget(help_memo, 3, 1);
    grid->setRowStretch(2, 2);
    grid->setRowStretch(3, 3);

    hints_ = new HintPanel(help_memo);
    const char* navigator_tips[kNavigatorButtonCount] = {
        "Go to first project", "Go to previous project", "Go to next project", "Go to last project",
        "Add a project",       "Modify this project",    "Write changes"};
    for (int i = 0; i < kNavigatorButtonCount; ++i) {
        // Each button has its own tooltip; the panel shows the navigator's long text.
        hints_->add(navigator_[i],
                    std::string(navigator_tips[i]) + "|" + long_hint(hints::kNavigator));
        navigator_[i]->setToolTip(navigator_tips[i]);
    }
    hints_->add(name_edit, hints::kProjectName);
    hints_->add(directory_edit->line(), hints::kProjectDirectory);
    hints_->add(recursive_check, hints::kRecursive);
    hints_->add(kind_combo, hints::kProjectKind);
    hints_->add(excluded_folder_list, hints::kExcludedFolders);
    hints_->add(language_list, hints::kLanguages);
    hints_->add(what_now_button, hints::kWhatNow);

    connect(directory_edit, &DirectoryEdit::left, this, &ProjectWindow::store_directory);
    connect(name_edit, &QLineEdit::textEdited, this, [this](const QString&) {
        if (loading_ || projects().state() != store::Table::State::Insert) return;
        try {
            projects().set_text(field::Name, from_q(name_edit->text()));
        } catch (const std::exception& e) {
            show_failure(this, e);
        }
    });
    connect(recursive_check, &QCheckBox::toggled, this, &ProjectWindow::store_recursive);
    connect(kind_combo, &QComboBox::activated, this, &ProjectWindow::store_kind);
    connect(add_excluded_folder_button, &QPushButton::clicked, this,
            &ProjectWindow::toggle_new_excluded_folder);
    connect(new_excluded_folder_edit, &DirectoryEdit::left, this,
            &ProjectWindow::add_excluded_folder);
    connect(delete_excluded_folder_button, &QPushButton::clicked, this,
            &ProjectWindow::delete_excluded_folder);
    connect(add_language_button, &QPushButton::clicked, this, &ProjectWindow::add_language);
    connect(delete_language_button, &QPushButton::clicked, this, &ProjectWindow::delete_language);
    connect(what_now_button, &QPushButton::clicked, this, &ProjectWindow::what_now);
    connect(language_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!loading_) languages_.selected = row;
    });
    details_memo->installEventFilter(hints_);
}

void ProjectWindow::build_menu() {
    auto* project_menu = menuBar()->addMenu("&Project");
    delete_project_action =
        project_menu->addAction("&Delete", this, &ProjectWindow::delete_project);
    auto* scan = menuBar()->addMenu("&Scan");
    scan_code_action = scan->addAction("&Code", this, &ProjectWindow::scan_code);
    scan_forms_action = scan->addAction("&Forms", this, &ProjectWindow::scan_forms);
    // The code scan's results, where Restore puts strings back into the sources.
    scan->addSeparator();
    code_results_action =
        scan->addAction("Code &results and Restore ...", this, &ProjectWindow::view_code_results);
    view_results_menu = new QMenu("&View results", this);  // created hidden and never shown
    view_code_results_action =
        view_results_menu->addAction("&Code", this, &ProjectWindow::view_code_results);
    view_form_results_action =
        view_results_menu->addAction("&Forms", this, &ProjectWindow::view_form_results);
    edit_translations_action =
        menuBar()->addAction("&Edit", this, &ProjectWindow::edit_translations);
    auto* write = menuBar()->addMenu("&Write changes");
    write_code_action = write->addAction("&Code", this, &ProjectWindow::write_code);
    write_forms_action = write->addAction("&Forms", this, &ProjectWindow::write_forms);
    build_exchange_menu();
    mail_to_us_action = menuBar()->addAction("&Mail to us", this, &ProjectWindow::mail_to_us);
    for (auto* menu : {project_menu, scan, write}) menu->setToolTipsVisible(true);

    hints_->add(delete_project_action, hints::kDeleteProject);
    hints_->add(scan_code_action, hints::kScanCode);
    hints_->add(scan_forms_action, hints::kScanForms);
    hints_->add(view_code_results_action, hints::kViewCodeResults);
    hints_->add(code_results_action, hints::kViewCodeResults);
    hints_->add(view_form_results_action, hints::kViewFormResults);
    hints_->add(edit_translations_action, hints::kEditTranslations);
    hints_->add(write_code_action, hints::kWriteCode);
    hints_->add(write_forms_action, hints::kWriteForms);
}

// ---- showing the record ----

void ProjectWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_once_) {
        shown_once_ = true;
        first_show();
    }
}

void ProjectWindow::closeEvent(QCloseEvent* event) {
    try {
        if (projects().state() != store::Table::State::Browse &&
            !name_edit->text().trimmed().isEmpty())
            projects().post();
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
    session_.flush_all();
    event->accept();
}

void ProjectWindow::first_show() {
    show_record();
    name_edit->setEnabled(false);
}

void ProjectWindow::fill_list_from_text(QListWidget* list, const std::string& text) {
    list->clear();
    for (const auto& entry : project::decode_list(text)) list->addItem(to_q(entry));
    directory_edit->line()->setText(stored_directory->text());
}

void ProjectWindow::show_record() {
    use_project_code_page();  // before any text of the row is shown
    loading_ = true;
    store::Table& p = projects();
    bool has_row = p.has_current() || p.state() == store::Table::State::Insert;
    name_edit->setText(has_row ? to_q(p.text(field::Name)) : QString());
    stored_directory->setText(has_row ? to_q(p.text(field::Directory)) : QString());
    recursive_check->setChecked(has_row && p.logical(field::Recoursive));
    details_memo->setPlainText(has_row ? message_text(p.text(field::Reserve)) : QString());
    fill_list_from_text(excluded_folder_list, has_row ? p.text(field::Excluded) : std::string());
    fill_list_from_text(language_list, has_row ? p.text(field::Languages) : std::string());
    languages_.fill(has_row ? p.text(field::Languages) : std::string());
    language_list->setCurrentRow(languages_.selected);
    loading_ = false;
    show_kind();
}

void ProjectWindow::use_project_code_page() {
    store::Table& p = projects();
    CodePage page = program_code_page_;
    if (p.has_current() || p.state() == store::Table::State::Insert) {
        try {
            page = project::ProjectCodePage(p, program_code_page_);
        } catch (const Error& e) {
            reporter().error(e.what());  // shown in the program's code page, as said
        }
    }
    code_page_ = page;
    set_window_code_page(code_page_);
}

void ProjectWindow::show_kind() {
    store::Table& p = projects();
    const bool has_row = p.has_current() || p.state() == store::Table::State::Insert;
    int index = -1;
    if (has_row) {
        try {
            index = kind_combo->findText(project::ProjectKindName(project::ProjectKindOf(p)));
        } catch (const Error&) {
            // A kind this version does not know: the box shows none until one is chosen.
        }
    }
    loading_ = true;
    kind_combo->setCurrentIndex(index);
    kind_combo->setEnabled(has_row);
    loading_ = false;
}

void ProjectWindow::store_typed_name_and_directory() {
    store::Table& p = projects();
    p.set_text(field::Name, from_q(name_edit->text()));
    if (!directory_edit->line()->text().isEmpty())
        p.set_text(field::Directory, from_q(directory_edit->line()->text()));
}

void ProjectWindow::select_single_language() {
    loading_ = true;
    languages_.selected = languages_.items.size() == 1 ? 0 : -1;
    language_list->setCurrentRow(languages_.selected);
    if (languages_.selected < 0) language_list->clearSelection();
    loading_ = false;
}

std::string ProjectWindow::current_language() const {
    return languages_.has_selection() ? languages_.selected_language() : std::string();
}

void ProjectWindow::run_command(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        show_failure(this, e);
    }
    // What a command said while it worked ("2 Strings found", a backup path) ends with it.
    reporter().status("");
}

// ---- the navigator and the fields ----

void ProjectWindow::navigate(int button) {
    run_command([&] {
        store::Table& p = projects();
        store_memo();
        switch (button) {
            case kFirstProject:
                p.first();
                break;
            case kPriorProject:
                p.prior();
                break;
            case kNextProject:
                p.next();
                break;
            case kLastProject:
                p.last();
                break;
            case kAddProject:
                p.insert();
                kind_chosen_ = false;
                break;
            case kEditProject:
                if (p.has_current()) p.edit();
                break;
            case kPostProject:
                if (p.state() == store::Table::State::Insert) {
                    check_new_project_name();
                    if (!accept_leftover_tables()) p.cancel();
                }
                if (p.state() != store::Table::State::Browse) p.post();
                break;
        }
        show_record();
        if (button == kAddProject) {
            name_edit->setEnabled(true);
            loading_ = true;
            recursive_check->setChecked(true);
            loading_ = false;
            p.set_logical(field::Recoursive, true);
            name_edit->setFocus();
        } else {
            name_edit->setEnabled(false);
        }
        select_single_language();
    });
}

void ProjectWindow::check_new_project_name() {
    std::string name = from_q(name_edit->text());
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

bool ProjectWindow::accept_leftover_tables() {
    const std::string name = from_q(name_edit->text());
    // A second handle, as above: walking the rows must not post the new one.
    store::Table others(session_, projects().directory(), projects().table_name());
    others.open();
    const std::vector<std::string> files =
        project::LeftoverProjectFiles(program_directory_, others, name);
    if (files.empty()) return true;
    std::string question =
        "The program directory already holds table files of a project named " + name + ":";
    for (const auto& file : files) question += "\r" + file;
    question += "\r\rKeep them and use them for the new project? (No does not add it.)";
    if (!reporter().confirm(question)) return false;
    // The languages whose tables are there come back with them.
    const std::string languages = project::encode_list(project::LeftoverLanguages(files, name));
    projects().set_text(field::Languages, languages);
    fill_list_from_text(language_list, languages);
    languages_.fill(languages);
    select_single_language();
    return true;
}

void ProjectWindow::cancel_new_project() {
    projects().cancel();
    show_record();
    name_edit->setEnabled(false);
    select_single_language();
}

void ProjectWindow::edit_field(const std::function<void(store::Table&)>& set) {
    store::Table& p = projects();
    if (p.state() == store::Table::State::Browse) {
        if (!p.has_current()) return;
        p.edit();
    }
    set(p);
    if (p.state() == store::Table::State::Edit) p.post();
}

void ProjectWindow::store_field(const char* name, const std::string& value) {
    edit_field([&](store::Table& p) { p.set_text(name, value); });
}

void ProjectWindow::store_memo() {
    store::Table& p = projects();
    bool has_row = p.has_current() || p.state() == store::Table::State::Insert;
    if (!has_row) return;
    std::string text = join_crlf(read_text_lines(from_q(details_memo->toPlainText())));
    if (text == p.text(field::Reserve)) return;
    store_field(field::Reserve, text);
}

void ProjectWindow::store_recursive(bool on) {
    if (loading_) return;
    run_command(
        [&] { edit_field([&](store::Table& p) { p.set_logical(field::Recoursive, on); }); });
}

void ProjectWindow::store_directory() {
    if (leaving_directory_) return;
    leaving_directory_ = true;
    run_command([&] {
        if (name_edit->text().isEmpty()) return;
        std::string directory = from_q(directory_edit->line()->text());
        if (!directory_exists(directory)) {
            reporter().error("The directory " + directory + " does not exist.");
            directory_edit->line()->setFocus();
            return;
        }
        if (!directory.empty()) stored_directory->setText(directory_edit->line()->text());
        store::Table& p = projects();
        std::vector<std::string> excluded;
        for (int i = 0; i < excluded_folder_list->count(); ++i)
            excluded.push_back(from_q(excluded_folder_list->item(i)->text()));
        // The backup is offered the first time the project gets a directory.
        if (const auto backup = commands::CheckSourcesAndOfferBackup(
                program_directory_, from_q(name_edit->text()), directory,
                recursive_check->isChecked(), excluded, p.text(field::Directory), reporter(),
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
            if (p.state() == store::Table::State::Insert) {
                // The kind of the files there, or the one chosen, which now finds the
                // project's main files for its build command.
                const project::ProjectKind kind =
                    kind_chosen_
                        ? project::ProjectKindOf(p)
                        : project::DetectProjectKind(directory, p.logical(field::Recoursive),
                                                     project::decode_list(p.text(field::Excluded)));
                project::SetProjectKind(p, kind, project::FindLazarus());
                use_project_code_page();
                store_typed_name_and_directory();
            }
            p.post();
            name_edit->setEnabled(false);
        } catch (const Error& e) {
            reporter().error(e.what());
        }
        show_kind();
    });
    leaving_directory_ = false;
}

void ProjectWindow::store_kind(int index) {
    if (loading_ || index < 0) return;
    run_command([&] {
        store::Table& p = projects();
        const bool adding = p.state() == store::Table::State::Insert;
        if (!adding && !p.has_current()) return;
        store_memo();  // in the code page it was typed in
        const project::ProjectKind kind =
            project::ParseProjectKind(from_q(kind_combo->itemText(index)));
        edit_field(
            [&](store::Table& row) { project::SetProjectKind(row, kind, project::FindLazarus()); });
        if (adding) {
            kind_chosen_ = true;
            use_project_code_page();
            store_typed_name_and_directory();
        }
        show_record();
    });
    show_kind();  // the stored kind, also when it could not be changed
}

void ProjectWindow::toggle_new_excluded_folder() {
    if (new_excluded_folder_edit->isVisible()) {
        new_excluded_folder_edit->hide();
        return;
    }
    new_excluded_folder_edit->line()->setText(stored_directory->text());
    new_excluded_folder_edit->show();
    new_excluded_folder_edit->line()->setFocus();
}

void ProjectWindow::add_excluded_folder() {
    if (new_excluded_folder_edit->line()->text().isEmpty() ||
        !new_excluded_folder_edit->isVisible())
        return;
    run_command([&] {
        new_excluded_folder_edit->hide();
        std::string entry = trim(from_q(new_excluded_folder_edit->line()->text()));
        if (entry.empty() || entry == from_q(directory_edit->line()->text())) return;
        store::Table& p = projects();
        if (!p.has_current() && p.state() != store::Table::State::Insert) return;
        std::vector<std::string> list = project::decode_list(p.text(field::Excluded));
        if (project::add_excluded_entry(list, entry, from_q(directory_edit->line()->text())))
            store_field(field::Excluded, project::encode_list(list));
        fill_list_from_text(excluded_folder_list, p.text(field::Excluded));
    });
}

void ProjectWindow::delete_excluded_folder() {
    auto* item = excluded_folder_list->currentItem();
    if (!item || !item->isSelected()) return;
    run_command([&] {
        delete excluded_folder_list->takeItem(excluded_folder_list->row(item));
        std::vector<std::string> list;
        for (int i = 0; i < excluded_folder_list->count(); ++i)
            list.push_back(from_q(excluded_folder_list->item(i)->text()));
        store_field(field::Excluded, project::encode_list(list));
    });
}

// ---- languages ----

void ProjectWindow::add_language() {
    run_command([&] {
        sync_language_selection();
        {
            std::optional<WaitCursor> wait;  // once the language is given
            const auto ask = [&] {
                std::string answer = reporter().ask_text("New language", "Enter language", "");
                if (!answer.empty()) wait.emplace();
                return answer;
            };
            if (!commands::AddLanguage(handles(), ask, reporter())) return;
        }
        fill_list_from_text(language_list, projects().text(field::Languages));
        show_status_lines();
        select_single_language();
    });
}

void ProjectWindow::delete_language() {
    run_command([&] {
        languages_.selected =
            language_list->currentItem() && language_list->currentItem()->isSelected()
                ? language_list->currentRow()
                : -1;
        commands::DeleteLanguage(handles(), reporter());
        fill_list_from_text(language_list, projects().text(field::Languages));
        select_single_language();
    });
}

// ---- the command frame ----

bool ProjectWindow::check_project_ready(commands::Needs needs) {
    sync_language_selection();
    bool ok = commands::Ready(handles(), needs, reporter());
    if (ok && needs != commands::Needs::Project) {
        loading_ = true;
        language_list->setCurrentRow(languages_.selected);
        loading_ = false;
    }
    return ok;
}

void ProjectWindow::check_language_tables() {
    const store::LanguageTables opened = commands::OpenLanguageTables(handles());
}

void ProjectWindow::sync_language_selection() {
    if (!language_list->currentItem() || !language_list->currentItem()->isSelected())
        languages_.selected = -1;
}

void ProjectWindow::show_status_lines() {
    details_memo->setPlainText(message_text(projects().text(field::Reserve)));
    details_memo->moveCursor(QTextCursor::End);  // the newest line in view
    details_memo->ensureCursorVisible();
}

void ProjectWindow::open_translation_editor() {
    using store::TableKind;
    EditorTables tables;
    tables.directory = program_directory_;
    tables.project = projects().text(field::Name);
    tables.language = editor_language_.empty() ? current_language() : editor_language_;
    tables.code = store::table_file_name(tables.project, tables.language, TableKind::Pascal);
    tables.forms = store::table_file_name(tables.project, tables.language, TableKind::Forms);
    tables.units = store::table_file_name(tables.project, "", TableKind::Units);
    tables.files = store::table_file_name(tables.project, "", TableKind::PasFiles);
    int context_lines = static_cast<int>(projects().integer(field::Ccontextlines));
    // After a scan the editor shows what it filled; otherwise the mode it was left in.
    std::optional<bool> code_mode;
    if (!editor_language_.empty()) code_mode = last_scan_was_code_;
    lexorin::gui::open_translation_editor(this, session_, tables, code_mode, context_lines);
}

template <typename ScanDialogType>
void ProjectWindow::scan_command(bool code_mode) {
    run_command([&] {
        if (!check_project_ready(commands::Needs::Language)) return;
        check_language_tables();
        bool scanned = false;
        std::string scanned_language;
        {
            ScanDialogType dialog(*this);
            dialog.exec();
            scanned = dialog.scanned();
            scanned_language = dialog.scanned_language();
        }
        show_status_lines();
        if (scanned) {
            last_scan_was_code_ = code_mode;
            // The editor shows what the scan filled, in the language the dialog chose.
            editor_language_ = scanned_language;
            const auto selected_again = qScopeGuard([this] { editor_language_.clear(); });
            open_editor(*this);
        }
    });
}

void ProjectWindow::scan_code() {
    scan_command<CodeScanDialog>(true);
}

void ProjectWindow::scan_forms() {
    scan_command<FormScanDialog>(false);
}

void ProjectWindow::view_code_results() {
    run_command([&] {
        if (!check_project_ready(commands::Needs::SelectedLanguage)) return;
        check_language_tables();
        CodeResultView view(tables(), projects().text(field::Name), current_language(), this);
        view.set_restore_target(
            [this](const code::RestoreSelection& selection, Reporter& reporter) {
                return commands::RestoreInView(handles(), selection, reporter);
            });
        view.exec();
        show_status_lines();
    });
}

void ProjectWindow::view_form_results() {
    run_command([&] {
        if (!check_project_ready(commands::Needs::SelectedLanguage)) return;
        check_language_tables();
        FormResultView view(tables(), projects().text(field::Name), current_language(), this);
        view.exec();
    });
}

void ProjectWindow::edit_translations() {
    run_command([&] {
        if (!check_project_ready(commands::Needs::SelectedLanguage)) return;
        check_language_tables();
        open_editor(*this);
    });
}

void ProjectWindow::write_code() {
    run_command([&] {
        sync_language_selection();  // the command checks the project
        {
            WaitCursor wait;
            if (!commands::WriteCode(handles(), reporter())) return;
        }
        show_status_lines();
    });
}

void ProjectWindow::write_forms() {
    run_command([&] {
        sync_language_selection();  // the command checks the project
        {
            WaitCursor wait;
            if (!commands::WriteForms(handles(), reporter())) return;
        }
        show_status_lines();
    });
}

void ProjectWindow::what_now() {
    run_command([&] {
        sync_language_selection();
        auto advice = commands::WhatNow(handles(), reporter());
        if (!advice) return;
        show_status_lines();
        reporter().information(advice->advice);
    });
}

void ProjectWindow::delete_project() {
    // Both questions come before anything is deleted (the tables go first, the row last); the
    // window then shows the project that is now current.
    run_command([&] {
        commands::DeleteProject(handles(), reporter());
        show_record();
        name_edit->setEnabled(false);
        select_single_language();
    });
}

void ProjectWindow::mail_to_us() {
    const QUrl address(kSupportMail);
    if (!open_url(address))
        reporter().information("No mail program could be opened. Please write to " +
                               from_q(address.path()) + ".");
}

}  // namespace lexorin::gui
