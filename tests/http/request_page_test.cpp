#include "http/request_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "http/cookie_store.h"
#include "raw_server.h"
#include "test_support.h"
#include "text/primitives.h"

namespace tarvelle::http {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::httpResponse;
using testing::HttpTest;
using testing::RawConnection;
using testing::RawServer;
using ::testing::StartsWith;

const char* const kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
const std::string kNoHeaders(5000, ' ');

// The header lines of a raw request, without the request line and the body.
std::vector<std::string> headerLines(const std::string& request) {
    std::vector<std::string> lines;
    const std::string head = request.substr(0, request.find("\r\n\r\n"));
    std::istringstream in(head);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        if (line.ends_with('\r')) line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

long countOf(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& l) { return l.starts_with(prefix); });
}

std::string bodyOf(const std::string& request) {
    return request.substr(request.find("\r\n\r\n") + 4);
}

class RequestPageTest : public HttpTest {};

TEST_F(RequestPageTest, DefaultsSendTheHeaderTextAsBuilt) {
    const std::string answer =
        "HTTP/1.1 200 OK\r\nServer: loop\r\nContent-Length: 4\r\nConnection: close\r\n\r\nbody";
    RawServer server([&](RawConnection& c) { c.send(answer); });
    PageRequest r;
    r.url = server.url("/plus/view.php?aid=1602");
    EXPECT_EQ(RequestPage(r), "body");

    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              "GET /plus/view.php?aid=1602 HTTP/1.1\r\n"
              "Host: " +
                  host +
                  "\r\n"
                  "User-Agent: " +
                  kDefaultAgent +
                  "\r\n"
                  "Accept: */*\r\n"
                  "Referer: http://" +
                  host +
                  "/plus/view.php?aid=1602\r\n"
                  "Accept-Language: zh-cn\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "\r\n");
    EXPECT_EQ(r.headers.str(), "Accept: */*\r\nReferer: http://" + host +
                                   "/plus/view.php?aid=1602\r\nAccept-Language: zh-cn\r\n"
                                   "Content-Type: application/x-www-form-urlencoded");
    EXPECT_EQ(r.responseHeaders.str(), answer.substr(0, answer.size() - 4));
    EXPECT_EQ(r.receivedCookies.str(), "");
    EXPECT_EQ(r.postBytes, "");
}

TEST_F(RequestPageTest, MethodsAndBodies) {
    RawServer server([](RawConnection& c) {
        // A HEAD answer announces a body it does not send.
        if (c.requestLine().starts_with("HEAD"))
            c.send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n");
        else
            c.send(httpResponse("200 OK", "", "done"));
    });
    const std::string big(3000, 'z');
    struct Case {
        int method;
        const char* postText;
        std::string postBytes;
        const char* requestLineStart;
        std::string sentBody;
        std::string postBytesAfter;
    };
    const Case cases[] = {
        {0, "ignored", "ignored too", "GET /", "", "ignored too"},
        {7, "ignored", "", "GET /", "", ""},
        {-1, "ignored", "", "GET /", "", ""},
        {1, "a=1&b=2", "", "POST /", "a=1&b=2", "a=1&b=2"},
        {1, "text", std::string("by\0tes", 6), "POST /", std::string("by\0tes", 6),
         std::string("by\0tes", 6)},
        {1, "", "", "POST /", "", ""},
        {1, "", big, "POST /", big, big},
        {2, "q=1", "", "HEAD /", "q=1", "q=1"},
        {2, "", "", "HEAD /", "", ""},
    };
    for (const Case& c : cases) {
        const size_t before = server.requests().size();
        PageRequest r;
        r.url = server.url("/form");
        r.method = c.method;
        r.postText = c.postText;
        r.postBytes = c.postBytes;
        const text::Bytes body = RequestPage(r);
        EXPECT_EQ(body, c.method == 2 ? "" : "done") << c.method;
        ASSERT_EQ(server.requests().size(), before + 1) << c.method;
        const std::string sent = server.requests().back();
        EXPECT_THAT(sent, StartsWith(c.requestLineStart)) << c.method;
        EXPECT_EQ(bodyOf(sent), c.sentBody) << c.method;
        EXPECT_EQ(r.postBytes, c.postBytesAfter) << c.method;
        const auto lines = headerLines(sent);
        EXPECT_EQ(countOf(lines, "Expect:"), 0) << c.method;
        EXPECT_EQ(countOf(lines, "Content-Type:"), 1) << c.method;
        if (!c.sentBody.empty()) {
            EXPECT_EQ(countOf(lines, "Content-Length: " + std::to_string(c.sentBody.size())), 1);
        }
    }
}

TEST_F(RequestPageTest, CallerHeaderLinesAreKeptAndNotDuplicated) {
    RawServer server([](RawConnection& c) { c.send(httpResponse("200 OK", "", "")); });
    struct Case {
        const char* headers;
        std::optional<const char*> cookies;
        std::vector<std::string> sentLines;  // without Host
    };
    const Case cases[] = {
        {"Accept: text/html\r\nReferer: http://r/\r\nAccept-Language: en\r\n"
         "Content-Type: text/plain",
         "a=1; b=2",
         {"User-Agent: " + std::string(kDefaultAgent), "Accept: text/html", "Referer: http://r/",
          "Accept-Language: en", "Content-Type: text/plain", "Cookie: a=1; b=2"}},
        // A caller's own Cookie line is not looked for: two lines go out.
        {"Accept: */*\r\nReferer: x\r\nAccept-Language: x\r\nContent-Type: x\r\nCookie: mine=1",
         "a=1",
         {"User-Agent: " + std::string(kDefaultAgent), "Accept: */*", "Referer: x",
          "Accept-Language: x", "Content-Type: x", "Cookie: mine=1", "Cookie: a=1"}},
        // The caller's agent line, in whatever case, replaces the default one.
        {"user-agent: Tool/2",
         std::nullopt,
         {"user-agent: Tool/2", "Accept: */*", "Referer: URL", "Accept-Language: zh-cn",
          "Content-Type: application/x-www-form-urlencoded"}},
        // An empty value is sent as an empty header, not dropped.
        {"X-Empty:\r\nAccept: */*",
         std::nullopt,
         {"User-Agent: " + std::string(kDefaultAgent), "X-Empty:", "Accept: */*", "Referer: URL",
          "Accept-Language: zh-cn", "Content-Type: application/x-www-form-urlencoded"}},
    };
    for (const Case& c : cases) {
        const size_t before = server.requests().size();
        PageRequest r;
        r.url = server.url("/h");
        r.headers = c.headers;
        if (c.cookies) r.cookies = *c.cookies;
        RequestPage(r);
        ASSERT_EQ(server.requests().size(), before + 1);
        std::vector<std::string> lines = headerLines(server.requests().back());
        std::erase_if(lines, [](const std::string& l) { return l.starts_with("Host:"); });
        std::vector<std::string> expected = c.sentLines;
        for (std::string& l : expected)
            if (l == "Referer: URL") l = "Referer: " + server.url("/h");
        std::sort(lines.begin(), lines.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(lines, expected) << c.headers;
    }
}

TEST(RequestAgent, PicksTheAgentFromTheHeaderText) {
    const std::pair<const char*, const char*> cases[] = {
        {"", kDefaultAgent},
        {"Accept: */*", kDefaultAgent},
        {"User-Agent:  Tool/1 \r\nAccept: */*", "Tool/1"},
        {"user-agent: Tool/2", "Tool/2"},
        {"User-Agent: Tool/3", "Tool/3"},
        {"Accept: */*\r\nUser-Agent: Tool/4", "Tool/4"},
        {"Accept: */*\r\nUSER-AGENT: Tool/5\r\nReferer: r", "Tool/5"},
    };
    for (const auto& [headers, agent] : cases)
        EXPECT_EQ(RequestAgent(headers).str(), agent) << headers;
}

TEST(HeaderLineValue, TextAfterTheFirstColonTrimmed) {
    EXPECT_EQ(HeaderLineValue("User-Agent:  a:b  ").str(), "a:b");
    EXPECT_EQ(HeaderLineValue("\xa1\xa1x:\xa1\xa1 v \xa1\xa1").str(), "v");
    EXPECT_EQ(HeaderLineValue("no colon").str(), "");
    EXPECT_EQ(HeaderLineValue("Empty:").str(), "");
}

TEST_F(RequestPageTest, ReceivedCookiesAndTheMerge) {
    RawServer server([](RawConnection& c) {
        c.send(httpResponse("200 OK",
                            "Set-Cookie: a=1; Path=/; HttpOnly\r\n"
                            "SET-COOKIE: b=2\r\n"
                            "set-cookie: gone=deleted; Max-Age=0\r\n",
                            "ok"));
    });
    PageRequest plain;
    plain.url = server.url("/");
    EXPECT_EQ(RequestPage(plain), "ok");
    EXPECT_EQ(plain.receivedCookies.str(), "a=1; b=2; gone=deleted");
    EXPECT_THAT(plain.responseHeaders.str(), HasSubstr("\r\nSet-Cookie: a=1; Path=/; HttpOnly\r\n"
                                                       "Set-Cookie: b=2\r\n"
                                                       "Set-Cookie: gone=deleted; Max-Age=0\r\n"));
    EXPECT_FALSE(plain.cookies.has_value());

    PageRequest own;
    own.url = server.url("/");
    own.cookies = "gone=1; b=old; c=3";
    RequestPage(own);
    EXPECT_EQ(own.cookies->str(), "a=1; b=2; c=3");
    EXPECT_EQ(own.receivedCookies.str(), "a=1;b=2;gone=deleted");
    EXPECT_THAT(server.requests().back(), HasSubstr("\r\nCookie: gone=1; b=old; c=3\r\n"));

    PageRequest empty;
    empty.url = server.url("/");
    empty.cookies = "";
    RequestPage(empty);
    EXPECT_EQ(empty.cookies->str(), "a=1; b=2");
    EXPECT_THAT(server.requests().back(), ::testing::Not(HasSubstr("Cookie:")));
}

TEST_F(RequestPageTest, OwnCookiesKeepTheSharedStoreOutOfTheRequest) {
    CookieStore::shared().set({.name = "held", .value = "1", .domain = "127.0.0.1"});
    RawServer server([](RawConnection& c) {
        c.send(httpResponse("200 OK", "Set-Cookie: fresh=2; Path=/\r\n", "ok"));
    });

    PageRequest own;
    own.url = server.url("/");
    own.cookies = "";
    RequestPage(own);
    EXPECT_THAT(server.requests().back(), ::testing::Not(HasSubstr("held=1")));
    ASSERT_EQ(CookieStore::shared().all().size(), 1u);

    PageRequest shared;
    shared.url = server.url("/");
    RequestPage(shared);
    EXPECT_THAT(server.requests().back(), HasSubstr("\r\nCookie: held=1\r\n"));
    EXPECT_EQ(CookieStore::shared().all().size(), 2u);
}

// The header block must fit 5000 bytes with a terminating zero.
TEST_F(RequestPageTest, ResponseHeadersOverTheBufferAreNotDelivered) {
    RawServer server([](RawConnection& c) {
        const int blockSize = std::stoi(c.requestLine().substr(5));
        std::string head =
            "HTTP/1.1 200 OK\r\nSet-Cookie: k=v\r\nConnection: close\r\n"
            "Content-Length: 4\r\nX-Fill: ";
        head += std::string(static_cast<size_t>(blockSize) - head.size() - 4, 'f');
        head += "\r\n\r\n";
        c.send(head + "body");
    });
    for (const int size : {4999, 5000, 70000}) {
        PageRequest r;
        r.url = server.url("/" + std::to_string(size));
        EXPECT_EQ(RequestPage(r), "body") << size;
        if (size < 5000) {
            EXPECT_EQ(r.responseHeaders.size(), size);
            EXPECT_EQ(r.receivedCookies.str(), "k=v");
        } else {
            EXPECT_EQ(r.responseHeaders.str(), kNoHeaders) << size;
            EXPECT_EQ(r.receivedCookies.str(), "") << size;
        }
    }
}

TEST_F(RequestPageTest, RedirectsFollowedOrHandedBack) {
    RawServer server([](RawConnection& c) {
        if (c.requestLine().starts_with("GET /from"))
            c.send(httpResponse("302 Found", "Location: /to\r\nSet-Cookie: r=1\r\n", "moved"));
        else
            c.send(httpResponse("200 OK", "Set-Cookie: t=2\r\n", "target"));
    });
    PageRequest followed;
    followed.url = server.url("/from");
    followed.cookies = "";
    EXPECT_EQ(RequestPage(followed), "target");
    EXPECT_THAT(followed.responseHeaders.str(), StartsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(followed.receivedCookies.str(), "t=2");

    PageRequest kept;
    kept.url = server.url("/from");
    kept.noRedirect = true;
    EXPECT_EQ(RequestPage(kept), "moved");
    EXPECT_THAT(kept.responseHeaders.str(), StartsWith("HTTP/1.1 302 Found\r\n"));
    EXPECT_EQ(kept.receivedCookies.str(), "r=1");
}

TEST_F(RequestPageTest, PlainToSecureRedirectFollowedButNotBack) {
    RawServer plain([](RawConnection& c) { c.send(httpResponse("200 OK", "", "plain page")); });
    testing::TlsServer tls(plain.url("/"));
    RawServer toTls([&](RawConnection& c) {
        c.send(httpResponse("301 Moved", "Location: " + tls.url("/") + "\r\n", ""));
    });
    Limits trusting = limits();
    trusting.caFile = testing::SelfSignedCertificate::get().certificate;
    setLimits(trusting);

    PageRequest up;
    up.url = toTls.url("/");
    EXPECT_EQ(RequestPage(up), "secure body");

    PageRequest down;
    down.url = tls.url("/plain");
    EXPECT_EQ(RequestPage(down), "");
    EXPECT_TRUE(plain.requests().empty());
}

TEST_F(RequestPageTest, SelfSignedCertificateFails) {
    testing::TlsServer tls;
    PageRequest r;
    r.url = tls.url("/");
    EXPECT_EQ(RequestPage(r), "");
    EXPECT_EQ(r.responseHeaders.str(), kNoHeaders);
}

// Failures leave the caller's variables as a failed send does.
TEST_F(RequestPageTest, FailuresGiveEmptyBytesAndFilledVariables) {
    RawServer server([](RawConnection& c) {
        if (c.requestLine().starts_with("POST /silent")) c.hold();
        if (c.requestLine().starts_with("POST /reset")) {
            c.send("HTTP/1.1 200 OK\r\nSet-Cookie: s=1\r\nContent-Length: 500\r\n\r\npartial");
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            c.reset();
        }
        if (c.requestLine().starts_with("POST /loop"))
            c.send(httpResponse("302 Found", "Location: /loop\r\n", ""));
        if (c.requestLine().starts_with("POST /passwd"))
            c.send(httpResponse("302 Found", "Location: file:///etc/passwd\r\n", ""));
    });
    const std::string refused = "http://127.0.0.1:" + std::to_string(testing::refusedPort());
    const std::string cases[] = {
        refused + "/x",
        server.url("/silent"),
        server.url("/reset"),
        server.url("/loop"),
        server.url("/passwd"),
        "",
        "http://user@127.0.0.1:" + std::to_string(server.port()) + "/",
        "http://127.0.0.1:99999/",
    };
    for (const std::string& url : cases) {
        PageRequest r;
        r.url = url;
        r.method = 1;
        r.postText = "p=1";
        r.cookies = "a=1; a=1; x=deleted";
        r.headers = "X-Mine: 1";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RequestPage(r), "") << url;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6)) << url;
        EXPECT_EQ(r.responseHeaders.str(), kNoHeaders) << url;
        EXPECT_EQ(r.receivedCookies.str(), "") << url;
        EXPECT_EQ(r.cookies->str(), "a=1") << url;
        EXPECT_EQ(r.postBytes, "p=1") << url;
        EXPECT_THAT(r.headers.str(), StartsWith("X-Mine: 1\r\nAccept: */*\r\nReferer: " + url));
    }
}

TEST_F(RequestPageTest, ProxyGetsTheRequestAndTheAgent) {
    RawServer proxy([](RawConnection& c) {
        if (c.requestLine().starts_with("CONNECT"))
            c.send("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
        else
            c.send(httpResponse("200 OK", "", "via proxy"));
    });
    const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy.port());

    PageRequest plain;
    plain.url = "http://portal.invalid/plus/view.php?aid=1";
    plain.proxy = proxyAddress;
    EXPECT_EQ(RequestPage(plain), "via proxy");
    ASSERT_EQ(proxy.requests().size(), 1u);
    EXPECT_THAT(proxy.requests()[0],
                StartsWith("GET http://portal.invalid/plus/view.php?aid=1 HTTP/1.1\r\n"));

    PageRequest secure;
    secure.url = "https://portal.invalid/x";
    secure.headers = "User-Agent: Tool/9";
    secure.proxy = proxyAddress;
    EXPECT_EQ(RequestPage(secure), "");
    ASSERT_EQ(proxy.requests().size(), 2u);
    EXPECT_THAT(proxy.requests()[1], StartsWith("CONNECT portal.invalid:443 HTTP/1.1\r\n"));
    EXPECT_THAT(proxy.requests()[1], HasSubstr("\r\nUser-Agent: Tool/9\r\n"));
}

}  // namespace
}  // namespace tarvelle::http
