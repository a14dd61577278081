#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "text/text.h"

class QCloseEvent;
class QKeyEvent;

namespace tarvelle::platform {

inline constexpr const char* kMainWindow = "MainWindow";
inline constexpr const char* kMaterialCopyWindow = "MaterialCopyWindow";
inline constexpr const char* kReaderWindow = "ReaderWindow";

// A top-level window of the tool. The window layer raises `created` once the
// window and its controls exist and before it is first shown, and
// `willBeDestroyed` when it goes away, however it was closed. Esc closes it
// when the control with the focus does not take the key.
class LayerWindow : public QWidget {
    Q_OBJECT
public:
    explicit LayerWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    virtual void created() {}
    virtual void willBeDestroyed() {}

    // The frame and caption the window manager puts around the client area
    // (zero until it has framed the window).
    static QMargins frameMarginsOf(const QWidget* window);
    // Set by the placement procedures: the frame margins they worked with.
    static constexpr const char* kPlacedFrameProperty = "tarvellePlacedFrame";

protected:
    // Placement works on the outer rectangle, but a window manager adds its
    // frame only once the window is shown. When the frame then differs from
    // the one placement assumed, this runs the window's placement again.
    virtual void placeAgain() {}

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// Builds a window and its controls from its form; the window layer owns it.
using WindowFactory = std::function<LayerWindow*()>;

// Windows are loaded by name, so that one window can open another without
// knowing its type. Registering a name again replaces its factory.
void RegisterWindow(const std::string& name, WindowFactory factory);

// Creates the window, raises its created event, then shows it. A loaded
// window that is not being unloaded is only brought to the front; one that is
// being unloaded is destroyed at once and built afresh.
void LoadWindow(const std::string& name);

// Marks the window as closing and posts it a close request.
void UnloadWindow(const std::string& name);

// Unloads the window when it is loaded, then loads a fresh one.
void ReloadWindow(const std::string& name);

// True from the load until the window is destroyed, hidden or closing.
bool IsWindowLoaded(const std::string& name);

// The loaded window of that name, or null.
LayerWindow* LoadedWindow(const std::string& name);

// A message box with the caption "信息：", one OK button and no icon, modal
// to the whole application; returns when the user has closed it.
void ShowMessage(const text::Text& message);

// Window-layer defaults: the program's end is decided here, not by the last
// visible window, and controls without a font of their own take 12 pixels.
void InitWindowLayer();

// Called when a window has been destroyed and none is loaded any more. The
// default ends the event loop.
void SetProgramEndHandler(std::function<void()> handler);

}  // namespace tarvelle::platform
