// The demo portal: serves the stand-in portal and WeChat article pages on
// loopback until interrupted.
//   demo_portal [--portal-port N] [--article-port N] [--write-config FILE]
//               [--version-title TEXT]
#include <unistd.h>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "demo_portal.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;
void onSignal(int) { g_stop = 1; }
}  // namespace

int main(int argc, char** argv) {
    int portalPort = 0;
    int articlePort = 0;
    std::string configPath;
    std::string versionTitle;
    bool haveVersionTitle = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "demo_portal: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--portal-port")
            portalPort = std::atoi(next().c_str());
        else if (arg == "--article-port")
            articlePort = std::atoi(next().c_str());
        else if (arg == "--write-config")
            configPath = next();
        else if (arg == "--version-title")
            versionTitle = next(), haveVersionTitle = true;
        else {
            std::fprintf(stderr,
                         "usage: demo_portal [--portal-port N] [--article-port N] "
                         "[--write-config FILE] [--version-title TEXT]\n");
            return 2;
        }
    }
    // Cover images are drawn with Qt's raster engine; no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    tarvelle::demo::DemoPortal portal;
    if (haveVersionTitle) portal.setVersionTitle(versionTitle);
    if (!portal.start(portalPort, articlePort)) {
        std::fprintf(stderr, "demo_portal: cannot listen on the requested ports\n");
        return 1;
    }
    if (!configPath.empty()) {
        std::ofstream out(configPath);
        out << portal.configIni();
        if (!out) {
            std::fprintf(stderr, "demo_portal: cannot write %s\n", configPath.c_str());
            return 1;
        }
    }
    std::printf("portal   http://%s/plus/view.php?aid=1629\n", portal.portalHost().c_str());
    std::printf("articles http://%s/s/spring-tea\n", portal.articleHost().c_str());
    std::fflush(stdout);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    while (!g_stop) pause();
    portal.stop();
    return 0;
}
