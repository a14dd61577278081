#include <QApplication>

#include "app/shell.h"
#include "app/wiring.h"
#include "platform/event_pump.h"
#include "platform/window_layer.h"

int main(int, char** argv) {
    // The tool takes nothing from its command line, Qt's own options included.
    int argc = 1;
    char* args[] = {argv[0], nullptr};
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, args);
    tarvelle::platform::InitWindowLayer();
    tarvelle::platform::InstallEventPump();
    tarvelle::app::RegisterShellWindows();
    tarvelle::app::WireSubsystems();
    return tarvelle::app::RunProgram();
}
