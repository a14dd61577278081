// The post button and the material copy window on the real windows, against
// the demo portal on loopback.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/globals.h"
#include "app/main_window.h"
#include "app/portal.h"
#include "app/shell.h"
#include "app/wiring.h"
#include "gui_test_support.h"
#include "platform/clipboard.h"
#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/qt_text.h"
#include "platform/screen.h"
#include "platform/window_layer.h"
#include "text/codepage.h"
#include "text/extract.h"

using namespace tarvelle;
using platform::kMainWindow;
using platform::kMaterialCopyWindow;
using platform::kReaderWindow;

namespace {

constexpr int kLoadTimeout = 15000;

QString q(const text::Text& t) { return platform::ToQString(t); }

}  // namespace

class PostTest : public QObject {
    Q_OBJECT

    testing::DemoEnvironment m_env;
    demo::DemoPortal& m_portal = m_env.portal();
    std::unique_ptr<testing::MessageAnswerer> m_answerer;
    QStringList m_messages;
    int m_programEnds = 0;

    app::MainWindow* mainWindow() {
        return qobject_cast<app::MainWindow*>(platform::LoadedWindow(kMainWindow));
    }
    QWidget* copyWindow() { return platform::LoadedWindow(kMaterialCopyWindow); }
    QPushButton* button(QWidget* window, const char* name) {
        return window ? window->findChild<QPushButton*>(QString::fromUtf8(name)) : nullptr;
    }
    QString coverFile() { return m_env.runFile("1.jpg"); }
    QString portalPage(int aid) {
        return m_env.portalUrl("/plus/view.php?aid=" + QString::number(aid));
    }
    void recordMessage(QMessageBox* box) { m_messages.append(box->text()); }
    // The main window showing `address` in its browser and address bar.
    app::MainWindow* openInMainWindow(const QString& address) {
        platform::LoadWindow(kMainWindow);
        app::MainWindow* main = mainWindow();
        if (!main) return nullptr;
        main->addressBar()->setText(address);
        QTest::mouseClick(button(main, "按钮前进"), Qt::LeftButton);
        const bool shown =
            QTest::qWaitFor([&] { return main->addressBar()->text() == address; }, kLoadTimeout);
        return shown ? main : nullptr;
    }
    QByteArray coverBytes() {
        QFile cover(coverFile());
        return cover.open(QIODevice::ReadOnly) ? cover.readAll() : QByteArray("(missing)");
    }
    void post(app::MainWindow* main) {
        QTest::mouseClick(button(main, "按钮发到公众平台"), Qt::LeftButton);
    }
    // Runs `action` once, from inside the first event-loop yield of an extraction.
    void duringFirstYield(std::function<void()> action) {
        text::SetEventPump([action = std::move(action), fired = false]() mutable {
            if (!fired) {
                fired = true;
                action();
            }
            platform::PumpEvents();
        });
    }

private slots:
    void initTestCase() {
        QVERIFY(m_env.start());
        platform::SetProgramEndHandler([this] { ++m_programEnds; });
        app::RegisterShellWindows();
        app::WireSubsystems();
        m_answerer = std::make_unique<testing::MessageAnswerer>(
            [this](QMessageBox* box) { recordMessage(box); });
    }

    void init() {
        app::ReleaseGlobals();
        platform::InstallEventPump();
        platform::SetClipboardWriterForTesting(nullptr);
        m_messages.clear();
        m_programEnds = 0;
        m_portal.setVersionTitle("Tarvelle v1.3");
        std::filesystem::remove_all(coverFile().toStdString());
    }

    void cleanup() {
        for (const char* name : {kMaterialCopyWindow, kReaderWindow, kMainWindow}) {
            if (auto* w = platform::LoadedWindow(name)) w->close();
        }
        QTRY_VERIFY(!platform::IsWindowLoaded(kMainWindow) &&
                    !platform::IsWindowLoaded(kReaderWindow) &&
                    !platform::IsWindowLoaded(kMaterialCopyWindow));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() {
        platform::SetClipboardWriterForTesting(nullptr);
        m_portal.stop();
    }

    void postFromAPortalPageAndCopyEveryMaterial() {
        app::MainWindow* main = openInMainWindow(portalPage(3001));
        QVERIFY(main);
        post(main);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(!QApplication::overrideCursor());

        QWidget* copy = copyWindow();
        QVERIFY(copy && copy->isVisible());
        QVERIFY(!main->isVisible());
        QCOMPARE(copy->frameGeometry(), QRect(1848, 920, 72, 120));
        QVERIFY(copy->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(copy->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(copy->windowTitle(), QString("素材复制"));

        const auto& g = app::Globals();
        QCOMPARE(q(g.ArticleTitle), QString("山坡上的春茶：一个采茶人的清晨"));
        QCOMPARE(q(g.VideoUrl), QString("http://v.qq.com/iframe/player.html?vid=k0031tarv7a"));
        QVERIFY(q(g.ArticleUrl).endsWith("/s/spring-tea"));
        QCOMPARE(coverBytes(), QByteArray::fromStdString(demo::CoverJpeg("spring-tea")));

        QClipboard* clipboard = QGuiApplication::clipboard();
        const struct {
            const char* name;
            QString copied;
            const char* caption;
        } copies[] = {
            {"按钮复制标题", q(g.ArticleTitle), "标题已复制"},
            {"按钮复制图片", coverFile(), "图片已复制"},
            {"按钮复制视频", q(g.VideoUrl), "视频已复制"},
        };
        for (const auto& c : copies) {
            QPushButton* b = button(copy, c.name);
            QVERIFY(b);
            QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(clipboard->text(), c.copied);
            QCOMPARE(b->text(), QString::fromUtf8(c.caption));
        }

        // The body opens in one reader window, however often it is pressed.
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(button(copy, "按钮复制正文"), Qt::LeftButton);
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(platform::LoadedWindow(kReaderWindow) != nullptr, true);
        QCOMPARE(q(g.ReaderUrl), portalPage(3001));
        QCOMPARE(clipboard->text(), q(g.VideoUrl));  // untouched by the body button

        QTest::mouseClick(button(copy, "按钮返回"), Qt::LeftButton);
        QVERIFY(main->isVisible());
        QTRY_VERIFY(!platform::IsWindowLoaded(kMaterialCopyWindow));
        QVERIFY(platform::IsWindowLoaded(kReaderWindow));
    }

    void postATodaysWeChatArticleTypedIntoTheAddressBar() {
        const QString article =
            QString::fromStdString("http://" + m_portal.articleHost() + "/s/river-notes");
        app::MainWindow* main = openInMainWindow(article);
        QVERIFY(main);
        post(main);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(copyWindow() && !main->isVisible());
        const auto& g = app::Globals();
        QCOMPARE(q(g.ArticleUrl), article);
        QCOMPARE(q(g.ArticleTitle), QString("沿河而行的七个小站"));
        QVERIFY(q(g.VideoUrl).startsWith("https://mp.weixin.qq.com/mp/readtemplate?"));
        QVERIFY(q(g.VideoUrl).contains("&action=mpvideo&"));
        QCOMPARE(coverBytes(), QByteArray::fromStdString(demo::CoverJpeg("river-notes")));
    }

    void postAgainReplacesTheCopyWindowAndTheCover() {
        app::MainWindow* main = openInMainWindow(portalPage(3001));
        QVERIFY(main);
        post(main);
        QPointer<QWidget> first = copyWindow();
        QVERIFY(first);
        QTest::mouseClick(button(first, "按钮复制标题"), Qt::LeftButton);
        main->show();
        main->addressBar()->setText(portalPage(3002));
        post(main);
        QWidget* second = copyWindow();
        QVERIFY(second && second != first);
        QCOMPARE(button(second, "按钮复制标题")->text(), QString("复制标题"));
        QCOMPARE(q(app::Globals().ArticleTitle), QString("沿河而行的七个小站"));
    }

    void anAddressThatIsNoArticleIsReported() {
        app::MainWindow* main = openInMainWindow(portalPage(1629));
        QVERIFY(main);
        app::Globals().ArticleTitle = "stale";
        main->addressBar()->setText("http://example.org/news");
        post(main);
        QTRY_COMPARE(m_messages.size(), 1);
        QVERIFY(
            m_messages.first().startsWith("出错了，可能原因如下：\r\n\r\n（1）没有打开任何文章"));
        QVERIFY(main->isVisible());
        QVERIFY(!platform::IsWindowLoaded(kMaterialCopyWindow));
        QVERIFY(app::Globals().ArticleTitle.empty());
        QVERIFY(!QApplication::overrideCursor());
    }

    void aCoverThatCannotBeWrittenIsReported() {
        QVERIFY(QDir(m_env.runPath()).mkdir("1.jpg"));  // a folder where the file should go
        app::MainWindow* main = openInMainWindow(portalPage(3001));
        QVERIFY(main);
        post(main);
        QTRY_COMPARE(m_messages, QStringList{"封面图提取失败，请重试"});
        QVERIFY(main->isVisible());
        QVERIFY(!platform::IsWindowLoaded(kMaterialCopyWindow));
        QCOMPARE(q(app::Globals().ArticleTitle), QString("山坡上的春茶：一个采茶人的清晨"));
        QVERIFY(app::Globals().VideoUrl.empty());
    }

    void missingMaterialsAndABusyClipboardAreReported() {
        // A portal page that names no article: the copy window opens all the
        // same, with no title, no video and an empty cover file.
        app::MainWindow* main = openInMainWindow(portalPage(1629));
        QVERIFY(main);
        post(main);
        QWidget* copy = copyWindow();
        QVERIFY(copy);
        QVERIFY(app::Globals().ArticleTitle.empty() && app::Globals().VideoUrl.empty());
        QCOMPARE(coverBytes(), QByteArray());
        QGuiApplication::clipboard()->setText("before");
        QTest::mouseClick(button(copy, "按钮复制标题"), Qt::LeftButton);
        QTest::mouseClick(button(copy, "按钮复制视频"), Qt::LeftButton);
        QTRY_COMPARE(m_messages, (QStringList{"没有标题，复制失败", "没有视频，复制失败"}));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));

        platform::SetClipboardWriterForTesting([](const QString&) { return false; });
        m_messages.clear();
        app::Globals().ArticleTitle = "t";
        QTest::mouseClick(button(copy, "按钮复制标题"), Qt::LeftButton);
        QTest::mouseClick(button(copy, "按钮复制图片"), Qt::LeftButton);
        QTRY_COMPARE(m_messages, (QStringList{"复制失败，请重试", "复制失败，请重试"}));
        QCOMPARE(button(copy, "按钮复制标题")->text(), QString("复制标题"));
        QCOMPARE(button(copy, "按钮复制图片")->text(), QString("复制封面图"));

        // Esc closes the copy window and leaves the main window hidden.
        QTest::keyClick(copy, Qt::Key_Escape);
        QVERIFY(!platform::IsWindowLoaded(kMaterialCopyWindow));
        QVERIFY(!main->isVisible());
    }

    void aSecondPressDuringTheExtractionIsLetGo() {
        app::MainWindow* main = openInMainWindow(portalPage(3001));
        QVERIFY(main);
        const auto requestsBefore = m_portal.portalRequests().size();
        duringFirstYield([this, main] { post(main); });
        post(main);
        QVERIFY(copyWindow());
        QVERIFY(!main->isVisible());
        QCOMPARE(m_portal.portalRequests().size(), requestsBefore + 1);
        QCOMPARE(q(app::Globals().ArticleTitle), QString("山坡上的春茶：一个采茶人的清晨"));
    }

    void closingTheMainWindowDuringTheExtraction() {
        app::MainWindow* main = openInMainWindow(portalPage(3001));
        QVERIFY(main);
        duringFirstYield([main] { main->close(); });
        post(main);
        QVERIFY(!platform::IsWindowLoaded(kMainWindow));
        QVERIFY(!platform::IsWindowLoaded(kMaterialCopyWindow));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(m_programEnds, 1);
    }
};

int main(int argc, char** argv) { return tarvelle::testing::runGuiTest<PostTest>(argc, argv); }

#include "post_gui_test.moc"
