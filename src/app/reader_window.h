#pragma once

#include "platform/window_layer.h"

namespace tarvelle::app {

class Browser;

// A plain, larger browser window in the middle of the screen, showing the
// page named by ReaderUrl when it is created.
class ReaderWindow : public platform::LayerWindow {
    Q_OBJECT
public:
    ReaderWindow();

    void created() override;

    Browser* browser() const { return m_browser; }

protected:
    void placeAgain() override;

private:
    Browser* m_browser = nullptr;
};

// ReaderUrl := address, and a fresh reader window replaces any earlier one.
void OpenReaderWindow(const text::Text& address);

}  // namespace tarvelle::app
