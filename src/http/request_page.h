#pragma once

#include <optional>

#include "text/text.h"

namespace tarvelle::http {

// One HTTP(S) request, its parameters and what it hands back. Fields the
// caller does not care about are left as they are and ignored afterwards.
struct PageRequest {
    text::Text url;  // with or without scheme
    int method = 0;  // 0 GET, 1 POST, 2 HEAD; any other value counts as 0
    text::Text postText;
    // Supplied (even empty): sent as the Cookie line, merged with what the
    // response sets, and the shared cookie store stays out of the request.
    std::optional<text::Text> cookies;
    text::Text receivedCookies;  // out: name=value pairs the response set
    text::Text headers;          // in/out: extra lines, then the header text as sent
    text::Text responseHeaders;  // out: the raw header block of the response read
    bool noRedirect = false;
    text::Bytes postBytes;  // in/out: the body sent for POST and HEAD
    text::Text proxy;       // host:port; empty for a direct connection
};

// The response body, whatever its status; empty when the request fails.
text::Bytes RequestPage(PageRequest& request);

// What follows the first ":" of `text`, trimmed; empty without a ":".
text::Text HeaderLineValue(const text::Text& text);

// The agent a request announces for the given extra header lines.
text::Text RequestAgent(const text::Text& headers);

}  // namespace tarvelle::http
