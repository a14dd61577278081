#include "gui_test_support.h"

#include <QPushButton>
#include <QScreen>

#include "app/portal.h"
#include "platform/files.h"
#include "platform/qt_text.h"
#include "platform/screen.h"

namespace tarvelle::testing {

void prepareGuiEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

bool DemoEnvironment::start() {
    if (!m_runDir.isValid() || !m_portal.start()) return false;
    platform::SetRunDirectoryForTesting(platform::FromQString(m_runDir.path()));
    app::SetHostsForTesting(app::ParseHostConfig(m_portal.configIni()));
    platform::SetScreenSource(std::make_shared<platform::FixedScreenSource>(
        platform::ScreenWithBottomTaskbar(1920, 1080, 40)));
    return true;
}

QString DemoEnvironment::portalUrl(const QString& tail) const {
    return QString::fromStdString("http://" + m_portal.portalHost()) + tail;
}

MessageAnswerer::MessageAnswerer(std::function<void(QMessageBox*)> seen) : m_seen(std::move(seen)) {
    connect(&m_timer, &QTimer::timeout, this, &MessageAnswerer::answer);
    m_timer.start(30);
}

void MessageAnswerer::answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    if (m_seen) m_seen(box);
    box->button(QMessageBox::Ok)->click();
}

void saveScreen(const char* name) {
    const QString dir = qEnvironmentVariable("TARVELLE_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QTest::qWait(1500);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        screen->grabWindow(0).save(dir + "/" + name + ".png");
    }
}

}  // namespace tarvelle::testing
