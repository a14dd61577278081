#pragma once

namespace tarvelle::app {

// Connects the windows and handlers of the other subsystems to the shell:
// the material copy window (registered under platform::kMaterialCopyWindow)
// and the main window's post and QR handlers (mainWindowHooks()). Runs once,
// after RegisterShellWindows and before the main window is loaded.
void WireSubsystems();

}  // namespace tarvelle::app
