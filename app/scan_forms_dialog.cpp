#include "app/scan_forms_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/commands.h"
#include "app/project_window.h"
#include "base/errors.h"
#include "base/text_qt.h"
#include "forms/form_scan.h"
#include "project/projects_table.h"

namespace lexorin::gui {

namespace field = project::field;

Tlx_dfmform::Tlx_dfmform(Tlx_project& owner)
    : ScanDialog(owner, "Scan forms", "Form options",
                 {"This step will scan your forms and copy the strings into your database.",
                  "No original files will be changed."},
                 QSize(729, 483)) {
    dbcodeext = new QLineEdit(this);
    DBMemo1 = new QPlainTextEdit(this);
    options()->addRow("E&xtensions", dbcodeext);
    options()->addRow("Line &must not contain", DBMemo1);
    store::Table& p = owner.projects();
    dbcodeext->setText(to_q(p.text(field::FormsExtension)));
    DBMemo1->setPlainText(message_text(p.text(field::Funwantedstrings)));
    hints()->add(dbcodeext,
                 "Scan files with these extensions|All the files in the specified directory will "
                 "be scanned.\r\n\r\nSeparate several extensions with semicolons.");
    hints()->add(DBMemo1,
                 "Forbidden strings in a line|If a line contains one of these substrings, it will "
                 "be ignored.");
    hints()->add(BitBtn1,
                 "Delete the translation table|This function deletes the contents of your tables "
                 "before scanning. ALL your translations will be lost!");
}

void Tlx_dfmform::set_options(store::Table& p) {
    p.set_text(field::FormsExtension, from_q(dbcodeext->text()));
    p.set_text(field::Funwantedstrings, memo_value(DBMemo1));
}

void Tlx_dfmform::scan() {
    store_options();
    LanguageList languages = dialog_languages();
    const auto scanned =
        commands::ScanForms({owner().projects(), owner().daten(), languages}, reporter());
    if (!scanned) return;
    const forms::FormScanReport& report = *scanned;
    set_scanned();
    reporter().status("");
    if (!report.skipped.empty()) {
        std::string text = std::to_string(report.skipped.size()) + " forms were skipped:";
        for (const auto& [path, reason] : report.skipped) text += "\r" + path + ": " + reason;
        reporter().warning(text);
    }
    reporter().information("Scanned.");
    accept();
}

void Tlx_dfmform::delete_tables() {
    forms::DeleteFormTables(owner().daten(), owner().projects().text(field::Name),
                            dialog_languages(), reporter());
}

}  // namespace lexorin::gui
