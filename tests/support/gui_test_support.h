#pragma once

// What the GUI tests share: how they start, the demo portal they run
// against, and a hand that answers the tool's message boxes.

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "demo_portal.h"
#include "platform/window_layer.h"

namespace tarvelle::testing {

// Before the QApplication exists: the offscreen platform unless another is
// named, and Chromium without its sandbox, which refuses to run as root.
void prepareGuiEnvironment();

// The main() of a QTest program on the tool's windows.
template <class Test>
int runGuiTest(int argc, char** argv) {
    prepareGuiEnvironment();
    QApplication app(argc, argv);
    platform::InitWindowLayer();
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// The tool pointed at the demo portal on loopback, with its files beside
// the program in a temporary folder, on a 1920 × 1080 screen with a 40-pixel
// taskbar at the bottom.
class DemoEnvironment {
public:
    bool start();
    demo::DemoPortal& portal() { return m_portal; }
    QString runFile(const QString& name) const { return m_runDir.filePath(name); }
    QString runPath() const { return m_runDir.path(); }
    QString portalUrl(const QString& tail) const;

private:
    demo::DemoPortal m_portal;
    QTemporaryDir m_runDir;
};

// Answers every message box with OK as soon as it is up, after telling
// `seen` about it.
class MessageAnswerer : public QObject {
public:
    explicit MessageAnswerer(std::function<void(QMessageBox*)> seen);

private:
    void answer();
    std::function<void(QMessageBox*)> m_seen;
    QTimer m_timer;
};

// With TARVELLE_SCREENSHOT_DIR set (and a real X server), a picture of the
// screen is kept for a person to look at.
void saveScreen(const char* name);

}  // namespace tarvelle::testing
