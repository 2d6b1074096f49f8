#pragma once

#include "app/command_frame.h"
#include "app/scan_dialog.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace lexorin::gui {

// "Scan code": the project's code options, the scan of every unit and the emptying of the
// project's code tables.
class CodeScanDialog : public ScanDialog {
    Q_OBJECT
  public:
    explicit CodeScanDialog(ProjectWindow& owner);

    QLineEdit* extensions_edit = nullptr;                // Source extensions
    QCheckBox* ignore_interface_check = nullptr;         // Cignoreinterface
    QCheckBox* follow_links_check = nullptr;             // Cfollowlinks
    QLineEdit* min_length_edit = nullptr;                // Cminlength
    QLineEdit* required_chars_edit = nullptr;            // Ceditchars
    QLineEdit* context_lines_edit = nullptr;             // Ccontextlines
    QLineEdit* ignored_starts_edit = nullptr;            // Cstartignore
    QPlainTextEdit* unwanted_strings_memo = nullptr;     // Cunwantedstrings
    QPlainTextEdit* unwanted_word_parts_memo = nullptr;  // Cunwantedwordparts
    QCheckBox* verify_check = nullptr;                   // Cverify
    QLineEdit* build_command_edit = nullptr;             // Cbuildcommand
    QSpinBox* build_timeout_spin = nullptr;              // Cbuildtimeout, in seconds

  protected:
    void scan() override;           // the Scan button
    void delete_tables() override;  // the Delete table button
    void set_options(store::Table& project) override;

  private:
    enum class Verified { Compiles, DoesNotCompile, Stopped };
    // After a scan: the project built, the refused literals given back, the report shown.
    // Stopped: a build did not end within its time limit or was cancelled.
    Verified verify(const commands::ProjectHandles& project);
};

}  // namespace lexorin::gui
