#include "app/wiring.h"

#include "app/main_window.h"
#include "app/qr_action.h"
#include "materials/copy_window.h"
#include "materials/post_action.h"

namespace tarvelle::app {

void WireSubsystems() {
    mainWindowHooks().postClicked = &materials::PostToPlatform;
    materials::RegisterMaterialCopyWindow();
    mainWindowHooks().qrClicked = &ShowAddressQrCode;
    mainWindowHooks().qrPicturePressed = &HideAddressQrCode;
}

}  // namespace tarvelle::app
