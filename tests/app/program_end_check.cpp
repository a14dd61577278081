// The whole program from start to end: the main window opens the reader
// window, then closes; the event loop must end on its own and the process
// must leave cleanly, its exit routine included. Exit code 0 is a pass.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/globals.h"
#include "app/portal.h"
#include "app/shell.h"
#include "gui_test_support.h"
#include "platform/event_pump.h"
#include "platform/window_layer.h"

using namespace tarvelle;

int main(int argc, char** argv) {
    testing::prepareGuiEnvironment();
    QApplication app(argc, argv);
    platform::InitWindowLayer();
    platform::InstallEventPump();
    app::HostConfig hosts;
    hosts.portal = "127.0.0.1:9";  // nothing listens there: no network, quick failures
    app::SetHostsForTesting(hosts);
    app::RegisterShellWindows();

    QTimer::singleShot(300, [] {
        auto* main = platform::LoadedWindow(platform::kMainWindow);
        if (!main) std::exit(2);
        main->findChild<QPushButton*>(QString::fromUtf8("按钮视频教程"))->click();
        if (!platform::IsWindowLoaded(platform::kReaderWindow)) std::exit(3);
        // Long enough to live on the heap, so that releasing it after the
        // globals were destroyed would not go unnoticed.
        app::Globals().ArticleTitle = "a title long enough to need its own allocation";
        main->close();
    });
    // Should the loop never end, give up with a failure instead of hanging.
    QTimer::singleShot(30000, [] { std::_Exit(4); });
    const int result = app::RunProgram();
    std::printf("program ended with %d\n", result);
    return result;
}
