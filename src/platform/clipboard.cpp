#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/qt_text.h"

namespace tarvelle::platform {

void SetClipboardText(const text::Text& text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

}  // namespace tarvelle::platform
