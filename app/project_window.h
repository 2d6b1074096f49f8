#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "app/command_frame.h"
#include "app/directory_edit.h"
#include "base/code_page.h"
#include "base/hints_qt.h"
#include "base/reporter_qt.h"
#include "project/language_list.h"
#include "project/projects_table.h"
#include "store/session.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

class QUrl;

namespace lexorin::gui {

// The project window: the current project record, its excluded directories and languages, the
// Details memo, the help panel and the menu from which every command runs. It holds no
// translation table between commands: each command, view and editor opens the tables it works
// on in the window's session and closes them when it ends, so that a command that deletes table
// files finds none of them open.
class ProjectWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `working_directory` holds "Projects.DB"; `program_directory` the tables and templates.
    ProjectWindow(const std::string& working_directory, const std::string& program_directory,
                  QWidget* parent = nullptr);
    ~ProjectWindow() override;

    // Operations of the window that the commands use.
    // The frame's precondition before the window asks or opens something; a chosen language
    // is shown selected.
    bool check_project_ready(commands::Needs needs);
    // Shows the project's Reserve memo, with the status line a command wrote last in view.
    void show_status_lines();
    void fill_list_from_text(QListWidget* list, const std::string& text);

    // The program directory, where the translation tables lie, with the window's session.
    store::TableFolder tables() { return {session_, program_directory_}; }
    // The code page of the project shown (the program's when its row names none), which the
    // windows show its texts in.
    const CodePage& code_page() const { return code_page_; }
    // What the commands work on: the project row, the tables' folder, the project's code page
    // and the language list.
    commands::ProjectHandles handles() { return {projects(), tables(), code_page_, languages_}; }
    store::Table& projects() { return data_projects_->Projects; }
    QtReporter& reporter() { return *reporter_; }
    bool last_scan_was_code() const { return last_scan_was_code_; }

    // The controls; the tests drive them.
    QToolButton* navigator_button(int index) const { return navigator_[index]; }
    QLineEdit* name_edit = nullptr;
    QLineEdit* stored_directory = nullptr;  // hidden: carries the stored directory
    DirectoryEdit* directory_edit = nullptr;
    QCheckBox* recursive_check = nullptr;
    QComboBox* kind_combo = nullptr;  // "Delphi" or "Lazarus"
    QListWidget* excluded_folder_list = nullptr;
    QPushButton* add_excluded_folder_button = nullptr;
    QPushButton* delete_excluded_folder_button = nullptr;
    DirectoryEdit* new_excluded_folder_edit = nullptr;
    QListWidget* language_list = nullptr;
    QPushButton* add_language_button = nullptr;
    QPushButton* delete_language_button = nullptr;
    QPlainTextEdit* details_memo = nullptr;
    QPushButton* what_now_button = nullptr;
    QPlainTextEdit* help_memo = nullptr;
    QPushButton* close_button = nullptr;
    // The menu commands; "View results" is created hidden and never shown.
    QAction* delete_project_action = nullptr;     // Project -> Delete
    QAction* scan_code_action = nullptr;          // Scan -> Code
    QAction* scan_forms_action = nullptr;         // Scan -> Forms
    QAction* view_code_results_action = nullptr;  // View results -> Code
    QAction* view_form_results_action = nullptr;  // View results -> Forms
    QAction* code_results_action = nullptr;       // Scan -> Code results and Restore
    QAction* edit_translations_action = nullptr;  // Edit
    QAction* write_code_action = nullptr;         // Write changes -> Code
    QAction* write_forms_action = nullptr;        // Write changes -> Forms
    QAction* mail_to_us_action = nullptr;
    QMenu* view_results_menu = nullptr;
    // Exchange: PO files and the translation memory.
    QMenu* exchange_menu = nullptr;
    QAction* export_po_action = nullptr;     // Exchange -> Export PO
    QAction* import_po_action = nullptr;     // Exchange -> Import PO
    QAction* export_tmx_action = nullptr;    // Exchange -> Export TMX
    QAction* import_tmx_action = nullptr;    // Exchange -> Import TMX
    QAction* pretranslate_action = nullptr;  // Exchange -> Pretranslate from memory
    HintPanel* hints() const { return hints_; }

    // The navigator's buttons, in their order.
    enum NavigatorButton {
        kFirstProject,
        kPriorProject,
        kNextProject,
        kLastProject,
        kAddProject,
        kEditProject,
        kPostProject,
        kNavigatorButtonCount
    };

    // How a scan dialog's hand-over and the Edit command open the translation editor; the
    // tests replace it.
    std::function<void(ProjectWindow&)> open_editor;
    // Hands a "mailto:" address to the desktop; false when no mail program took it.
    std::function<bool(const QUrl&)> open_url;
    // What a file is to be asked for: the dialog's caption, the path it proposes, its filter
    // ("PO files (*.po)") and whether the file is written (else read).
    struct FileRequest {
        QString caption;
        QString proposed;
        QString filter;
        bool save = false;
    };
    // How the exchange commands ask for a file (a file dialog); an empty answer cancels. The
    // tests replace it.
    std::function<QString(const FileRequest&)> choose_file;
    // Opens the translation editor on the tables of the selected language.
    void open_translation_editor();

  public slots:
    // A navigator button: moves through the projects, adds, edits or posts one.
    void navigate(int button);
    // Leaving the directory field: checks the directory, offers the backup and stores it; a
    // new project gets the kind of the files there unless one was chosen.
    void store_directory();
    // Choosing a kind: the project takes it with its defaults.
    void store_kind(int index);
    // The excluded folders' Add button shows the field for a new one, or hides it again.
    void toggle_new_excluded_folder();
    // Leaving that field adds the folder typed or picked there.
    void add_excluded_folder();
    void delete_excluded_folder();
    void add_language();
    void delete_language();
    void what_now();
    // The menu commands.
    void delete_project();
    void scan_code();
    void scan_forms();
    void view_code_results();
    void view_form_results();
    void edit_translations();
    void write_code();
    void write_forms();
    void mail_to_us();
    // Exchange: the selected language's rows to and from a PO file, its translation memory
    // entries to a TMX file, a TMX file into the memory, and the untranslated rows from it.
    void export_po();
    void import_po();
    void export_tmx();
    void import_tmx();
    void pretranslate();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build_controls();
    void build_menu();
    // The first showing: the current project, its name not editable.
    void first_show();
    // Fills the controls from the current project row (or the new row being typed).
    void show_record();
    // Runs a command; a failure ends it and shows its text in the error box.
    void run_command(const std::function<void()>& command);
    // Changes the current row (or the new row being typed) with `set`, posting unless the row
    // is new; without a row nothing changes.
    void edit_field(const std::function<void(store::Table&)>& set);
    // Stores a typed text in the current row.
    void store_field(const char* field, const std::string& value);
    void store_memo();
    void store_recursive(bool on);
    void select_single_language();
    // Makes the code page of the current row (or the new row) the windows' code page.
    void use_project_code_page();
    // Shows the kind of the current row (or the new row) in the kind box.
    void show_kind();
    // The name and directory of a new row as typed, in the row's code page after a change of it.
    void store_typed_name_and_directory();
    // A new project's name must be usable in file names and not taken yet.
    void check_new_project_name();
    // Tables that a deleted project of the new name left would become the new project's: asks
    // whether that is meant; false (No) means the project is not added.
    bool accept_leftover_tables();
    // Gives up the row being added and shows the current one again.
    void cancel_new_project();
    std::string current_language() const;
    // A language counts as selected only while its entry in the list is.
    void sync_language_selection();
    // Opens the selected language's tables and closes them again before a dialog on them opens,
    // as the commands open them (commands::OpenLanguageTables): a table that is missing or
    // broken is reported before anything is typed or chosen.
    void check_language_tables();
    // Scan -> Code / Forms: the scan dialog, then the translation editor after a scan.
    template <typename ScanDialogType>
    void scan_command(bool code_mode);
    // The Exchange menu (project_window_exchange.cpp).
    void build_exchange_menu();
    // A file asked for by choose_file, as the core names files; empty when cancelled.
    std::string ask_file(const FileRequest& request);
    // Where a file of the selected language is proposed: "<directory>/<project>_<language>.<ext>".
    QString proposed_file(const std::string& extension) const;

    store::Session session_;
    std::string program_directory_;
    CodePage program_code_page_;  // read at start-up, given back when the window goes
    CodePage code_page_;
    std::unique_ptr<project::ProjectsTable> data_projects_;
    LanguageList languages_;
    std::unique_ptr<QtReporter> reporter_;
    HintPanel* hints_ = nullptr;
    QToolButton* navigator_[kNavigatorButtonCount] = {};
    bool last_scan_was_code_ = false;
    // The language the editor opens on when it is not the selected one: the one a scan filled.
    std::string editor_language_;
    bool shown_once_ = false;
    bool leaving_directory_ = false;
    bool kind_chosen_ = false;  // the project being added got its kind from the kind box
    bool loading_ = false;
};

}  // namespace lexorin::gui
