#include "app/shell.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/globals.h"
#include "app/main_window.h"
#include "app/reader_window.h"
#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/window_layer.h"

namespace tarvelle::app {

void RegisterShellWindows() {
    platform::RegisterWindow(platform::kMainWindow, [] { return new MainWindow; });
    platform::RegisterWindow(platform::kReaderWindow, [] { return new ReaderWindow; });
}

void ExitRoutine() { ReleaseGlobals(); }

int RunProgram() {
    std::error_code ec;
    std::filesystem::current_path(platform::OsPath(platform::RunDirectory()), ec);
    // The globals must exist before the exit routine is registered, so that they
    // are destroyed after it has released them, not before.
    Globals();
    std::atexit(&ExitRoutine);
    platform::LoadWindow(platform::kMainWindow);
    if (platform::IsWindowLoaded(platform::kMainWindow)) QApplication::exec();
    // Windows destroyed on the way out are deleted before the browser engine goes down.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

}  // namespace tarvelle::app
