#pragma once

#include "text/text.h"

namespace tarvelle::http {

// Body of an HTTP(S) GET of the address, whatever the status; empty on any
// failure. Follows redirects, uses the shared cookie store, never a proxy.
text::Bytes ReadUrlBytes(const text::Text& address);

}  // namespace tarvelle::http
