#pragma once

#include "text/text.h"

class QWebEngineProfile;

namespace tarvelle::app {

// The start-up version check: true when the notice must be shown.
bool NewVersionAnnounced(const text::Text& portalBase, const text::Text& versionTag);

// Keeps the browser's cookies and those of the tool's own requests in step.
void StartCookieSync(QWebEngineProfile* profile);

}  // namespace tarvelle::app
