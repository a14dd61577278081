// Input: one byte of options, then two texts separated by a zero byte. The
// address routines read the first text; the merge takes both as cookie lists.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "http/cookies.h"
#include "http/url.h"
#include "text/primitives.h"

namespace {

using tarvelle::text::Text;

void check(bool condition) {
    if (!condition) std::abort();
}

bool isAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

void checkAddress(const Text& url, std::uint8_t options) {
    const bool mainDomainOnly = options & 1;
    const bool keepPort = options & 2;
    std::optional<int> dotLevel;
    if (options & 4) dotLevel = (options >> 3) - 8;

    const Text host = tarvelle::http::UrlHost(url, mainDomainOnly, keepPort, dotLevel);
    const Text path = tarvelle::http::UrlPath(url);
    const int port = tarvelle::http::UrlPort(url);
    static_cast<void>(port);

    check(!path.empty() && path.view().front() == '/');
    if (isAscii(url.view())) {
        for (const char c : host.view()) check(c < 'A' || c > 'Z');
        if (!keepPort) check(host.view().find(':') == std::string_view::npos);
        check(host.size() <= url.size() + 1);
    }
}

void checkMerge(const Text& held, const Text& received) {
    Text current = held;
    Text incoming = received;
    const Text merged = tarvelle::http::MergeCookies(current, incoming);
    check(merged == current);
    if (!isAscii(held.view()) || !isAscii(received.view())) return;

    check(incoming.view().find(' ') == std::string_view::npos);
    const tarvelle::text::TextArray entries = tarvelle::text::SplitByDelimiter(merged, "; ");
    for (size_t i = 0; i < entries.size(); ++i) {
        check(tarvelle::text::RightOf(entries[i], 8) != "=deleted");
        check(entries[i].view().find(' ') == std::string_view::npos);
        for (size_t j = 0; j < i; ++j) check(!(entries[i] == entries[j]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t zero = rest.find('\0');
    const Text first(rest.substr(0, zero));
    const Text second(zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1));

    checkAddress(first, options);
    checkMerge(first, second);
    return 0;
}
