#pragma once

#include <QApplication>
#include <QCursor>

namespace lexorin::gui {

// The wait cursor over all of the program's windows for as long as the object lives: set by the
// constructor, taken back by the destructor, so that a failure leaving the scope early cannot
// leave it on. Nested objects stack, as Qt's override cursors do.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace lexorin::gui
