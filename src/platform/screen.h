#pragma once

#include <cstdint>
#include <memory>

namespace tarvelle::platform {

// What the placement of the windows needs to know about the primary screen.
struct ScreenInfo {
    int screenWidth = 0;  // the whole screen, not the work area
    int screenHeight = 0;
    int taskbarTop = 0;  // y of the taskbar's top edge
    std::uint16_t bitsPerPixel = 0;
    std::uint16_t displayWidth = 0;
    std::uint16_t displayHeight = 0;
    std::uint16_t refreshRate = 0;
};

class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    virtual ScreenInfo query() const = 0;
};

// The primary QScreen: the taskbar is whatever lies between the bottom of the
// work area and the bottom of the screen.
class QtScreenSource final : public ScreenSource {
public:
    ScreenInfo query() const override;
};

// Fixed numbers, for tests and for machines whose screen is known.
class FixedScreenSource final : public ScreenSource {
public:
    explicit FixedScreenSource(ScreenInfo info) : m_info(info) {}
    ScreenInfo query() const override { return m_info; }

private:
    ScreenInfo m_info;
};

// Replaces the screen source; null restores the Qt one.
void SetScreenSource(std::shared_ptr<const ScreenSource> source);
ScreenInfo QueryScreen();

// A screen of width × height with a taskbar of `taskbar` pixels along the bottom.
ScreenInfo ScreenWithBottomTaskbar(int width, int height, int taskbar);

// Display height minus the y of the taskbar's top edge.
int GetTaskbarHeight();

// The current display mode; each out-parameter is filled only when given.
void GetDisplaySettings(std::uint16_t* bitsPerPixel, std::uint16_t* width = nullptr,
                        std::uint16_t* height = nullptr, std::uint16_t* refreshRate = nullptr);

}  // namespace tarvelle::platform
