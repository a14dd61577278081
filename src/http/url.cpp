#include "http/url.h"

#include "text/extract.h"
#include "text/primitives.h"

namespace tarvelle::http {

using text::Text;

namespace {

Text hostByScheme(Text s, bool mainDomainOnly) {
    if (text::RightOf(s, 1) != "/") s += "/";
    Text host;
    if (text::LeftOf(s, 8) == "https://") {
        host = text::ExtractBetween(s, "https://", "/");
    } else {
        if (text::FindSubtext(s, "http://") == -1) s = "http://" + s;
        host = text::ExtractBetween(s, "http://", "/");
    }
    if (mainDomainOnly) {
        const text::TextArray labels = text::SplitByDelimiter(host, ".");
        if (labels.size() >= 2) host = labels[labels.size() - 2] + "." + labels.back();
    }
    return host;
}

Text hostByDots(Text s, bool mainDomainOnly, int dotLevel) {
    s = text::SubstituteText(s, "http://");
    s = text::SubstituteText(s, "https://");
    if (const int slash = text::FindSubtext(s, "/"); slash != -1) s = text::LeftOf(s, slash - 1);

    const int length = text::ByteLength(s);
    int p = length;
    for (int i = 0; i < dotLevel && p != -1; ++i) p = text::FindLastSubtext(s, ".", p);
    const int q = p == -1 ? -1 : text::FindLastSubtext(s, ".", p);
    if (mainDomainOnly) return text::RightOf(s, length - q);
    if (q != -1) {
        if (const int r = text::FindLastSubtext(s, ".", q); r != -1)
            return text::RightOf(s, length - r);
    }
    return s;
}

}  // namespace

Text UrlHost(const Text& url, bool mainDomainOnly, bool keepPort, std::optional<int> dotLevel) {
    const Text lower = text::LowerAscii(url);
    Text host = dotLevel ? hostByDots(lower, mainDomainOnly, *dotLevel)
                         : hostByScheme(lower, mainDomainOnly);
    if (!keepPort) {
        if (const int colon = text::FindSubtext(host, ":"); colon != -1)
            host = text::LeftOf(host, colon - 1);
    }
    return host;
}

int UrlPort(const Text& url) {
    const Text host = UrlHost(url, false, true);
    if (text::FindSubtext(host, ":") != -1) {
        const int colon = text::FindLastSubtext(host, ":");
        return text::ParseLeadingInt(text::RightOf(host, text::ByteLength(host) - colon));
    }
    return text::LeftOf(text::LowerAscii(url), 5) == "https" ? 443 : 80;
}

Text UrlPath(const Text& url) {
    const Text host = UrlHost(url);
    const int at = text::FindSubtext(url, host, 1, true);
    const int slash = text::FindSubtext(url, "/", at, true);
    if (slash == -1) return "/";
    return text::RightOf(url, text::ByteLength(url) - slash + 1);
}

}  // namespace tarvelle::http
