#include "platform/window_layer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWindow>
#include <algorithm>
#include <map>

#include "platform/qt_text.h"
#include "text/codepage.h"

namespace tarvelle::platform {
namespace {

using text::operator""_gbk;

struct Entry {
    QPointer<LayerWindow> window;
    bool closing = false;
};

struct Layer {
    std::map<std::string, WindowFactory> factories;
    std::map<std::string, Entry> loaded;
    std::function<void()> programEnd = [] { QCoreApplication::quit(); };
};

Layer& layer() {
    static Layer l;
    return l;
}

// Destroys the window if it is still the one loaded under its name; a stale
// request (the window was already replaced or closed) does nothing.
void destroyWindow(LayerWindow* window) {
    auto& loaded = layer().loaded;
    auto it = std::find_if(loaded.begin(), loaded.end(),
                           [window](const auto& e) { return e.second.window == window; });
    if (it == loaded.end()) return;
    window->willBeDestroyed();
    it = std::find_if(loaded.begin(), loaded.end(),
                      [window](const auto& e) { return e.second.window == window; });
    if (it != loaded.end()) loaded.erase(it);
    window->hide();
    window->deleteLater();
    if (layer().loaded.empty() && layer().programEnd) layer().programEnd();
}

}  // namespace

LayerWindow::LayerWindow(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

QMargins LayerWindow::frameMarginsOf(const QWidget* window) {
    if (QWindow* handle = window->windowHandle()) return handle->frameMargins();
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

bool LayerWindow::event(QEvent* e) {
    const bool handled = QWidget::event(e);
    const auto type = e->type();
    if ((type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) && isVisible()) {
        const QVariant placed = property(kPlacedFrameProperty);
        if (placed.isValid()) {
            const QRect r = placed.toRect();
            const QMargins used(r.x(), r.y(), r.width(), r.height());
            if (frameMarginsOf(this) != used) placeAgain();
        }
    }
    return handled;
}

void LayerWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    destroyWindow(this);
}

void LayerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RegisterWindow(const std::string& name, WindowFactory factory) {
    layer().factories[name] = std::move(factory);
}

void LoadWindow(const std::string& name) {
    auto& loaded = layer().loaded;
    if (auto it = loaded.find(name); it != loaded.end()) {
        if (!it->second.closing && it->second.window) {
            LayerWindow* w = it->second.window;
            if (w->isMinimized()) w->showNormal();
            w->show();
            w->raise();
            w->activateWindow();
            return;
        }
        // Still closing: destroy it now, without ending the program, and build anew.
        QPointer<LayerWindow> old = it->second.window;
        loaded.erase(it);
        if (old) {
            old->willBeDestroyed();
            old->hide();
            old->deleteLater();
        }
    }
    auto factory = layer().factories.find(name);
    if (factory == layer().factories.end() || !factory->second) return;
    LayerWindow* window = factory->second();
    if (!window) return;
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    loaded[name] = Entry{window, false};
    window->created();
    // The created event may have unloaded the window again.
    if (auto it = loaded.find(name); it != loaded.end() && it->second.window == window) {
        window->show();
    }
}

void UnloadWindow(const std::string& name) {
    auto& loaded = layer().loaded;
    auto it = loaded.find(name);
    if (it == loaded.end() || it->second.closing) return;
    it->second.closing = true;
    QPointer<LayerWindow> window = it->second.window;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [window] {
            if (window) destroyWindow(window);
        },
        Qt::QueuedConnection);
}

void ReloadWindow(const std::string& name) {
    if (IsWindowLoaded(name)) UnloadWindow(name);
    LoadWindow(name);
}

bool IsWindowLoaded(const std::string& name) { return layer().loaded.count(name) > 0; }

LayerWindow* LoadedWindow(const std::string& name) {
    auto it = layer().loaded.find(name);
    return it == layer().loaded.end() ? nullptr : it->second.window.data();
}

void ShowMessage(const text::Text& message) {
    QMessageBox box(QMessageBox::NoIcon, ToQString("信息："_gbk), ToQString(message),
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    // The tool's windows stay on top; the box must not hide beneath them.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

void InitWindowLayer() {
    QApplication::setQuitOnLastWindowClosed(false);
    QFont font = QApplication::font();
    font.setPixelSize(12);
    QApplication::setFont(font);
}

void SetProgramEndHandler(std::function<void()> handler) {
    layer().programEnd = std::move(handler);
}

}  // namespace tarvelle::platform
