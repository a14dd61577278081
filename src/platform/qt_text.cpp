#include "platform/qt_text.h"

#include "text/codepage.h"

namespace tarvelle::platform {

QString ToQString(const text::Text& text) { return QString::fromStdString(text::GbkToUtf8(text)); }

text::Text FromQString(const QString& string) {
    return text::Utf8ToGbk(text::Text(string.toStdString()));
}

}  // namespace tarvelle::platform
