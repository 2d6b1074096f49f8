#include "editor/locate_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace lexorin::gui {

LocateDialog::LocateDialog(const std::vector<std::string>& names, const std::string& preselected,
                           QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Locate Field Value");
    auto* form = new QFormLayout(this);
    fields = new QComboBox(this);
    for (const auto& name : names) fields->addItem(QString::fromStdString(name));
    fields->setCurrentText(QString::fromStdString(preselected));
    edit = new QLineEdit(this);
    form->addRow("&Field", fields);
    form->addRow("&Value", edit);
    auto* buttons = new QHBoxLayout;
    next = new QPushButton("Find &next", this);
    next->setDefault(true);
    auto* close = new QPushButton("&Close", this);
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(close);
    form->addRow(buttons);
    connect(next, &QPushButton::clicked, this, &LocateDialog::find_next);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

std::string LocateDialog::field() const {
    return fields->currentText().toStdString();
}

QString LocateDialog::value() const {
    return edit->text();
}

}  // namespace lexorin::gui
