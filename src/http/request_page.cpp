#include "http/request_page.h"

#include <string>

#include "http/cookies.h"
#include "http/transfer.h"
#include "http/url.h"
#include "text/extract.h"
#include "text/primitives.h"

namespace tarvelle::http {

using text::Bytes;
using text::Text;

namespace {

constexpr int kResponseHeaderBuffer = 5000;
const char* const kMethodTexts[] = {"GET", "POST", "HEAD"};

bool isHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

// The address libcurl is given for the host, port and object path the
// request is made of. Empty when the host cannot be a host name: anything
// else would let libcurl read user names, ports or paths out of it.
std::string requestAddress(bool secure, const Text& host, int port, const Text& path) {
    if (host.empty()) return {};
    for (const char c : host.view())
        if (!isHostCharacter(c)) return {};
    std::string address = secure ? "https://" : "http://";
    address += host.str();
    // Port 0 stands for the scheme's own port.
    if (port > 0 && port <= 65535) {
        address += ':';
        address += std::to_string(port);
    } else if (port != 0) {
        return {};
    }
    address += detail::escapeForUrl(path.view());
    return address;
}

// The header text's lines as libcurl takes them; a line without a value is
// written "Name;" so that it is sent rather than taken as a removal.
bool addHeaderLines(detail::Slist& list, const Text& headers) {
    bool hasExpect = false;
    for (const Text& line : text::SplitByDelimiter(headers, "\r\n")) {
        std::string l = line.str();
        const size_t colon = l.find(':');
        if (colon == std::string::npos) continue;
        if (l.find_first_not_of(' ', colon + 1) == std::string::npos) {
            l.resize(colon);
            l += ';';
        }
        if (text::LowerAscii(Text(l.substr(0, colon))) == "expect") hasExpect = true;
        if (!detail::append(list, l)) return false;
    }
    // libcurl would otherwise add "Expect: 100-continue" to larger bodies.
    return hasExpect || detail::append(list, "Expect:");
}

Text receivedCookiesOf(const Text& responseHeaders) {
    Text received;
    for (const Text& line : text::SplitByDelimiter(responseHeaders, "\r\n")) {
        if (text::FindSubtext(line, "Set-Cookie") == -1) continue;
        const Text value = text::FindSubtext(line, ";") != -1
                               ? text::ExtractBetween(line, "Set-Cookie:", ";")
                               : text::SubstituteText(line, "Set-Cookie:", "", 1, -1, false);
        received += text::TrimSpaces(value) + "; ";
    }
    return text::LeftOf(received, text::ByteLength(received) - 2);
}

}  // namespace

Text HeaderLineValue(const Text& text) {
    const int colon = text::FindSubtext(text, ":");
    if (colon == -1) return {};
    return text::TrimSpaces(text::RightOf(text, text::ByteLength(text) - colon));
}

Text RequestAgent(const Text& headers) {
    if (text::FindSubtext(headers, "User-Agent:", 1, true) == -1)
        return "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
    Text agent = text::TrimSpaces(text::ExtractBetween(headers, "User-Agent:", "\r\n"));
    if (!agent.empty()) return agent;
    // The line is the last one or its name is written in another case: take
    // that line's own value rather than whatever follows the text's first ":".
    const int at = text::FindSubtext(headers, "User-Agent:", 1, true);
    const Text line = text::RightOf(headers, text::ByteLength(headers) - at + 1);
    const int end = text::FindSubtext(line, "\r\n");
    return HeaderLineValue(end == -1 ? line : text::LeftOf(line, end - 1));
}

Bytes RequestPage(PageRequest& r) {
    const int method = r.method < 0 || r.method > 2 ? 0 : r.method;
    const bool secure = text::LowerAscii(text::LeftOf(r.url, 5)) == "https";
    const Text agent = RequestAgent(r.headers);

    const detail::Easy easy = detail::newEasy();
    if (!easy) return {};
    CURL* e = easy.get();

    const std::string address =
        requestAddress(secure, UrlHost(r.url), UrlPort(r.url), UrlPath(r.url));

    Text& headers = r.headers;
    if (headers.empty())
        headers = "Accept: */*";
    else if (text::FindSubtext(headers, "Accept:") == -1)
        headers += "\r\nAccept: */*";
    if (text::FindSubtext(headers, "Referer:") == -1) headers += "\r\nReferer: " + r.url;
    if (text::FindSubtext(headers, "Accept-Language:") == -1)
        headers += "\r\nAccept-Language: zh-cn";
    if (text::FindSubtext(headers, "Content-Type:") == -1)
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    if (r.cookies && !r.cookies->empty()) headers += "\r\nCookie: " + *r.cookies;

    if (method != 0 && r.postBytes.empty()) r.postBytes = text::BytesFromText(r.postText);

    detail::Transfer transfer;
    transfer.maxHeaderBlock = kResponseHeaderBuffer - 1;  // room for the terminating zero
    detail::Slist headerList;
    bool ok = !address.empty() && addHeaderLines(headerList, headers);
    if (ok) {
        detail::prepare(e, transfer, limits(),
                        // A secure request is not led back to plain HTTP.
                        secure ? "https" : "http,https");
        curl_easy_setopt(e, CURLOPT_URL, address.c_str());
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(e, CURLOPT_USERAGENT, agent.c_str());
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, headerList.get());
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, r.noRedirect ? 0L : 1L);
        if (!r.proxy.empty()) curl_easy_setopt(e, CURLOPT_PROXY, r.proxy.c_str());
        if (method == 2 && r.postBytes.empty()) {
            curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        } else if (method == 2) {
            // libcurl sends no body with its own HEAD: send this one as a POST
            // named HEAD, and read no body after the answer's headers.
            curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(r.postBytes.size()));
            curl_easy_setopt(e, CURLOPT_POSTFIELDS, r.postBytes.data());
            curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, kMethodTexts[2]);
            transfer.stopAfterHeaders = true;
            transfer.followsRedirects = !r.noRedirect;
        } else if (method == 1) {
            curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(r.postBytes.size()));
            curl_easy_setopt(e, CURLOPT_POSTFIELDS, r.postBytes.data());
        }
        ok = detail::perform(e, transfer, !r.cookies.has_value());
    }

    Bytes body;
    if (ok && !transfer.headerBlockTooLong) {
        r.responseHeaders = Text(transfer.headerBlock);
    } else {
        r.responseHeaders = Text(std::string(kResponseHeaderBuffer, ' '));
    }
    if (ok) body = std::move(transfer.body);
    r.responseHeaders =
        text::SubstituteText(r.responseHeaders, "Set-Cookie", "Set-Cookie", 1, -1, false);

    r.receivedCookies = receivedCookiesOf(r.responseHeaders);
    if (r.cookies) MergeCookies(*r.cookies, r.receivedCookies);
    return body;
}

}  // namespace tarvelle::http
