#include "app/scan_forms_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/commands.h"
#include "app/project_window.h"
#include "app/report_text.h"
#include "base/errors.h"
#include "base/text_qt.h"
#include "forms/form_scan.h"
#include "project/projects_table.h"

namespace lexorin::gui {

namespace field = project::field;

FormScanDialog::FormScanDialog(ProjectWindow& owner)
    : ScanDialog(owner, "Scan forms", "Form options",
                 {"This step will scan your forms and copy the strings into your database.",
                  "No original files will be changed."},
                 QSize(729, 483)) {
    extensions_edit = new QLineEdit(this);
    unwanted_strings_memo = new QPlainTextEdit(this);
    non_text_properties_memo = new QPlainTextEdit(this);
    options()->addRow("E&xtensions", extensions_edit);
    options()->addRow("Line &must not contain", unwanted_strings_memo);
    options()->addRow("&Properties without text", non_text_properties_memo);
    store::Table& p = owner.projects();
    extensions_edit->setText(to_q(p.text(field::FormsExtension)));
    unwanted_strings_memo->setPlainText(message_text(p.text(field::Funwantedstrings)));
    non_text_properties_memo->setPlainText(message_text(p.text(field::Fnontextproperties)));
    hints()->add(extensions_edit,
                 "Scan files with these extensions|All the files in the specified directory will "
                 "be scanned.\r\n\r\nSeparate several extensions with semicolons.");
    hints()->add(unwanted_strings_memo,
                 "Forbidden strings in a line|If a line contains one of these substrings, it will "
                 "be ignored.");
    hints()->add(non_text_properties_memo,
                 "Properties that hold no text|The strings of these properties are names, "
                 "versions, field names or masks that the program needs as they are. They are "
                 "scanned as ignored, and a translation is never copied to them.\r\n\r\nOne "
                 "property name per line, in any letter case; a name with dots, such as "
                 "OKButton.Name, stands for the end of the property's path.");
    hints()->add(delete_tables_button,
                 "Delete the translation table|This function deletes the contents of your tables "
                 "before scanning. ALL your translations will be lost!");
}

void FormScanDialog::set_options(store::Table& p) {
    p.set_text(field::FormsExtension, from_q(extensions_edit->text()));
    p.set_text(field::Funwantedstrings, memo_value(unwanted_strings_memo));
    p.set_text(field::Fnontextproperties, memo_value(non_text_properties_memo));
}

void FormScanDialog::scan() {
    store_options();
    LanguageList languages = dialog_languages();
    const auto scanned = commands::ScanForms(project_with(languages), reporter());
    if (!scanned) return;
    const forms::FormScanReport& report = *scanned;
    set_scanned(languages.selected_language());
    reporter().status("");
    if (!report.skipped.empty())
        reporter().warning(commands::SkippedMessage(report.skipped, "forms were skipped:"));
    reporter().information(commands::ScannedMessage(commands::FormScanCounts(report)));
    accept();
}

void FormScanDialog::delete_tables() {
    LanguageList languages = dialog_languages();
    commands::DeleteFormTables(project_with(languages), reporter());
}

}  // namespace lexorin::gui
