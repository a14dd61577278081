#include "platform/placement.h"

#include <QPalette>
#include <QVariant>
#include <QWidget>
#include <algorithm>

#include "platform/screen.h"
#include "platform/window_layer.h"

namespace tarvelle::platform {
namespace {

// Frame and caption around the client area; zero until the window manager
// has framed the window. The margins used are remembered, so that the window
// can be placed again once its real frame is known.
QSize frameExtra(QWidget* w) {
    const QMargins m = LayerWindow::frameMarginsOf(w);
    w->setProperty(LayerWindow::kPlacedFrameProperty,
                   QRect(m.left(), m.top(), m.right(), m.bottom()));
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}

int outerWidth(const QWidget* w) { return w->frameGeometry().width(); }

// The outer width the window had when it was last placed: a frame that comes
// later narrows the client area instead of widening the window.
int keptOuterWidth(const QWidget* w) {
    const QVariant placed = w->property(LayerWindow::kPlacedFrameProperty);
    if (!placed.isValid()) return outerWidth(w);
    const QRect m = placed.toRect();
    return w->width() + m.x() + m.width();
}
int outerHeight(const QWidget* w) { return w->frameGeometry().height(); }

void setOuterSize(QWidget* w, int width, int height) {
    const QSize extra = frameExtra(w);
    w->setFixedSize(std::max(0, std::max(0, width) - extra.width()),
                    std::max(0, std::max(0, height) - extra.height()));
}

void setControlHeight(QWidget* c, int height) { c->resize(c->width(), std::max(0, height)); }

void setControlSize(QWidget* c, int width, int height) {
    c->resize(std::max(0, width), std::max(0, height));
}

QWidget* control(QWidget* window, const char* name) {
    return window->findChild<QWidget*>(QString::fromUtf8(name));
}

}  // namespace

void PlaceMainWindow(QWidget* w) {
    if (!w) return;
    const ScreenInfo screen = QueryScreen();
    QWidget* browser = control(w, "互联网浏览器1");
    QWidget* panel = control(w, "外形框1");
    QWidget* addressBar = control(w, "编辑框地址栏");
    if (!browser || !panel || !addressBar) return;

    setOuterSize(w, keptOuterWidth(w), screen.screenHeight - GetTaskbarHeight());
    const int windowHeight = outerHeight(w);
    const int panelHeight = panel->height();
    int addressHeight = addressBar->height();
    setControlHeight(browser, windowHeight - panelHeight - addressHeight - 22);
    const int browserHeight = browser->height();
    addressHeight = addressBar->height();
    panel->move(panel->x(), browserHeight + addressHeight);
    w->move(screen.screenWidth - outerWidth(w), w->pos().y());
    w->move(w->pos().x(), 0);
}

void PlaceMaterialCopyWindow(QWidget* w) {
    if (!w) return;
    const ScreenInfo screen = QueryScreen();
    frameExtra(w);
    w->move(w->pos().x(), screen.screenHeight - GetTaskbarHeight() - outerHeight(w));
    w->move(screen.screenWidth - outerWidth(w), w->pos().y());
    w->setPalette(QPalette());
    w->setAutoFillBackground(true);
}

void PlaceReaderWindow(QWidget* w) {
    if (!w) return;
    const ScreenInfo screen = QueryScreen();
    setOuterSize(w, 800, 680);
    w->move((screen.screenWidth - outerWidth(w)) / 2, w->pos().y());
    w->move(w->pos().x(), (screen.screenHeight - GetTaskbarHeight() - outerHeight(w)) / 2);
    if (QWidget* browser = control(w, "互联网浏览器1")) setControlSize(browser, 800, 650);
}

}  // namespace tarvelle::platform
