#pragma once

// How the requests of this library reach the shared cookie store.

#include <curl/curl.h>

#include <optional>
#include <vector>

#include "http/cookie_store.h"

namespace tarvelle::http::detail {

struct StoreAccess {
    // Makes the transfer send and keep cookies through the store.
    static void attach(CookieStore& store, CURL* easy);
    // The store's content when someone listens for changes, else nothing.
    static std::optional<std::vector<StoredCookie>> snapshotIfListened(const CookieStore& store);
    static void reportChanges(CookieStore& store, const std::vector<StoredCookie>& before);
};

}  // namespace tarvelle::http::detail
