#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "app/command_frame.h"
#include "base/hints_qt.h"
#include "base/reporter_qt.h"
#include "project/language_list.h"

class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace lexorin::store {
class Table;
}

namespace lexorin::gui {

class ProjectWindow;

// What the two scan dialogs share: the project's identity (read-only, with the main window's
// excluded directories and languages), a group of options bound to the project record, the help
// pane, a status bar for progress, and the buttons Delete table, Scan, Close and Help.
class ScanDialog : public QDialog {
    Q_OBJECT
  public:
    bool scanned() const { return scanned_; }
    // The language whose tables the scan filled, as the dialog's list chose it.
    const std::string& scanned_language() const { return scanned_language_; }

    // The controls; the tests drive them.
    QLineEdit* name_edit = nullptr;
    QLineEdit* directory_edit = nullptr;
    QCheckBox* recursive_check = nullptr;
    QListWidget* excluded_folder_list = nullptr;
    QListWidget* language_list = nullptr;
    QPlainTextEdit* help_memo = nullptr;
    QPushButton* delete_tables_button = nullptr;
    QPushButton* scan_button = nullptr;
    QPushButton* close_button = nullptr;
    QPushButton* help_button = nullptr;
    QStatusBar* status_bar = nullptr;
    QtReporter& reporter() { return *reporter_; }

  protected:
    ScanDialog(ProjectWindow& owner, const QString& caption, const QString& options_caption,
               const QStringList& info_lines, QSize size);

    // The dialog's own work; both run with the buttons disabled.
    virtual void scan() = 0;
    virtual void delete_tables() = 0;
    // Copies the edited options into the project record and posts it; a value the record
    // refuses leaves it as it was.
    void store_options();
    // Sets the dialog's options on the project record in edit state.
    virtual void set_options(store::Table& project) = 0;

    QFormLayout* options() const { return options_; }
    HintPanel* hints() const { return hints_; }
    ProjectWindow& owner() const { return owner_; }
    void set_scanned(const std::string& language) {
        scanned_ = true;
        scanned_language_ = language;
    }
    // The multi-line memo text as the table keeps it: lines joined by CR LF.
    static std::string memo_value(const QPlainTextEdit* memo);
    // The dialog's language list, in its order.
    LanguageList dialog_languages() const;
    // What a command of the dialog works on: the owner's project and tables with `languages`.
    commands::ProjectHandles project_with(LanguageList& languages) const;

    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    // Enter in a field moves to the next control; it never presses a button.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void run(void (ScanDialog::*work)());
    void set_running(bool running);

    ProjectWindow& owner_;
    QFormLayout* options_ = nullptr;
    HintPanel* hints_ = nullptr;
    std::unique_ptr<QtReporter> reporter_;
    bool scanned_ = false;
    std::string scanned_language_;
    bool running_ = false;
};

}  // namespace lexorin::gui
