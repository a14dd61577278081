// The application shell on its real windows, with the demo portal on loopback.
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <filesystem>
#include <fstream>

#include "app/browser.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/portal.h"
#include "app/reader_window.h"
#include "app/shell.h"
#include "app/skin.h"
#include "gui_test_support.h"
#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/placement.h"
#include "platform/qt_text.h"
#include "platform/screen.h"
#include "platform/window_layer.h"
#include "text/codepage.h"
#include "text/extract.h"

#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <algorithm>

#include "http/cookie_store.h"
#include "http/read_url.h"

using namespace tarvelle;
using platform::kMainWindow;
using platform::kMaterialCopyWindow;
using platform::kReaderWindow;

namespace {

constexpr int kLoadTimeout = 15000;

// Stands in for the material copy window of the materials code: the same
// form size, placed the same way.
class FakeCopyWindow : public platform::LayerWindow {
public:
    FakeCopyWindow()
        : LayerWindow(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
        setFixedSize(72, 120);
    }
    void created() override { platform::PlaceMaterialCopyWindow(this); }
};

QString q(const text::Text& t) { return platform::ToQString(t); }

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

    testing::DemoEnvironment m_env;
    demo::DemoPortal& m_portal = m_env.portal();
    std::unique_ptr<testing::MessageAnswerer> m_answerer;
    struct Message {
        QString caption, text;
        bool onlyOk, noIcon, modal, mainVisible;
    };
    QList<Message> m_messages;
    int m_programEnds = 0;

    app::MainWindow* mainWindow() {
        return qobject_cast<app::MainWindow*>(platform::LoadedWindow(kMainWindow));
    }
    app::ReaderWindow* readerWindow() {
        return qobject_cast<app::ReaderWindow*>(platform::LoadedWindow(kReaderWindow));
    }
    template <class T = QPushButton>
    T* control(QWidget* window, const char* name) {
        return window->findChild<T*>(QString::fromUtf8(name));
    }
    QString runFile(const char* name) { return m_env.runFile(QString::fromUtf8(name)); }
    void writeRunFile(const char* name, const std::string& bytes) {
        std::ofstream(runFile(name).toStdString(), std::ios::binary) << bytes;
    }
    QString portalUrl(const QString& tail) { return m_env.portalUrl(tail); }
    int portalRequestsFor(const std::string& part) {
        int n = 0;
        for (const auto& r : m_portal.portalRequests()) n += r.find(part) != std::string::npos;
        return n;
    }
    void recordMessage(QMessageBox* box) {
        app::MainWindow* main = mainWindow();
        m_messages.append({box->windowTitle(), box->text(),
                           box->buttons().size() == 1 && box->button(QMessageBox::Ok),
                           box->icon() == QMessageBox::NoIcon,
                           box->windowModality() == Qt::ApplicationModal,
                           main && main->isVisible()});
    }
    // Loads the main window and waits until the home page is in its address bar.
    app::MainWindow* startMainWindow() {
        platform::LoadWindow(kMainWindow);
        app::MainWindow* main = mainWindow();
        if (main &&
            !QTest::qWaitFor([main] { return main->addressBar()->text().contains("aid=1629"); },
                             kLoadTimeout)) {
            return nullptr;
        }
        return main;
    }
    void closeEverything() {
        for (const char* name : {kMaterialCopyWindow, kReaderWindow, kMainWindow}) {
            if (auto* w = platform::LoadedWindow(name)) w->close();
        }
        QTRY_VERIFY(!platform::IsWindowLoaded(kMainWindow) &&
                    !platform::IsWindowLoaded(kReaderWindow) &&
                    !platform::IsWindowLoaded(kMaterialCopyWindow));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_env.start());
        platform::SetProgramEndHandler([this] { ++m_programEnds; });
        platform::InstallEventPump();
        app::RegisterShellWindows();
        platform::RegisterWindow(kMaterialCopyWindow, [] { return new FakeCopyWindow; });
        m_answerer = std::make_unique<testing::MessageAnswerer>(
            [this](QMessageBox* box) { recordMessage(box); });
    }

    void init() {
        app::ReleaseGlobals();
        m_messages.clear();
        m_programEnds = 0;
        m_portal.setVersionTitle("Tarvelle v1.3 正式版");
        QFile::remove(runFile("key.txt"));
        QFile::remove(runFile("1.jpg"));
    }

    void cleanup() { closeEverything(); }

    void cleanupTestCase() { m_portal.stop(); }

    void mainWindowIsBuiltAsItsForm() {
        platform::LoadWindow(kMainWindow);
        app::MainWindow* w = mainWindow();
        QVERIFY(w);
        QCOMPARE(w->objectName(), QString("MainWindow"));
        const Qt::WindowFlags flags = w->windowFlags();
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->frameGeometry().width(), 368);

        auto* panel = control<QFrame>(w, "外形框1");
        QVERIFY(panel);
        struct Control {
            const char* name;
            bool inPanel;
            QRect geometry;
            const char* text;
            int boldPixels;
        };
        const Control controls[] = {
            {"按钮后退", false, {0, 0, 32, 24}, "←", 29},
            {"编辑框地址栏", false, {33, 0, 270, 24}, nullptr, 0},
            {"按钮前进", false, {304, 0, 32, 24}, "→", 29},
            {"按钮二维码", false, {337, 0, 24, 24}, "", 0},
            {"按钮今日最新", true, {1, 3, 64, 32}, "今日最新", 0},
            {"按钮24小时最火", true, {65, 3, 72, 32}, "24小时最火", 0},
            {"按钮7天热门", true, {137, 3, 64, 32}, "7天热门", 0},
            {"按钮本月最赞", true, {201, 3, 72, 32}, "本月最赞", 0},
            {"按钮发到公众平台", true, {273, 3, 88, 32}, "发到公众平台", 12},
            {"标签1",
             true,
             {8, 35, 344, 24},
             "这很重要：严禁利用本工具抄袭原创内容，违者，后果自负",
             12},
            {"标签2", true, {73, 56, 240, 24}, "这是一款免费工具，随意使用，随意传播", 12},
            {"按钮视频教程", true, {1, 81, 64, 32}, "视频教程", 0},
            {"按钮联系我们", true, {65, 81, 103, 32}, "联系/关注/更新", 0},
            {"按钮公众号互推", true, {168, 81, 193, 32}, "微信公众号互推", 14},
        };
        for (const auto& c : controls) {
            QWidget* widget = control<QWidget>(w, c.name);
            QVERIFY2(widget, c.name);
            QCOMPARE(widget->parentWidget(), c.inPanel ? static_cast<QWidget*>(panel) : w);
            QCOMPARE(widget->geometry(), c.geometry);
            QVERIFY2(widget->isVisible(), c.name);
            if (c.text) {
                const QString text = qobject_cast<QPushButton*>(widget)
                                         ? qobject_cast<QPushButton*>(widget)->text()
                                         : qobject_cast<QLabel*>(widget)->text();
                QCOMPARE(text, QString::fromUtf8(c.text));
            }
            QCOMPARE(widget->font().bold(), c.boldPixels > 0);
            if (c.boldPixels > 0) QCOMPARE(widget->font().pixelSize(), c.boldPixels);
        }
        QVERIFY(!control<QPushButton>(w, "按钮二维码")->icon().isNull());
        QCOMPARE(control<QPushButton>(w, "按钮二维码")->iconSize(), QSize(14, 14));

        auto* browser = control<QWidget>(w, "互联网浏览器1");
        QVERIFY(qobject_cast<app::Browser*>(browser));
        QCOMPARE(browser->pos(), QPoint(0, 26));
        QCOMPARE(browser->width(), 360);
        auto* picture = control<QLabel>(w, "图片框1");
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), QRect(28, 32, 300, 300));
        QVERIFY(picture->isHidden());
        QCOMPARE(panel->x(), 0);
        QCOMPARE(panel->size(), QSize(368, 115));
    }

    void startUpWithoutKeyFile() {
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        const auto& g = app::Globals();
        const QString base = portalUrl("");
        QCOMPARE(w->windowTitle(), QString("Tarvelle-Morisk-v1.3"));
        QCOMPARE(q(g.PortalBase), base);
        QCOMPARE(q(g.VersionTag), QString("v1.3"));
        QCOMPARE(q(g.KeyFilePath), runFile("key.txt"));
        QCOMPARE(q(g.CoverImagePath), runFile("1.jpg"));
        QVERIFY(g.IdentityKey.empty());
        QCOMPARE(q(g.ListNewestUrl),
                 base + "/plus/view.php?aid=565&zhushou=1&list=1&id_guanli=&id_yuangong=");
        QCOMPARE(q(g.ListHot24hUrl),
                 base + "/plus/view.php?aid=565&zhushou=1&list=2&id_guanli=&id_yuangong=");
        QCOMPARE(q(g.ListPopular7dUrl),
                 base + "/plus/view.php?aid=565&zhushou=1&list=3&id_guanli=&id_yuangong=");
        QCOMPARE(q(g.ListTopMonthUrl),
                 base + "/plus/view.php?aid=565&zhushou=1&list=4&id_guanli=&id_yuangong=");
        QCOMPARE(w->addressBar()->text(), base + "/plus/view.php?aid=1629");
        QVERIFY(portalRequestsFor("/plus/view.php?aid=1629") >= 1);
        QVERIFY(!qApp->styleSheet().isEmpty());
        QVERIFY(m_messages.isEmpty());

        // Docked at the right edge over the full height above a 40-pixel taskbar.
        QCOMPARE(w->frameGeometry(), QRect(1552, 0, 368, 1040));
        QCOMPARE(control<QWidget>(w, "互联网浏览器1")->height(), 879);
        QCOMPARE(control<QWidget>(w, "外形框1")->y(), 903);
        testing::saveScreen("main-window-home");
    }

    void startUpWithKeyFile() {
        writeRunFile("key.txt", "abc\r\n");
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        const auto& g = app::Globals();
        QCOMPARE(g.IdentityKey, text::Text("abc\r\n"));
        QCOMPARE(q(g.ListTopMonthUrl),
                 portalUrl("/plus/view.php?aid=565&zhushou=1&list=4&id_guanli=abc\r\n"
                           "&id_yuangong=abc\r\n"));

        writeRunFile("key.txt", "changed");
        QTest::mouseClick(control(w, "按钮今日最新"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w->addressBar()->text().contains("list=1"), kLoadTimeout);
        // Read once at start-up: the browser sends the first key, not the new one.
        QVERIFY(portalRequestsFor("list=1&id_guanli=abc") >= 1);
        QCOMPARE(portalRequestsFor("changed"), 0);
    }

    void addressBarFollowsTheBrowser() {
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        QLineEdit* bar = w->addressBar();
        const auto& g = app::Globals();
        const std::pair<const char*, const text::Text*> lists[] = {
            {"按钮今日最新", &g.ListNewestUrl},
            {"按钮24小时最火", &g.ListHot24hUrl},
            {"按钮7天热门", &g.ListPopular7dUrl},
            {"按钮本月最赞", &g.ListTopMonthUrl},
        };
        for (auto [button, url] : lists) {
            QTest::mouseClick(control(w, button), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(bar->text(), q(*url), kLoadTimeout);
        }

        // A link followed inside the page.
        w->browser()->page()->runJavaScript(
            "document.querySelector('a[href*=\"aid=3002\"]').click();");
        QTRY_COMPARE_WITH_TIMEOUT(bar->text(), portalUrl("/plus/view.php?aid=3002"), kLoadTimeout);

        // Go hands over what was typed, unchanged.
        const QString article =
            QString::fromStdString("http://" + m_portal.articleHost() + "/s/river-notes");
        bar->setText(article);
        QTest::mouseClick(control(w, "按钮前进"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w->browser()->title(), QString("沿河而行的七个小站"),
                                  kLoadTimeout);
        QCOMPARE(bar->text(), article);

        QTest::mouseClick(control(w, "按钮后退"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(bar->text(), portalUrl("/plus/view.php?aid=3002"), kLoadTimeout);

        // Text typed while a page loads gives way to the browser's address.
        bar->setText("typed while loading");
        QTest::mouseClick(control(w, "按钮今日最新"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(bar->text(), q(g.ListNewestUrl), kLoadTimeout);

        // A double click empties the bar; go then hands over the empty address.
        QTest::mouseDClick(bar, Qt::LeftButton);
        QCOMPARE(bar->text(), QString());
        QTest::mouseClick(control(w, "按钮前进"), Qt::LeftButton);
        QTest::qWait(300);
        QVERIFY(platform::IsWindowLoaded(kMainWindow));
        QVERIFY(m_messages.isEmpty());
    }

    void backOnTheFirstPageChangesNothing() {
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        QTRY_VERIFY_WITH_TIMEOUT(!w->browser()->title().isEmpty(), kLoadTimeout);
        const QString home = w->addressBar()->text();
        QTest::mouseClick(control(w, "按钮后退"), Qt::LeftButton);
        QTest::qWait(300);
        QCOMPARE(w->addressBar()->text(), home);
        QCOMPARE(w->browser()->url().toString(), home);
    }

    void informationButtonsOpenOneReaderWindow() {
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        const QString home = w->addressBar()->text();

        QTest::mouseClick(control(w, "按钮联系我们"), Qt::LeftButton);
        QPointer<app::ReaderWindow> first = readerWindow();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(q(app::Globals().ReaderUrl), portalUrl("/plus/view.php?aid=1593"));
        QTRY_COMPARE_WITH_TIMEOUT(first->browser()->url().toString(),
                                  portalUrl("/plus/view.php?aid=1593"), kLoadTimeout);
        first->move(10, 10);

        QTest::mouseClick(control(w, "按钮公众号互推"), Qt::LeftButton);
        app::ReaderWindow* second = readerWindow();
        QVERIFY(second);
        QVERIFY(second != first.data());
        QTRY_VERIFY(!first);
        QCOMPARE(q(app::Globals().ReaderUrl), portalUrl("/plus/view.php?aid=1594"));
        QCOMPARE(second->windowTitle(), QString("Morisk"));
        QVERIFY(second->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(second->windowFlags() & Qt::Tool);  // not in the taskbar
        QCOMPARE(second->frameGeometry(), QRect(560, 180, 800, 680));
        QCOMPARE(second->browser()->geometry(), QRect(0, 0, 800, 650));
        QTRY_COMPARE_WITH_TIMEOUT(second->browser()->title(), QString("微信公众号互推"),
                                  kLoadTimeout);
        testing::saveScreen("reader-window");

        // The reader never feeds the main window's address bar.
        second->browser()->load(QUrl(portalUrl("/plus/view.php?aid=1592")));
        QTRY_COMPARE_WITH_TIMEOUT(second->browser()->title(), QString("视频教程"), kLoadTimeout);
        QCOMPARE(w->addressBar()->text(), home);

        // Closing the reader leaves the main window as it was.
        second->close();
        QTRY_VERIFY(!platform::IsWindowLoaded(kReaderWindow));
        QVERIFY(w->isVisible());
        QCOMPARE(m_programEnds, 0);
    }

    void placement_data() {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("screenHeight");
        QTest::addColumn<int>("taskbarTop");
        QTest::addColumn<QRect>("main");
        QTest::addColumn<int>("browserHeight");
        QTest::addColumn<int>("panelTop");
        QTest::addColumn<QPoint>("reader");
        QTest::addColumn<QPoint>("copy");
        QTest::newRow("1920x1080, taskbar 40")
            << 1920 << 1080 << 1040 << QRect(1552, 0, 368, 1040) << 879 << 903 << QPoint(560, 180)
            << QPoint(1848, 920);
        QTest::newRow("1366x768, taskbar 40") << 1366 << 768 << 728 << QRect(998, 0, 368, 728)
                                              << 567 << 591 << QPoint(283, 24) << QPoint(1294, 608);
        QTest::newRow("800x600, taskbar 40, reader above the screen")
            << 800 << 600 << 560 << QRect(432, 0, 368, 560) << 399 << 423 << QPoint(0, -60)
            << QPoint(728, 440);
        QTest::newRow("taskbar rectangle at the top")
            << 1920 << 1080 << 0 << QRect(1552, 0, 368, 0) << 0 << 24 << QPoint(560, -340)
            << QPoint(1848, -120);
    }

    void placement() {
        QFETCH(int, screenWidth);
        QFETCH(int, screenHeight);
        QFETCH(int, taskbarTop);
        platform::ScreenInfo info = platform::ScreenWithBottomTaskbar(screenWidth, screenHeight, 0);
        info.taskbarTop = taskbarTop;
        platform::SetScreenSource(std::make_shared<platform::FixedScreenSource>(info));
        auto restore = qScopeGuard([] {
            platform::SetScreenSource(std::make_shared<platform::FixedScreenSource>(
                platform::ScreenWithBottomTaskbar(1920, 1080, 40)));
        });
        QCOMPARE(platform::GetTaskbarHeight(), screenHeight - taskbarTop);

        app::MainWindow main;
        platform::PlaceMainWindow(&main);
        QTEST(main.frameGeometry(), "main");
        QTEST(control<QWidget>(&main, "互联网浏览器1")->height(), "browserHeight");
        QTEST(control<QWidget>(&main, "外形框1")->y(), "panelTop");
        QCOMPARE(control<QWidget>(&main, "外形框1")->size(), QSize(368, 115));
        QCOMPARE(control<QWidget>(&main, "编辑框地址栏")->geometry(), QRect(33, 0, 270, 24));

        app::ReaderWindow reader;
        platform::PlaceReaderWindow(&reader);
        QTEST(reader.frameGeometry().topLeft(), "reader");
        QCOMPARE(reader.frameGeometry().size(), QSize(800, 680));

        FakeCopyWindow copy;
        platform::PlaceMaterialCopyWindow(&copy);
        QTEST(copy.frameGeometry().topLeft(), "copy");
        QCOMPARE(copy.size(), QSize(72, 120));
    }

    void screenQueries() {
        platform::ScreenInfo info = platform::ScreenWithBottomTaskbar(1366, 768, 40);
        info.bitsPerPixel = 24;
        info.refreshRate = 75;
        platform::SetScreenSource(std::make_shared<platform::FixedScreenSource>(info));
        std::uint16_t bits = 0, width = 0, height = 0, rate = 0;
        platform::GetDisplaySettings(&bits, &width, &height, &rate);
        QCOMPARE(int(bits), 24);
        QCOMPARE(int(width), 1366);
        QCOMPARE(int(height), 768);
        QCOMPARE(int(rate), 75);
        std::uint16_t onlyHeight = 0;
        platform::GetDisplaySettings(nullptr, nullptr, &onlyHeight);
        QCOMPARE(int(onlyHeight), 768);

        // A failed display query leaves the height at 0.
        info.displayHeight = 0;
        platform::SetScreenSource(std::make_shared<platform::FixedScreenSource>(info));
        QCOMPARE(platform::GetTaskbarHeight(), -728);

        // The Qt source: a screen whose work area is the whole screen has no taskbar.
        platform::SetScreenSource(nullptr);
        const platform::ScreenInfo qt = platform::QtScreenSource().query();
        QVERIFY(qt.screenWidth > 0 && qt.screenHeight > 0);
        QVERIFY(qt.taskbarTop <= qt.screenHeight);
        QCOMPARE(int(qt.displayHeight), qt.screenHeight);
        platform::SetScreenSource(std::make_shared<platform::FixedScreenSource>(
            platform::ScreenWithBottomTaskbar(1920, 1080, 40)));
    }

    void escapeEndsTheProgramAndDeletesTheCover() {
        writeRunFile("1.jpg", "left over from an earlier run");
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        QTest::mouseClick(control(w, "按钮视频教程"), Qt::LeftButton);
        QVERIFY(platform::IsWindowLoaded(kReaderWindow));
        QPushButton* newest = control(w, "按钮今日最新");
        newest->setFocus();
        QTest::keyClick(newest, Qt::Key_Escape);
        QVERIFY(!platform::IsWindowLoaded(kMainWindow));
        QVERIFY(!QFile::exists(runFile("1.jpg")));
        QCOMPARE(m_programEnds, 0);  // the reader is still closing
        QTRY_VERIFY(!platform::IsWindowLoaded(kReaderWindow));
        QCOMPARE(m_programEnds, 1);
    }

    void closeBoxUnloadsOnlyTheCopyWindow() {
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        platform::LoadWindow(kMaterialCopyWindow);
        QVERIFY(platform::IsWindowLoaded(kMaterialCopyWindow));
        QCOMPARE(platform::LoadedWindow(kMaterialCopyWindow)->frameGeometry().topLeft(),
                 QPoint(1848, 920));
        QTest::mouseClick(control(w, "按钮视频教程"), Qt::LeftButton);
        QVERIFY(platform::IsWindowLoaded(kReaderWindow));

        w->close();  // as the close box does; no cover was ever written
        QVERIFY(!platform::IsWindowLoaded(kMainWindow));
        QTRY_VERIFY(!platform::IsWindowLoaded(kMaterialCopyWindow));
        QTest::qWait(100);
        QVERIFY(platform::IsWindowLoaded(kReaderWindow));
        QCOMPARE(m_programEnds, 0);

        readerWindow()->close();
        QVERIFY(!platform::IsWindowLoaded(kReaderWindow));
        QCOMPARE(m_programEnds, 1);
    }

    void hiddenMainWindowKeepsTheProgramAlive() {
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        QTest::mouseClick(control(w, "按钮联系我们"), Qt::LeftButton);
        w->hide();
        readerWindow()->close();
        QTest::qWait(50);
        QCOMPARE(m_programEnds, 0);
        QVERIFY(platform::IsWindowLoaded(kMainWindow));

        // Loading it again brings back the same window; its start-up does not run again.
        const int homeRequests = portalRequestsFor("aid=1629");
        platform::LoadWindow(kMainWindow);
        QCOMPARE(mainWindow(), w);
        QVERIFY(w->isVisible());
        QTest::qWait(200);
        QCOMPARE(portalRequestsFor("aid=1629"), homeRequests);

        w->close();
        QCOMPARE(m_programEnds, 1);
    }

    void unloadThenLoadBuildsAFreshWindow() {
        app::Globals().ReaderUrl = "";
        platform::LoadWindow(kReaderWindow);
        QPointer<platform::LayerWindow> first = platform::LoadedWindow(kReaderWindow);
        QVERIFY(first);
        platform::UnloadWindow(kReaderWindow);
        QVERIFY(platform::IsWindowLoaded(kReaderWindow));  // closing, still loaded
        platform::LoadWindow(kReaderWindow);
        QVERIFY(platform::LoadedWindow(kReaderWindow) != first.data());
        QVERIFY(first.isNull() || !first->isVisible());
        // The stale close request must not take the fresh window with it.
        QTest::qWait(50);
        QVERIFY(platform::IsWindowLoaded(kReaderWindow));
        QCOMPARE(m_programEnds, 0);
    }

    void droppedLinkOpensInTheBrowser() {
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        QWidget* target = w->browser()->focusProxy();
        QVERIFY(target);
        const QString dropped = portalUrl("/plus/view.php?aid=3004");
        QMimeData mime;
        mime.setUrls({QUrl(dropped)});
        const QPoint at(100, 100);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QTRY_COMPARE_WITH_TIMEOUT(w->addressBar()->text(), dropped, kLoadTimeout);
    }

    void browserShowsNoDialogsOfItsOwn() {
        app::Browser browser;
        browser.resize(200, 200);
        browser.show();
        browser.setHtml(
            "<html><head><title>start</title></head><body><script>"
            "alert('hello'); var c = confirm('sure?'); var p = prompt('name?', 'x');"
            "document.title = 'done ' + c + ' ' + p;</script></body></html>");
        QTRY_COMPARE_WITH_TIMEOUT(browser.title(), QString("done false null"), kLoadTimeout);
        QVERIFY(m_messages.isEmpty());
        for (QWidget* top : QApplication::topLevelWidgets()) {
            QVERIFY2(!top->isVisible() || top == &browser || !qobject_cast<QDialog*>(top),
                     qPrintable(top->objectName()));
        }

        // A link meant for a new window opens in this one.
        const QString target = portalUrl("/plus/view.php?aid=1594");
        browser.setHtml("<html><body><a id='l' target='_blank' href='" + target +
                            "'>new window</a></body></html>",
                        QUrl(portalUrl("/")));
        QTRY_VERIFY_WITH_TIMEOUT(!browser.page()->isLoading() && browser.url().isValid(),
                                 kLoadTimeout);
        QTest::qWait(200);
        browser.page()->runJavaScript("document.getElementById('l').click();");
        QTRY_COMPARE_WITH_TIMEOUT(browser.url().toString(), target, kLoadTimeout);
    }

    void aPageThatAsksToStayDoesNotBlockNavigation() {
        app::Browser browser;
        browser.resize(300, 300);
        browser.show();
        browser.setHtml(
            "<html><body style='height:300px' onclick='document.title=\"clicked\"'>"
            "<script>addEventListener('beforeunload', e => { e.preventDefault(); "
            "e.returnValue = ''; });</script>x</body></html>",
            QUrl(portalUrl("/")));
        QTRY_VERIFY_WITH_TIMEOUT(!browser.page()->isLoading() && browser.url().isValid(),
                                 kLoadTimeout);
        QTest::qWait(300);
        QTest::mouseClick(browser.focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
        QTRY_COMPARE_WITH_TIMEOUT(browser.title(), QString("clicked"), kLoadTimeout);
        const QString target = portalUrl("/plus/view.php?aid=1594");
        browser.navigate(target);
        QTRY_COMPARE_WITH_TIMEOUT(browser.url().toString(), target, kLoadTimeout);
    }

    void messageBoxIsTheToolsOwn() {
        platform::ShowMessage(text::Utf8ToGbk("出错了"));
        QCOMPARE(m_messages.size(), 1);
        const Message& m = m_messages.first();
        QCOMPARE(m.caption, QString("信息："));
        QCOMPARE(m.text, QString("出错了"));
        QVERIFY(m.onlyOk);
        QVERIFY(m.noIcon);
        QVERIFY(m.modal);
    }

    void skinByNumber() {
        app::InstallSkin(13);
        QVERIFY(qApp->styleSheet().contains("QPushButton"));
        for (int none : {0, 34, -1, 12}) {
            app::InstallSkin(none);
            QVERIFY2(qApp->styleSheet().isEmpty(), qPrintable(QString::number(none)));
        }
        app::InstallSkin(13);
    }

    void eventPumpRunsPendingWorkDuringExtraction() {
        bool ran = false;
        QTimer::singleShot(0, this, [&ran] { ran = true; });
        text::TextArray frames;
        text::ExtractAllBetween("<iframe a</iframe><iframe b</iframe>", "<ifram", "</iframe>",
                                frames);
        QCOMPARE(frames.size(), std::size_t(2));
        QVERIFY(ran);
    }

    void versionNotice_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("notice");
        QTest::newRow("names the running version") << "Tarvelle v1.3 正式版" << false;
        QTest::newRow("a later version beginning with the tag") << "Tarvelle v1.31" << false;
        QTest::newRow("tag in capitals") << "Tarvelle V1.3" << true;
        QTest::newRow("another version") << "Tarvelle v1.4" << true;
    }

    void versionNotice() {
        QFETCH(QString, title);
        QFETCH(bool, notice);
        m_portal.setVersionTitle(title.toStdString());
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        QVERIFY(portalRequestsFor("aid=1602") >= 1);
        QCOMPARE(m_messages.size(), notice ? 1 : 0);
        if (notice) {
            QCOMPARE(m_messages.first().text, QString("通知：有新版本发布"));
            QCOMPARE(m_messages.first().caption, QString("信息："));
            QVERIFY(!m_messages.first().mainVisible);  // shown before the main window
        }
    }

    void unreachablePortalStillStarts() {
        app::HostConfig hosts = app::ParseHostConfig(m_portal.configIni());
        hosts.portal = "127.0.0.1:9";
        app::SetHostsForTesting(hosts);
        auto restore = qScopeGuard(
            [this] { app::SetHostsForTesting(app::ParseHostConfig(m_portal.configIni())); });
        platform::LoadWindow(kMainWindow);
        // A portal that cannot be reached announces nothing.
        QCOMPARE(m_messages.size(), 0);
        app::MainWindow* w = mainWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->frameGeometry(), QRect(1552, 0, 368, 1040));
        QTRY_VERIFY_WITH_TIMEOUT(
            w->browser()->url().toString().contains("127.0.0.1:9/plus/view.php?aid=1629"),
            kLoadTimeout);
    }

    void cookiesAreSharedWithTheToolsOwnReads() {
        auto& shared = http::CookieStore::shared();
        shared.clear();
        app::MainWindow* w = startMainWindow();
        QVERIFY(w);
        auto sharedValue = [&shared] {
            for (const auto& c : shared.all()) {
                if (c.name == "morisk_last_aid") return QString::fromStdString(c.value);
            }
            return QString();
        };
        // The browser's cookie reaches the store of the tool's own requests.
        QTRY_COMPARE_WITH_TIMEOUT(sharedValue(), QString("1629"), kLoadTimeout);

        // A cookie the tool's own read receives reaches the browser.
        QWebEngineCookieStore* browserCookies = w->browser()->page()->profile()->cookieStore();
        QSignalSpy added(browserCookies, &QWebEngineCookieStore::cookieAdded);
        const auto body =
            http::ReadUrlBytes(platform::FromQString(portalUrl("/plus/view.php?aid=1593")));
        QVERIFY(!body.empty());
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(added.begin(), added.end(),
                                             [](const QList<QVariant>& args) {
                                                 const auto c = args.at(0).value<QNetworkCookie>();
                                                 return c.name() == "morisk_last_aid" &&
                                                        c.value() == "1593";
                                             }),
                                 kLoadTimeout);
    }
};

int main(int argc, char** argv) { return tarvelle::testing::runGuiTest<ShellTest>(argc, argv); }

#include "shell_gui_test.moc"
