#include "http/transfer.h"

#include <algorithm>
#include <cstdio>

#include "http/cookie_store_access.h"

namespace tarvelle::http::detail {

namespace {

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    if (static_cast<std::int64_t>(transfer.body.size() + length) > transfer.maxBody) return 0;
    transfer.body.append(data, length);
    return length;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    std::string_view line(data, length);
    // Each response of a redirect chain (and a proxy's answer to CONNECT)
    // starts a block of its own; only the last one is kept.
    if (line.starts_with("HTTP/")) {
        transfer.headerBlock.clear();
        transfer.headerBlockTooLong = false;
        transfer.headerBlockDone = false;
        transfer.hasLocation = false;
        const size_t space = line.find(' ');
        transfer.status = 0;
        for (size_t i = space == std::string_view::npos ? line.size() : space + 1;
             i < line.size() && line[i] >= '0' && line[i] <= '9' && transfer.status < 1000; ++i)
            transfer.status = transfer.status * 10 + (line[i] - '0');
    }
    if (transfer.headerBlockDone) return length;  // trailers
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.size() >= 9 && curl_strnequal(line.data(), "Location:", 9))
        transfer.hasLocation = true;
    if (line.empty()) transfer.headerBlockDone = true;
    if (!transfer.headerBlockTooLong) {
        if (transfer.headerBlock.size() + line.size() + 2 > transfer.maxHeaderBlock) {
            transfer.headerBlockTooLong = true;
            transfer.headerBlock.clear();
        } else {
            transfer.headerBlock.append(line).append("\r\n");
        }
    }
    if (line.empty() && transfer.stopAfterHeaders && transfer.status >= 200) {
        const bool redirect = transfer.status == 301 || transfer.status == 302 ||
                              transfer.status == 303 || transfer.status == 307 ||
                              transfer.status == 308;
        if (!(redirect && transfer.followsRedirects && transfer.hasLocation)) {
            transfer.stoppedAfterHeaders = true;
            return 0;
        }
    }
    return length;
}

}  // namespace

Easy newEasy() {
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (initialised != CURLE_OK) return nullptr;
    return Easy(curl_easy_init());
}

bool append(Slist& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (!grown) return false;
    list.release();
    list.reset(grown);
    return true;
}

void prepare(CURL* easy, Transfer& transfer, const Limits& limits, const char* redirectProtocols) {
    transfer.maxBody = limits.maxBodyBytes;
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, redirectProtocols);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits.stallBytesPerSecond);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stallTime.count()));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!limits.caFile.empty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, limits.caFile.c_str());
        curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
    }
    // Direct unless a caller names a proxy: the environment's proxy
    // variables are not ours to follow.
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
}

std::string escapeForUrl(std::string_view address) {
    std::string out;
    out.reserve(address.size());
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7f) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

bool perform(CURL* easy, const Transfer& transfer, bool useSharedCookies) {
    auto run = [&] {
        const CURLcode result = curl_easy_perform(easy);
        return result == CURLE_OK || (result == CURLE_WRITE_ERROR && transfer.stoppedAfterHeaders);
    };
    if (!useSharedCookies) return run();
    CookieStore& store = CookieStore::shared();
    StoreAccess::attach(store, easy);
    const auto before = StoreAccess::snapshotIfListened(store);
    const bool ok = run();
    if (before) StoreAccess::reportChanges(store, *before);
    return ok;
}

}  // namespace tarvelle::http::detail
