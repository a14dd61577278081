// The QR button and picture box of the real main window, with the demo portal
// on loopback; the picture is read back with a real decoder off the screen
// image of the picture box.
#include <ZXing/ReadBarcode.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>

#include "app/browser.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/portal.h"
#include "app/qr_action.h"
#include "app/shell.h"
#include "app/wiring.h"
#include "gui_test_support.h"
#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/qt_text.h"
#include "platform/screen.h"
#include "platform/window_layer.h"
#include "qr/bitmap.h"
#include "text/codepage.h"

using namespace tarvelle;
using platform::kMainWindow;
using text::operator""_gbk;

namespace {

constexpr int kLoadTimeout = 15000;

struct Scan {
    bool found = false;
    std::string bytes;
    QRect darkArea;  // where the dark pixels lie in the box
};

// What a phone would read off the picture box as it is drawn on the screen.
Scan scanWidget(QWidget* widget) {
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    Scan scan;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (row[x] < 128) scan.darkArea |= QRect(x, y, 1, 1);
    }
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::Result result =
        ZXing::ReadBarcode({image.constBits(), image.width(), image.height(),
                            ZXing::ImageFormat::Lum, static_cast<int>(image.bytesPerLine())},
                           hints);
    scan.found = result.isValid();
    scan.bytes.assign(result.bytes().begin(), result.bytes().end());
    return scan;
}

}  // namespace

class QrButtonTest : public QObject {
    Q_OBJECT

    testing::DemoEnvironment m_env;
    demo::DemoPortal& m_portal = m_env.portal();
    std::unique_ptr<testing::MessageAnswerer> m_answerer;
    QStringList m_messages;

    app::MainWindow* mainWindow() {
        return qobject_cast<app::MainWindow*>(platform::LoadedWindow(kMainWindow));
    }
    template <class T = QPushButton>
    T* control(QWidget* window, const char* name) {
        return window->findChild<T*>(QString::fromUtf8(name));
    }
    QString tempBitmap() { return m_env.runFile(QString::fromUtf8("二维码图片.bmp")); }
    void recordMessage(QMessageBox* box) { m_messages.append(box->text()); }
    // The main window with its browser at rest on a portal list page.
    app::MainWindow* startOnListPage() {
        platform::LoadWindow(kMainWindow);
        app::MainWindow* main = mainWindow();
        if (!main) return nullptr;
        QTest::mouseClick(control(main, "按钮今日最新"), Qt::LeftButton);
        const QString list = platform::ToQString(app::Globals().ListNewestUrl);
        if (!QTest::qWaitFor(
                [main, list] {
                    return main->addressBar()->text() == list &&
                           !main->browser()->page()->isLoading();
                },
                kLoadTimeout)) {
            return nullptr;
        }
        return main;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_env.start());
        platform::SetProgramEndHandler([] {});
        platform::InstallEventPump();
        app::RegisterShellWindows();
        app::WireSubsystems();
        m_answerer = std::make_unique<testing::MessageAnswerer>(
            [this](QMessageBox* box) { recordMessage(box); });
    }

    void init() {
        app::ReleaseGlobals();
        m_messages.clear();
    }

    void cleanup() {
        if (auto* w = platform::LoadedWindow(kMainWindow)) w->close();
        QTRY_VERIFY(!platform::IsWindowLoaded(kMainWindow));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { m_portal.stop(); }

    void emptyAddressBarOnlyGetsAMessage() {
        app::MainWindow* w = startOnListPage();
        QVERIFY(w);
        QPushButton* button = control(w, "按钮二维码");
        auto* box = control<app::PictureBox>(w, "图片框1");
        QVERIFY(button && box);

        w->addressBar()->clear();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_messages, QStringList{"地址栏内容不得为空"});
        QVERIFY(w->browser()->isVisible());
        QVERIFY(box->isHidden());
        QVERIFY(box->pixmap().isNull());
        QVERIFY(!QFile::exists(tempBitmap()));

        // With a code on show, the picture box keeps it.
        w->addressBar()->setText("http://example.com/");
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(box->isVisible());
        const qint64 shown = box->pixmap().cacheKey();
        w->addressBar()->clear();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(box->isVisible());
        QVERIFY(w->browser()->isHidden());
        QCOMPARE(box->pixmap().cacheKey(), shown);
    }

    void theCodeReadsBackAsTheAddressBar() {
        app::MainWindow* w = startOnListPage();
        QVERIFY(w);
        QPushButton* button = control(w, "按钮二维码");
        auto* box = control<app::PictureBox>(w, "图片框1");
        app::Browser* browser = w->browser();
        const QString listPage = w->addressBar()->text();
        QVERIFY(listPage.contains("&zhushou=1&list=1"));
        const QString listPageForFriends = QString(listPage).replace("&zhushou=1", "&myfriends=1");
        const QString longAddress = "http://example.com/?q=" + QString(128, 'x');  // 150 bytes

        struct Case {
            const char* name;
            QString typed;  // empty: the browser's own address
            const char* identityKey;
            text::Text encoded;
        };
        const Case cases[] = {
            {"the browser's address", {}, "", platform::FromQString(listPage)},
            {"with a key", {}, "abc", platform::FromQString(listPageForFriends)},
            {"without a key nothing is replaced", "http://a.example/ZHUSHOU", "",
             "http://a.example/ZHUSHOU"},
            {"double-byte text, capitals replaced",
             QString::fromUtf8("http://门户.example/ZHUSHOU/Zhushou?标题=二维码图片"), "abc",
             "http://门户.example/myfriends/myfriends?标题=二维码图片"_gbk},
            {"cut at 120 bytes", longAddress, "", platform::FromQString(longAddress.left(120))},
        };
        for (const Case& c : cases) {
            app::Globals().IdentityKey = c.identityKey;
            if (!c.typed.isEmpty()) w->addressBar()->setText(c.typed);
            const QString before = w->addressBar()->text();

            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY2(browser->isHidden(), c.name);
            QVERIFY2(box->isVisible(), c.name);
            QVERIFY2(!QFile::exists(tempBitmap()), c.name);
            QVERIFY2(!QApplication::overrideCursor(), c.name);
            QCOMPARE(w->addressBar()->text(), before);

            const Scan scan = scanWidget(box);
            QVERIFY2(scan.found, c.name);
            QCOMPARE(QByteArray::fromStdString(scan.bytes),
                     QByteArray::fromStdString(c.encoded.str()));
            // Unscaled and centred in the box.
            const QSize side = box->pixmap().size();
            QVERIFY2(side.width() == side.height() && side.width() <= 300, c.name);
            QCOMPARE(scan.darkArea.size(), side);
            QVERIFY2(std::abs(scan.darkArea.left() - (300 - scan.darkArea.right() - 1)) <= 1,
                     c.name);
            QVERIFY2(std::abs(scan.darkArea.top() - (300 - scan.darkArea.bottom() - 1)) <= 1,
                     c.name);
        }
        testing::saveScreen("main-window-qr");

        // A click on the picture brings the page back as it was.
        const QUrl page = browser->url();
        const qint64 shown = box->pixmap().cacheKey();
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(browser->isVisible());
        QVERIFY(box->isHidden());
        QCOMPARE(box->pixmap().cacheKey(), shown);
        QCOMPARE(browser->url(), page);
        QVERIFY(!QFile::exists(tempBitmap()));
        // Other buttons leave the picture alone.
        QTest::mouseClick(box, Qt::RightButton);
        QVERIFY(box->isHidden());
        QVERIFY(m_messages.isEmpty());
    }

    void pictureBoxFitsThePicture() {
        struct Case {
            const char* name;
            text::Bytes image;
            QSize shown;
        };
        auto bmp = [](int width, int height) {
            return qr::Bitmap::create(width, height, 1, qr::kBlack).fileImage();
        };
        const Case cases[] = {
            {"fits: unscaled", bmp(260, 260), {260, 260}},
            {"just fits", bmp(300, 300), {300, 300}},
            {"failed drawing: the black square shrunk", bmp(399, 399), {300, 300}},
            {"wide, proportions kept", bmp(400, 200), {300, 150}},
            {"tall, proportions kept", bmp(100, 600), {50, 300}},
            {"no symbol", bmp(0, 0), {}},
            {"no bytes", {}, {}},
            {"not a picture", "BM not really", {}},
        };
        for (const Case& c : cases) {
            const QPixmap picture = app::QrPictureForBox(c.image, {300, 300});
            QVERIFY2(picture.isNull() == c.shown.isEmpty(), c.name);
            if (!picture.isNull()) QCOMPARE(picture.size(), c.shown);
        }
    }
};

int main(int argc, char** argv) { return tarvelle::testing::runGuiTest<QrButtonTest>(argc, argv); }

#include "qr_gui_test.moc"
