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
class Tlx_codeform : public ScanDialog {
    Q_OBJECT
  public:
    explicit Tlx_codeform(Tlx_project& owner);

    QLineEdit* dbcodeext = nullptr;                 // Source extensions
    QCheckBox* cbIgnoreInterface = nullptr;         // Cignoreinterface
    QCheckBox* cbFollowLinks = nullptr;             // Cfollowlinks
    QLineEdit* edMinLength = nullptr;               // Cminlength
    QLineEdit* edEditChars = nullptr;               // Ceditchars
    QLineEdit* edContextLines = nullptr;            // Ccontextlines
    QLineEdit* edStartIgnore = nullptr;             // Cstartignore
    QPlainTextEdit* meUnwantedStrings = nullptr;    // Cunwantedstrings
    QPlainTextEdit* meUnwantedWordParts = nullptr;  // Cunwantedwordparts
    QCheckBox* cbVerify = nullptr;                  // Cverify
    QLineEdit* edBuildCommand = nullptr;            // Cbuildcommand
    QSpinBox* sbBuildTimeout = nullptr;             // Cbuildtimeout, in seconds

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
