#include "http/read_url.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>

#include "raw_server.h"
#include "test_support.h"

namespace tarvelle::http {
namespace {

using testing::httpResponse;
using testing::HttpTest;
using testing::RawConnection;
using testing::RawServer;

class ReadUrlBytesTest : public HttpTest {};

TEST_F(ReadUrlBytesTest, SendsAPlainHttp10GetWithoutTheFragment) {
    RawServer server([](RawConnection& c) { c.send(httpResponse("200 OK", "", "page body")); });
    EXPECT_EQ(ReadUrlBytes(server.url("/p/q.php?aid=7#top")), "page body");

    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              "GET /p/q.php?aid=7 HTTP/1.0\r\n"
              "Host: 127.0.0.1:" +
                  std::to_string(server.port()) +
                  "\r\n"
                  "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
                  "Accept: */*\r\n"
                  "\r\n");
}

TEST_F(ReadUrlBytesTest, ReturnsBodiesAsReceived) {
    const std::string binary("\x00\xff\xd8 jpeg\x00", 9);
    RawServer server([&](RawConnection& c) {
        if (c.requestLine().starts_with("GET /missing"))
            c.send(httpResponse("404 Not Found", "", "no such page"));
        else if (c.requestLine().starts_with("GET /empty"))
            c.send(httpResponse("200 OK", "", ""));
        else if (c.requestLine().starts_with("GET /chunked"))
            c.send(
                "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                "3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n");
        else
            c.send(httpResponse("200 OK", "Content-Type: image/jpeg\r\n", binary));
    });
    EXPECT_EQ(ReadUrlBytes(server.url("/missing")), "no such page");
    EXPECT_EQ(ReadUrlBytes(server.url("/empty")), "");
    EXPECT_EQ(ReadUrlBytes(server.url("/chunked")), "abcde");
    EXPECT_EQ(ReadUrlBytes(server.url("/1.jpg")), binary);
}

TEST_F(ReadUrlBytesTest, FollowsRedirectsAndIgnoresProxyVariables) {
    const std::string deadProxy = "http://127.0.0.1:" + std::to_string(testing::refusedPort());
    ::setenv("http_proxy", deadProxy.c_str(), 1);
    ::setenv("HTTPS_PROXY", deadProxy.c_str(), 1);
    ::setenv("ALL_PROXY", deadProxy.c_str(), 1);
    RawServer server([](RawConnection& c) {
        if (c.requestLine().starts_with("GET /old"))
            c.send(httpResponse("301 Moved", "Location: /new?x=1\r\n", "moved"));
        else
            c.send(httpResponse("200 OK", "", "new page"));
    });
    EXPECT_EQ(ReadUrlBytes(server.url("/old")), "new page");
    ::unsetenv("http_proxy");
    ::unsetenv("HTTPS_PROXY");
    ::unsetenv("ALL_PROXY");
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_THAT(server.requests()[1], ::testing::StartsWith("GET /new?x=1 HTTP/1.0\r\n"));
}

TEST_F(ReadUrlBytesTest, EscapesSpacesAndDoubleByteCharacters) {
    RawServer server([](RawConnection& c) { c.send(httpResponse("200 OK", "", "ok")); });
    EXPECT_EQ(ReadUrlBytes(server.url("/a b/\xd6\xd0?q=\xce\xc4")), "ok");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_THAT(server.requests()[0],
                ::testing::StartsWith("GET /a%20b/%D6%D0?q=%CE%C4 HTTP/1.0\r\n"));
}

TEST_F(ReadUrlBytesTest, ReadsHttpsWhenTheCertificateIsTrusted) {
    testing::TlsServer tls;
    Limits trusting = limits();
    trusting.caFile = testing::SelfSignedCertificate::get().certificate;
    setLimits(trusting);
    EXPECT_EQ(ReadUrlBytes(tls.url()), "secure body");
}

// Every one of these is a failed read: empty bytes, and soon.
TEST_F(ReadUrlBytesTest, HostileServersAndAddressesGiveEmptyBytes) {
    Limits small = limits();
    small.maxBodyBytes = 1000;
    setLimits(small);

    RawServer server([](RawConnection& c) {
        const std::string line = c.requestLine();
        if (line.starts_with("GET /silent")) {
            c.hold();
        } else if (line.starts_with("GET /trickle")) {
            c.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nab");
            c.hold();
        } else if (line.starts_with("GET /reset")) {
            c.send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(100, 'x'));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            c.reset();
        } else if (line.starts_with("GET /short")) {
            c.send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(100, 'x'));
        } else if (line.starts_with("GET /loop")) {
            c.send(httpResponse("302 Found", "Location: /loop\r\n", ""));
        } else if (line.starts_with("GET /passwd")) {
            c.send(httpResponse("302 Found", "Location: file:///etc/passwd\r\n", ""));
        } else if (line.starts_with("GET /ftp")) {
            c.send(httpResponse("302 Found", "Location: ftp://127.0.0.1/x\r\n", ""));
        } else if (line.starts_with("GET /big")) {
            c.send(httpResponse("200 OK", "", std::string(1001, 'b')));
        } else if (line.starts_with("GET /unsized")) {
            c.send("HTTP/1.0 200 OK\r\n\r\n" + std::string(5000, 'u'));
        } else {
            c.send(httpResponse("200 OK", "", std::string(1000, 'k')));
        }
    });
    const testing::TlsServer selfSigned;

    const std::string refused = "http://127.0.0.1:" + std::to_string(testing::refusedPort()) + "/";
    const std::string cases[] = {
        refused,
        server.url("/silent"),
        server.url("/trickle"),
        server.url("/reset"),
        server.url("/short"),
        server.url("/loop"),
        server.url("/passwd"),
        server.url("/ftp"),
        server.url("/big"),
        server.url("/unsized"),
        selfSigned.url(),
        "file:///etc/passwd",
        "FILE:///etc/passwd",
        "ftp://127.0.0.1:" + std::to_string(server.port()) + "/x",
        "gopher://127.0.0.1:" + std::to_string(server.port()) + "/x",
        "dict://127.0.0.1:" + std::to_string(server.port()) + "/x",
        "",
        "#only-a-fragment",
        "http://",
    };
    for (const std::string& address : cases) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ReadUrlBytes(address), "") << address;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6)) << address;
    }
    // The cap itself is not a failure.
    EXPECT_EQ(ReadUrlBytes(server.url("/fits")), std::string(1000, 'k'));
}

}  // namespace
}  // namespace tarvelle::http
