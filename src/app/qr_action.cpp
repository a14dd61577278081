#include "app/qr_action.h"

#include <QApplication>
#include <QLabel>

#include "app/browser.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "platform/files.h"
#include "platform/qt_text.h"
#include "platform/wait_cursor.h"
#include "platform/window_layer.h"
#include "qr/address_qr.h"
#include "text/codepage.h"

namespace tarvelle::app {
namespace {

using text::operator""_gbk;

MainWindow* mainWindow() {
    return qobject_cast<MainWindow*>(platform::LoadedWindow(platform::kMainWindow));
}

PictureBox* qrPictureBox(MainWindow* window) {
    return window->findChild<PictureBox*>(QString::fromUtf8("图片框1"));
}

}  // namespace

QPixmap QrPictureForBox(const text::Bytes& image, QSize box) {
    QPixmap picture;
    if (image.empty() ||
        !picture.loadFromData(reinterpret_cast<const uchar*>(image.data()),
                              static_cast<uint>(image.size()), "BMP") ||
        picture.isNull()) {
        return {};
    }
    if (picture.width() > box.width() || picture.height() > box.height()) {
        picture = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return picture;
}

void ShowAddressQrCode() {
    MainWindow* window = mainWindow();
    if (!window) return;
    PictureBox* box = qrPictureBox(window);
    if (!box) return;

    if (window->addressBar()->text().isEmpty()) {
        platform::ShowMessage("地址栏内容不得为空"_gbk);
        return;
    }
    window->browser()->hide();
    box->show();

    const platform::WaitCursor wait;
    const text::Text address = platform::FromQString(window->addressBar()->text());
    const qr::AddressQrPicture picture =
        qr::MakeAddressQrPicture(address, Globals().IdentityKey, platform::RunDirectory());
    // A 0 × 0 symbol clears the box rather than leaving an older address's code.
    box->setPixmap(QrPictureForBox(picture.image, box->size()));
}

void HideAddressQrCode() {
    MainWindow* window = mainWindow();
    if (!window) return;
    if (PictureBox* box = qrPictureBox(window)) box->hide();
    window->browser()->show();
}

}  // namespace tarvelle::app
