#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace lexorin::gui {

// "Locate Field Value": a field of the table and the beginning of its text to look for. Its
// default button asks for the next match; the window it belongs to moves its grid there.
class LocateDialog : public QDialog {
    Q_OBJECT
  public:
    LocateDialog(const std::vector<std::string>& fields, const std::string& preselected,
                 QWidget* parent);
    std::string field() const;
    QString value() const;

    QComboBox* fields = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* next = nullptr;

  signals:
    void find_next();
};

}  // namespace lexorin::gui
