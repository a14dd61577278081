#include "app/wiring.h"

#include "app/main_window.h"
#include "platform/window_layer.h"

namespace tarvelle::app {

void WireSubsystems() {
    // The post button (按钮发到公众平台), the QR button (按钮二维码), the QR
    // picture (图片框1) and the material copy window are wired here as their
    // code lands, e.g.:
    //   mainWindowHooks().postClicked = &materials::PostToPlatform;
    //   platform::RegisterWindow(platform::kMaterialCopyWindow, [] { return new ...; });
}

}  // namespace tarvelle::app
