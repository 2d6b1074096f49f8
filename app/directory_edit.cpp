#include "app/directory_edit.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace lexorin::gui {

DirectoryEdit::DirectoryEdit(QWidget* parent)
    : QWidget(parent), line_(new QLineEdit(this)), browse_(new QToolButton(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(line_);
    row->addWidget(browse_);
    browse_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    browse_->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(line_);
    connect(line_, &QLineEdit::editingFinished, this, &DirectoryEdit::left);
    connect(browse_, &QToolButton::clicked, this, [this] {
        QString chosen = QFileDialog::getExistingDirectory(this, QString(), line_->text());
        if (chosen.isEmpty()) return;
        line_->setText(chosen);
        emit left();
    });
}

}  // namespace lexorin::gui
