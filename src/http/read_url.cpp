#include "http/read_url.h"

#include "http/transfer.h"
#include "text/primitives.h"

namespace tarvelle::http {

text::Bytes ReadUrlBytes(const text::Text& address) {
    text::Text target = address;
    if (const int hash = text::FindSubtext(target, "#"); hash != -1)
        target = text::LeftOf(target, hash - 1);
    if (target.empty()) return {};

    const detail::Easy easy = detail::newEasy();
    if (!easy) return {};
    CURL* e = easy.get();
    detail::Slist headers;
    if (!detail::append(headers, "Accept: */*")) return {};

    detail::Transfer transfer;
    detail::prepare(e, transfer, limits(), "http,https");
    const std::string url = detail::escapeForUrl(target.view());
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_DEFAULT_PROTOCOL, "http");
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    if (!detail::perform(e, transfer, true)) return {};
    return std::move(transfer.body);
}

}  // namespace tarvelle::http
