#pragma once

#include <string>

#include "app/scan_dialog.h"

class QLineEdit;
class QPlainTextEdit;

namespace lexorin::gui {

// "Scan forms": the project's form options, the scan of every form file and the emptying of the
// project's form tables.
class Tlx_dfmform : public ScanDialog {
    Q_OBJECT
  public:
    explicit Tlx_dfmform(Tlx_project& owner);

    QLineEdit* dbcodeext = nullptr;     // Forms extension
    QPlainTextEdit* DBMemo1 = nullptr;  // Funwantedstrings

  protected:
    void scan() override;
    void delete_tables() override;
    void set_options(store::Table& project) override;
};

}  // namespace lexorin::gui
