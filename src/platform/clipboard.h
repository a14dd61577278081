#pragma once

#include "text/text.h"

namespace tarvelle::platform {

// Puts a 936 text on the clipboard as Unicode text.
void SetClipboardText(const text::Text& text);

}  // namespace tarvelle::platform
