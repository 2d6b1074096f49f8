#pragma once

#include <string>

#include "app/scan_dialog.h"

class QLineEdit;
class QPlainTextEdit;

namespace lexorin::gui {

// "Scan forms": the project's form options, the scan of every form file and the emptying of the
// project's form tables.
class FormScanDialog : public ScanDialog {
    Q_OBJECT
  public:
    explicit FormScanDialog(ProjectWindow& owner);

    QLineEdit* extensions_edit = nullptr;                // Forms extension
    QPlainTextEdit* unwanted_strings_memo = nullptr;     // Funwantedstrings
    QPlainTextEdit* non_text_properties_memo = nullptr;  // Fnontextproperties

  protected:
    void scan() override;
    void delete_tables() override;
    void set_options(store::Table& project) override;
};

}  // namespace lexorin::gui
