#include "app/skin.h"

#include <QApplication>
#include <QFile>

namespace tarvelle::app {

void InstallSkin(int index) {
    QString sheet;
    if (index >= 1 && index <= 33) {
        QFile file(QString(":/skins/skin%1.qss").arg(index));
        if (file.open(QIODevice::ReadOnly)) sheet = QString::fromUtf8(file.readAll());
    }
    qApp->setStyleSheet(sheet);
}

}  // namespace tarvelle::app
