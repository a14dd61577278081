#include "app/reader_window.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/browser.h"
#include "app/globals.h"
#include "platform/placement.h"
#include "platform/qt_text.h"

namespace tarvelle::app {

ReaderWindow::ReaderWindow()
    : LayerWindow(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName("ReaderWindow");
    setWindowTitle("Morisk");
    setFixedSize(310, 215);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
    m_browser = new Browser(this);
    m_browser->setObjectName(QString::fromUtf8("互联网浏览器1"));
    m_browser->setGeometry(0, 0, 304, 184);
}

void ReaderWindow::created() {
    platform::PlaceReaderWindow(this);
    m_browser->navigate(platform::ToQString(Globals().ReaderUrl));
}

void ReaderWindow::placeAgain() { platform::PlaceReaderWindow(this); }

void OpenReaderWindow(const text::Text& address) {
    Globals().ReaderUrl = address;
    platform::ReloadWindow(platform::kReaderWindow);
}

}  // namespace tarvelle::app
