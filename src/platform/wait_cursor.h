#pragma once

#include <QApplication>

namespace tarvelle::platform {

// While the tool blocks the GUI thread (a network read, drawing a picture),
// the user sees a wait cursor; it goes when this goes, on every path.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace tarvelle::platform
