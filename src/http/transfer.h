#pragma once

// What every request of this library shares: one libcurl easy handle per
// call, the limits, http and https only, verified certificates.

#include <curl/curl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "http/limits.h"
#include "text/text.h"

namespace tarvelle::http::detail {

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using Easy = std::unique_ptr<CURL, EasyCleanup>;

struct SlistCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistCleanup>;

// Null when libcurl cannot be set up.
Easy newEasy();

bool append(Slist& list, const std::string& line);

struct Transfer {
    text::Bytes body;
    std::int64_t maxBody = 0;
    // Raw header block of the last response, lines ended by "\r\n", the
    // block by an empty line. Not kept beyond maxHeaderBlock bytes.
    std::string headerBlock;
    std::size_t maxHeaderBlock = 0;
    bool headerBlockTooLong = false;
    bool headerBlockDone = false;
    // For a request whose answer has no body to read although the request
    // is not a plain HEAD: stop once the final response's headers are in.
    bool stopAfterHeaders = false;
    bool followsRedirects = false;
    bool stoppedAfterHeaders = false;
    int status = 0;
    bool hasLocation = false;
};

// Limits, protocols, certificate checks, no proxy, and the callbacks filling
// `transfer`. `redirectProtocols` as CURLOPT_REDIR_PROTOCOLS_STR takes it.
void prepare(CURL* easy, Transfer& transfer, const Limits& limits, const char* redirectProtocols);

// Percent-escapes the bytes that may not stand in a URL as they are: controls,
// the space, and the bytes of double-byte characters (as a browser escapes a
// GBK page's links).
std::string escapeForUrl(std::string_view address);

// Runs the transfer; with `useSharedCookies` on the process-wide cookie store,
// whose listener then hears of what the responses changed.
bool perform(CURL* easy, const Transfer& transfer, bool useSharedCookies);

}  // namespace tarvelle::http::detail
