// Saves a picture of the whole X screen: screenshot FILE.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshot FILE.png\n");
        return 2;
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screenshot: cannot grab the screen into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
