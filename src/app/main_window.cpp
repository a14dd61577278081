#include "app/main_window.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "app/browser.h"
#include "app/globals.h"
#include "app/http_bridge.h"
#include "app/portal.h"
#include "app/reader_window.h"
#include "app/skin.h"
#include "platform/files.h"
#include "platform/placement.h"
#include "platform/qt_text.h"
#include "text/codepage.h"

namespace tarvelle::app {
namespace {

using platform::FromQString;
using platform::ToQString;
using text::operator""_gbk;

QFont boldFont(int pixelHeight) {
    QFont font = QApplication::font();
    font.setPixelSize(pixelHeight);
    font.setBold(true);
    return font;
}

}  // namespace

MainWindowHooks& mainWindowHooks() {
    static MainWindowHooks hooks;
    return hooks;
}

void AddressBar::mouseDoubleClickEvent(QMouseEvent* event) {
    clear();
    event->accept();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit leftButtonPressed();
    QLabel::mousePressEvent(event);
}

MainWindow::MainWindow()
    : LayerWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName("MainWindow");
    setWindowTitle(kMainCaption);
    setFixedSize(368, 694);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }

    auto* back = makeButton(this, "按钮后退", "←", {0, 0, 32, 24}, 29);
    m_addressBar = new AddressBar(this);
    m_addressBar->setObjectName(QString::fromUtf8("编辑框地址栏"));
    m_addressBar->setGeometry(33, 0, 270, 24);
    auto* go = makeButton(this, "按钮前进", "→", {304, 0, 32, 24}, 29);
    auto* qr = makeButton(this, "按钮二维码", "", {337, 0, 24, 24});
    // Our own 14 × 14 picture of a QR symbol.
    qr->setIcon(QIcon(QStringLiteral(":/images/qr_button.png")));
    qr->setIconSize(QSize(14, 14));

    m_browser = new Browser(this);
    m_browser->setObjectName(QString::fromUtf8("互联网浏览器1"));
    m_browser->setGeometry(0, 26, 360, 531);

    m_qrPicture = new PictureBox(this);
    m_qrPicture->setObjectName(QString::fromUtf8("图片框1"));
    m_qrPicture->setGeometry(28, 32, 300, 300);
    m_qrPicture->setAlignment(Qt::AlignCenter);
    m_qrPicture->hide();

    m_panel = new QFrame(this);
    m_panel->setObjectName(QString::fromUtf8("外形框1"));
    m_panel->setGeometry(0, 553, 368, 115);

    auto* newest = makeButton(m_panel, "按钮今日最新", "今日最新", {1, 3, 64, 32});
    auto* hot = makeButton(m_panel, "按钮24小时最火", "24小时最火", {65, 3, 72, 32});
    auto* popular = makeButton(m_panel, "按钮7天热门", "7天热门", {137, 3, 64, 32});
    auto* top = makeButton(m_panel, "按钮本月最赞", "本月最赞", {201, 3, 72, 32});
    auto* post = makeButton(m_panel, "按钮发到公众平台", "发到公众平台", {273, 3, 88, 32}, 12);

    auto makeLabel = [this](const char* name, const char* caption, QRect geometry) {
        auto* label = new QLabel(QString::fromUtf8(caption), m_panel);
        label->setObjectName(QString::fromUtf8(name));
        label->setGeometry(geometry);
        label->setFont(boldFont(12));
        return label;
    };
    makeLabel("标签1", "这很重要：严禁利用本工具抄袭原创内容，违者，后果自负", {8, 35, 344, 24});
    makeLabel("标签2", "这是一款免费工具，随意使用，随意传播", {73, 56, 240, 24});

    auto* tutorial = makeButton(m_panel, "按钮视频教程", "视频教程", {1, 81, 64, 32});
    auto* contact = makeButton(m_panel, "按钮联系我们", "联系/关注/更新", {65, 81, 103, 32});
    auto* promotion =
        makeButton(m_panel, "按钮公众号互推", "微信公众号互推", {168, 81, 193, 32}, 14);

    connect(back, &QPushButton::clicked, this, &MainWindow::goBack);
    connect(go, &QPushButton::clicked, this, &MainWindow::goToAddressBar);
    connect(newest, &QPushButton::clicked, this, [this] { openList(1); });
    connect(hot, &QPushButton::clicked, this, [this] { openList(2); });
    connect(popular, &QPushButton::clicked, this, [this] { openList(3); });
    connect(top, &QPushButton::clicked, this, [this] { openList(4); });
    connect(tutorial, &QPushButton::clicked, this, [this] { openInfoPage(kTutorialAid); });
    connect(contact, &QPushButton::clicked, this, [this] { openInfoPage(kContactAid); });
    connect(promotion, &QPushButton::clicked, this, [this] { openInfoPage(kPromotionAid); });
    connect(post, &QPushButton::clicked, this, [] {
        if (mainWindowHooks().postClicked) mainWindowHooks().postClicked();
    });
    connect(qr, &QPushButton::clicked, this, [] {
        if (mainWindowHooks().qrClicked) mainWindowHooks().qrClicked();
    });
    connect(m_qrPicture, &PictureBox::leftButtonPressed, this, [] {
        if (mainWindowHooks().qrPicturePressed) mainWindowHooks().qrPicturePressed();
    });

    connect(m_browser, &QWebEngineView::loadProgress, this, &MainWindow::followBrowser);
    connect(m_browser, &QWebEngineView::urlChanged, this, &MainWindow::followBrowser);
    connect(m_browser, &QWebEngineView::loadFinished, this, &MainWindow::followBrowser);
}

QPushButton* MainWindow::makeButton(QWidget* parent, const char* name, const char* caption,
                                    QRect geometry, int boldPixelHeight) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(geometry);
    if (boldPixelHeight > 0) button->setFont(boldFont(boldPixelHeight));
    return button;
}

void MainWindow::created() {
    auto& g = Globals();
    InstallSkin(13);
    g.PortalBase = MakePortalBase(Hosts());
    g.KeyFilePath = platform::BesideProgram("key.txt");
    g.IdentityKey = ReadIdentityKey(g.KeyFilePath);
    g.CoverImagePath = platform::BesideProgram("1.jpg");
    g.VersionTag = kVersionTag;
    setWindowTitle(ToQString(FromQString(windowTitle()) + g.VersionTag));
    if (NewVersionAnnounced(g.PortalBase, g.VersionTag)) {
        platform::ShowMessage("通知：有新版本发布"_gbk);
    }
    g.ListNewestUrl = ListUrl(g.PortalBase, 1, g.IdentityKey);
    g.ListHot24hUrl = ListUrl(g.PortalBase, 2, g.IdentityKey);
    g.ListPopular7dUrl = ListUrl(g.PortalBase, 3, g.IdentityKey);
    g.ListTopMonthUrl = ListUrl(g.PortalBase, 4, g.IdentityKey);
    platform::PlaceMainWindow(this);
    StartCookieSync(m_browser->page()->profile());
    m_browser->navigate(ToQString(HomePageUrl(g.PortalBase)));
}

void MainWindow::placeAgain() { platform::PlaceMainWindow(this); }

void MainWindow::willBeDestroyed() {
    if (platform::IsWindowLoaded(platform::kMaterialCopyWindow)) {
        platform::UnloadWindow(platform::kMaterialCopyWindow);
    } else if (platform::IsWindowLoaded(platform::kReaderWindow)) {
        platform::UnloadWindow(platform::kReaderWindow);
    }
    platform::DeleteFileA(Globals().CoverImagePath);
}

void MainWindow::goBack() { m_browser->back(); }

void MainWindow::goToAddressBar() { m_browser->navigate(m_addressBar->text()); }

void MainWindow::openList(int list) {
    const auto& g = Globals();
    const text::Text* urls[] = {&g.ListNewestUrl, &g.ListHot24hUrl, &g.ListPopular7dUrl,
                                &g.ListTopMonthUrl};
    if (list < 1 || list > 4) return;
    m_browser->navigate(ToQString(*urls[list - 1]));
}

void MainWindow::openInfoPage(int aid) { OpenReaderWindow(InfoPageUrl(Globals().PortalBase, aid)); }

void MainWindow::followBrowser() {
    m_addressBar->setText(ToQString(text::Text(m_browser->url().toEncoded().toStdString())));
    // A long address shows its beginning, where the host is.
    m_addressBar->setCursorPosition(0);
}

}  // namespace tarvelle::app
