#pragma once

#include <QString>
#include <functional>

#include "text/text.h"

namespace tarvelle::platform {

// Puts a 936 text on the clipboard as Unicode text. False when the clipboard
// did not take it: what is read back differs from what was put there.
bool SetClipboardText(const text::Text& text);

// Tests stand in for a clipboard that another program holds: the writer puts
// the text wherever it likes and says whether that worked. Null restores the
// system clipboard.
void SetClipboardWriterForTesting(std::function<bool(const QString&)> writer);

}  // namespace tarvelle::platform
