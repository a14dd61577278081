#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace tarvelle::platform {
namespace {

std::shared_ptr<const ScreenSource>& sourceSlot() {
    static std::shared_ptr<const ScreenSource> source;
    return source;
}

std::uint16_t low16(int value) { return static_cast<std::uint16_t>(value & 0xFFFF); }

}  // namespace

ScreenInfo QtScreenSource::query() const {
    ScreenInfo info;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return info;
    const QRect whole = screen->geometry();
    const QRect work = screen->availableGeometry();
    info.screenWidth = whole.width();
    info.screenHeight = whole.height();
    info.taskbarTop = work.y() + work.height() - whole.y();
    info.bitsPerPixel = low16(screen->depth());
    info.displayWidth = low16(whole.width());
    info.displayHeight = low16(whole.height());
    info.refreshRate = low16(static_cast<int>(screen->refreshRate()));
    return info;
}

void SetScreenSource(std::shared_ptr<const ScreenSource> source) {
    sourceSlot() = std::move(source);
}

ScreenInfo QueryScreen() {
    if (sourceSlot()) return sourceSlot()->query();
    return QtScreenSource().query();
}

ScreenInfo ScreenWithBottomTaskbar(int width, int height, int taskbar) {
    ScreenInfo info;
    info.screenWidth = width;
    info.screenHeight = height;
    info.taskbarTop = height - taskbar;
    info.bitsPerPixel = 32;
    info.displayWidth = low16(width);
    info.displayHeight = low16(height);
    info.refreshRate = 60;
    return info;
}

int GetTaskbarHeight() {
    const int taskbarTop = QueryScreen().taskbarTop;
    std::uint16_t height = 0;
    GetDisplaySettings(nullptr, nullptr, &height);
    return height - taskbarTop;
}

void GetDisplaySettings(std::uint16_t* bitsPerPixel, std::uint16_t* width, std::uint16_t* height,
                        std::uint16_t* refreshRate) {
    const ScreenInfo info = QueryScreen();
    if (bitsPerPixel) *bitsPerPixel = info.bitsPerPixel;
    if (width) *width = info.displayWidth;
    if (height) *height = info.displayHeight;
    if (refreshRate) *refreshRate = info.refreshRate;
}

}  // namespace tarvelle::platform
