#pragma once

#include <optional>

#include "text/text.h"

namespace tarvelle::http {

// Host of an address, in lower case. Without `dotLevel` the host is what
// follows the scheme up to the first "/"; with it the host is shortened to its
// last `dotLevel` + 2 labels (+ 1 with `mainDomainOnly`). The port suffix is
// cut unless `keepPort`.
text::Text UrlHost(const text::Text& url, bool mainDomainOnly = false, bool keepPort = false,
                   std::optional<int> dotLevel = std::nullopt);

// Explicit port, else 443 for an "https" address and 80 for any other;
// 0 for a port that is not a number.
int UrlPort(const text::Text& url);

// Path and query as written in the address, "/" when there is none.
text::Text UrlPath(const text::Text& url);

}  // namespace tarvelle::http
