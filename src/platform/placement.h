#pragma once

class QWidget;

namespace tarvelle::platform {

// Window geometry here is the outer rectangle, frame and caption included;
// control geometry is relative to the client area that holds the control.

// Full height down to the taskbar, flush with the right edge; the browser
// "互联网浏览器1" and the panel "外形框1" are fitted to that height.
void PlaceMainWindow(QWidget* mainWindow);

// Bottom-right corner, just above the taskbar.
void PlaceMaterialCopyWindow(QWidget* copyWindow);

// 800 × 680, centred above the taskbar; its browser becomes 800 × 650.
void PlaceReaderWindow(QWidget* readerWindow);

}  // namespace tarvelle::platform
