#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvelle::http {

namespace detail {
struct StoreAccess;
}

struct StoredCookie {
    std::string name, value, domain, path = "/";
    bool hostOnly = true;  // no Domain attribute: exact host only
    bool secure = false, httpOnly = false;
    std::int64_t expires = 0;  // unix seconds; 0 = session cookie

    friend bool operator==(const StoredCookie&, const StoredCookie&) = default;
};

// The process-wide cookie jar used by ReadUrlBytes and by RequestPage when the
// caller keeps no cookies of its own; the GUI keeps it in step with its browser.
class CookieStore {
public:
    static CookieStore& shared();

    // Inserts or replaces (same name, domain and path). A domain written with
    // a leading dot is a domain cookie's. A cookie whose texts hold a tab or a
    // line break, or that lacks a name or a domain, is ignored.
    void set(const StoredCookie& cookie);
    void remove(const StoredCookie& cookie);  // by name, domain and path
    // Expired cookies are left out.
    std::vector<StoredCookie> all() const;
    void clear();

    // Called after a request of ours changed the store (cookie set or removed
    // by a response); not called for set()/remove() made through this interface.
    void setListener(std::function<void(const StoredCookie&, bool removed)> listener);

    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;
    ~CookieStore();

private:
    friend struct detail::StoreAccess;
    CookieStore();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tarvelle::http
