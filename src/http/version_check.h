#pragma once

#include "text/text.h"

namespace tarvelle::http {

// Reads PortalBase + "/plus/view.php?aid=1602" with RequestPage; true when the
// user must be told "通知：有新版本发布": the page was read, its title found,
// and the version tag is not in it. The GUI shows the box.
bool CheckForNewVersion(const text::Text& portalBase, const text::Text& versionTag);

}  // namespace tarvelle::http
