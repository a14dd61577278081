#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/qt_text.h"

namespace tarvelle::platform {

namespace {

bool writeSystemClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(text);
    return clipboard->text() == text;
}

std::function<bool(const QString&)>& writer() {
    static std::function<bool(const QString&)> w = writeSystemClipboard;
    return w;
}

}  // namespace

bool SetClipboardText(const text::Text& text) { return writer()(ToQString(text)); }

void SetClipboardWriterForTesting(std::function<bool(const QString&)> w) {
    writer() = w ? std::move(w) : writeSystemClipboard;
}

}  // namespace tarvelle::platform
