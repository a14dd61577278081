#include "http/cookie_store.h"

#include <curl/curl.h>

#include <charconv>
#include <ctime>
#include <mutex>
#include <string_view>

#include "http/cookie_store_access.h"
#include "http/transfer.h"

namespace tarvelle::http {

namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

bool sameKey(const StoredCookie& a, const StoredCookie& b) {
    return a.name == b.name && a.domain == b.domain && a.path == b.path;
}

// A browser writes a domain cookie's domain with a leading dot.
StoredCookie normalised(StoredCookie c) {
    if (c.domain.starts_with('.')) {
        c.domain.erase(0, c.domain.find_first_not_of('.'));
        c.hostOnly = false;
    }
    if (c.path.empty()) c.path.push_back('/');  // not = "/": GCC 12 -O3 warns falsely on that
    return c;
}

bool fitsNetscapeLine(const StoredCookie& c) {
    for (const std::string* field : {&c.name, &c.value, &c.domain, &c.path}) {
        if (field->find_first_of("\t\r\n") != std::string::npos) return false;
    }
    return !c.name.empty() && !c.domain.empty();
}

// libcurl's cookie-file line: domain, tail match, path, secure, expiry, name, value.
std::string toNetscapeLine(const StoredCookie& c) {
    std::string line;
    if (c.httpOnly) line += kHttpOnlyPrefix;
    if (!c.hostOnly) line += '.';
    line += c.domain;
    line += c.hostOnly ? "\tFALSE\t" : "\tTRUE\t";
    line += c.path;
    line += c.secure ? "\tTRUE\t" : "\tFALSE\t";
    line += std::to_string(c.expires);
    line += '\t';
    line += c.name;
    line += '\t';
    line += c.value;
    return line;
}

std::optional<StoredCookie> fromNetscapeLine(std::string_view line) {
    StoredCookie c;
    if (line.starts_with(kHttpOnlyPrefix)) {
        c.httpOnly = true;
        line.remove_prefix(kHttpOnlyPrefix.size());
    }
    std::string_view fields[7];
    int count = 0;
    while (count < 7) {
        const size_t tab = count < 6 ? line.find('\t') : std::string_view::npos;
        fields[count++] = line.substr(0, tab);
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    if (count < 6) return std::nullopt;
    c.hostOnly = fields[1] != "TRUE";
    std::string_view domain = fields[0];
    if (!c.hostOnly && domain.starts_with('.')) domain.remove_prefix(1);
    c.domain = domain;
    c.path = fields[2];
    c.secure = fields[3] == "TRUE";
    std::from_chars(fields[4].data(), fields[4].data() + fields[4].size(), c.expires);
    c.name = fields[5];
    if (count == 7) c.value = fields[6];
    return c;
}

}  // namespace

struct CookieStore::Impl {
    CURLSH* share = nullptr;
    detail::Easy control;  // carries the store's own list commands
    std::recursive_mutex shareMutex;
    mutable std::mutex controlMutex;
    std::mutex listenerMutex;
    std::function<void(const StoredCookie&, bool)> listener;

    static void lock(CURL*, curl_lock_data, curl_lock_access, void* user) {
        static_cast<Impl*>(user)->shareMutex.lock();
    }
    static void unlock(CURL*, curl_lock_data, void* user) {
        static_cast<Impl*>(user)->shareMutex.unlock();
    }

    void command(const std::string& line) {
        if (control) curl_easy_setopt(control.get(), CURLOPT_COOKIELIST, line.c_str());
    }

    std::vector<StoredCookie> list() const {
        std::vector<StoredCookie> cookies;
        if (!control) return cookies;
        curl_slist* lines = nullptr;
        if (curl_easy_getinfo(control.get(), CURLINFO_COOKIELIST, &lines) != CURLE_OK)
            return cookies;
        const std::int64_t now = std::time(nullptr);
        for (curl_slist* l = lines; l; l = l->next) {
            auto c = fromNetscapeLine(l->data);
            if (c && (c->expires == 0 || c->expires > now)) cookies.push_back(std::move(*c));
        }
        curl_slist_free_all(lines);
        return cookies;
    }
};

CookieStore::CookieStore() : m_impl(std::make_unique<Impl>()) {
    Impl& s = *m_impl;
    s.control = detail::newEasy();
    s.share = curl_share_init();
    if (!s.control || !s.share) return;
    curl_share_setopt(s.share, CURLSHOPT_LOCKFUNC, &Impl::lock);
    curl_share_setopt(s.share, CURLSHOPT_UNLOCKFUNC, &Impl::unlock);
    curl_share_setopt(s.share, CURLSHOPT_USERDATA, &s);
    curl_share_setopt(s.share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_easy_setopt(s.control.get(), CURLOPT_SHARE, s.share);
}

CookieStore::~CookieStore() {
    m_impl->control.reset();
    if (m_impl->share) curl_share_cleanup(m_impl->share);
}

CookieStore& CookieStore::shared() {
    static CookieStore store;
    return store;
}

void CookieStore::set(const StoredCookie& given) {
    const StoredCookie cookie = normalised(given);
    if (!fitsNetscapeLine(cookie)) return;
    std::lock_guard lock(m_impl->controlMutex);
    for (const StoredCookie& held : m_impl->list()) {
        // libcurl keeps a host-only and a domain cookie of the same name apart;
        // this store does not.
        if (sameKey(held, cookie) && held.hostOnly != cookie.hostOnly) {
            std::vector<StoredCookie> kept;
            for (const StoredCookie& c : m_impl->list())
                if (!sameKey(c, cookie)) kept.push_back(c);
            m_impl->command("ALL");
            for (const StoredCookie& c : kept) m_impl->command(toNetscapeLine(c));
            break;
        }
    }
    m_impl->command(toNetscapeLine(cookie));
}

void CookieStore::remove(const StoredCookie& given) {
    const StoredCookie cookie = normalised(given);
    std::lock_guard lock(m_impl->controlMutex);
    std::vector<StoredCookie> kept;
    bool found = false;
    for (const StoredCookie& c : m_impl->list()) {
        if (sameKey(c, cookie))
            found = true;
        else
            kept.push_back(c);
    }
    if (!found) return;
    m_impl->command("ALL");
    for (const StoredCookie& c : kept) m_impl->command(toNetscapeLine(c));
}

std::vector<StoredCookie> CookieStore::all() const {
    std::lock_guard lock(m_impl->controlMutex);
    return m_impl->list();
}

void CookieStore::clear() {
    std::lock_guard lock(m_impl->controlMutex);
    m_impl->command("ALL");
}

void CookieStore::setListener(std::function<void(const StoredCookie&, bool removed)> listener) {
    std::lock_guard lock(m_impl->listenerMutex);
    m_impl->listener = std::move(listener);
}

namespace detail {

void StoreAccess::attach(CookieStore& store, CURL* easy) {
    if (!store.m_impl->share) return;
    curl_easy_setopt(easy, CURLOPT_SHARE, store.m_impl->share);
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
}

std::optional<std::vector<StoredCookie>> StoreAccess::snapshotIfListened(const CookieStore& store) {
    {
        std::lock_guard lock(store.m_impl->listenerMutex);
        if (!store.m_impl->listener) return std::nullopt;
    }
    return store.all();
}

void StoreAccess::reportChanges(CookieStore& store, const std::vector<StoredCookie>& before) {
    std::function<void(const StoredCookie&, bool)> listener;
    {
        std::lock_guard lock(store.m_impl->listenerMutex);
        listener = store.m_impl->listener;
    }
    if (!listener) return;
    const std::vector<StoredCookie> after = store.all();
    auto find = [](const std::vector<StoredCookie>& in, const StoredCookie& c) {
        for (const StoredCookie& x : in)
            if (sameKey(x, c)) return &x;
        return static_cast<const StoredCookie*>(nullptr);
    };
    for (const StoredCookie& c : before)
        if (!find(after, c)) listener(c, true);
    for (const StoredCookie& c : after)
        if (const StoredCookie* old = find(before, c); !old || !(*old == c)) listener(c, false);
}

}  // namespace detail

}  // namespace tarvelle::http
