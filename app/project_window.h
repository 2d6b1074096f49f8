#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "app/command_frame.h"
#include "app/directory_edit.h"
#include "base/hints_qt.h"
#include "base/reporter_qt.h"
#include "project/language_list.h"
#include "project/projects_table.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

class QUrl;

namespace lexorin::gui {

// The project window: the current project record, its excluded directories and languages, the
// Details memo, the help panel and the menu from which every command runs.
class Tlx_project : public QMainWindow {
    Q_OBJECT
  public:
    // `working_directory` holds "Projects.DB"; `program_directory` the tables and templates.
    Tlx_project(const std::string& working_directory, const std::string& program_directory,
                QWidget* parent = nullptr);
    ~Tlx_project() override;

    // Operations of the window that the commands use.
    bool CheckProjectReady(bool needLanguage, bool requireSelection);
    void PrepareLanguageTables(bool codeMode);
    // Shows the project's Reserve memo, with the status line a command wrote last in view.
    void ShowStatusLines();
    void FillListFromText(QListWidget* list, const std::string& text);

    store::TDaten& daten() { return daten_; }
    // What the commands work on: the project row, the shared handles and the language list.
    commands::ProjectHandles handles() { return {projects(), daten_, languages_}; }
    store::Table& projects() { return data_projects_->Projects; }
    QtReporter& reporter() { return *reporter_; }
    bool LastScanWasCode() const { return last_scan_was_code_; }

    // The controls, named as in the window's design; the tests drive them.
    QToolButton* navigator_button(int index) const { return navigator_[index]; }
    QLineEdit* EditName = nullptr;
    QLineEdit* EditDirectory = nullptr;  // hidden: carries the stored directory
    DirectoryEdit* DirectoryEdit1 = nullptr;
    QCheckBox* DBCheckBox1 = nullptr;
    QListWidget* lbex = nullptr;
    QPushButton* bexadd = nullptr;
    QPushButton* bexdel = nullptr;
    DirectoryEdit* DirectoryEdit2 = nullptr;
    QListWidget* lblang = nullptr;
    QPushButton* btlangadd = nullptr;
    QPushButton* Btlangdelete = nullptr;
    QPlainTextEdit* DBMemo1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnclose = nullptr;
    QAction* Bearbeiten1 = nullptr;  // Project -> Delete
    QAction* Code1 = nullptr;        // Scan -> Code
    QAction* Forms1 = nullptr;       // Scan -> Forms
    QAction* Code2 = nullptr;        // View results -> Code
    QAction* Forms2 = nullptr;       // View results -> Forms
    QAction* Edit2 = nullptr;        // Edit
    QAction* Code3 = nullptr;        // Write changes -> Code
    QAction* Forms3 = nullptr;       // Write changes -> Forms
    QAction* Mailtous1 = nullptr;
    QMenu* Edit1 = nullptr;  // "View results", hidden
    HintPanel* hints() const { return hints_; }

    // The navigator's buttons, in their order.
    enum NavigatorButton { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbEdit, nbPost, nbCount };

    // How a scan dialog's hand-over and the Edit command open the translation editor; the
    // tests replace it.
    std::function<void(Tlx_project&)> open_editor;
    // Hands a "mailto:" address to the desktop; false when no mail program took it.
    std::function<bool(const QUrl&)> open_url;
    // Opens the translation editor on the prepared tables of the selected language.
    void open_translation_editor();

  public slots:
    void DBNavigatorClick(int button);
    void DirectoryEdit1Exit();
    void bexaddClick();
    void DirectoryEdit2Exit();
    void bexdelClick();
    void btlangaddClick();
    void BtlangdeleteClick();
    void BitBtn2Click();
    void Bearbeiten1Click();
    void Code1Click();
    void Forms1Click();
    void Code2Click();
    void Forms2Click();
    void Edit2Click();
    void Code3Click();
    void Forms3Click();
    void Mailtous1Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build_controls();
    void build_menu();
    void FormShow();
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
    void EditCommand();
    // Scan -> Code / Forms: the scan dialog, then the translation editor after a scan.
    template <typename ScanDialogType>
    void scan_command(bool codeMode);

    store::Session session_;
    store::TDaten daten_;
    std::unique_ptr<project::TDataProjects> data_projects_;
    LanguageList languages_;
    std::unique_ptr<QtReporter> reporter_;
    HintPanel* hints_ = nullptr;
    QToolButton* navigator_[nbCount] = {};
    bool last_scan_was_code_ = false;
    bool shown_once_ = false;
    bool leaving_directory_ = false;
    bool loading_ = false;
};

}  // namespace lexorin::gui
