#pragma once

#include <QString>

#include "text/text.h"

namespace tarvelle::platform {

// The only crossings between the tool's 936 texts and Qt's strings.
QString ToQString(const text::Text& text);
text::Text FromQString(const QString& string);

}  // namespace tarvelle::platform
