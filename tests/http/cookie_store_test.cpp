#include "http/cookie_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>

#include "http/read_url.h"
#include "raw_server.h"
#include "test_support.h"

namespace tarvelle::http {
namespace {

using ::testing::HasSubstr;
using testing::httpResponse;
using testing::HttpTest;
using ::testing::Not;
using testing::RawConnection;
using testing::RawServer;
using ::testing::UnorderedElementsAre;

class CookieStoreTest : public HttpTest {
protected:
    CookieStore& store = CookieStore::shared();
};

TEST_F(CookieStoreTest, SetReplaceRemoveAndClear) {
    const std::int64_t later = std::time(nullptr) + 3600;
    const StoredCookie session{.name = "sid", .value = "abc", .domain = "example.com"};
    const StoredCookie full{.name = "pref",
                            .value = "a=b c",
                            .domain = "example.com",
                            .path = "/app",
                            .hostOnly = false,
                            .secure = true,
                            .httpOnly = true,
                            .expires = later};
    store.set(session);
    store.set(full);
    EXPECT_THAT(store.all(), UnorderedElementsAre(session, full));

    // Same name, domain and path: replaced, also when only the domain matching differs.
    StoredCookie changed = full;
    changed.value = "new";
    changed.hostOnly = true;
    store.set(changed);
    EXPECT_THAT(store.all(), UnorderedElementsAre(session, changed));

    StoredCookie otherPath = session;
    otherPath.path = "/other";
    store.set(otherPath);
    EXPECT_EQ(store.all().size(), 3u);

    store.remove(StoredCookie{.name = "sid", .value = "", .domain = "example.com"});
    EXPECT_THAT(store.all(), UnorderedElementsAre(changed, otherPath));

    // The browser's way of writing a domain cookie.
    store.set({.name = "dotted", .value = "d", .domain = ".example.org"});
    StoredCookie dotted{.name = "dotted", .value = "d", .domain = "example.org"};
    dotted.hostOnly = false;
    EXPECT_THAT(store.all(), UnorderedElementsAre(changed, otherPath, dotted));
    store.remove({.name = "dotted", .value = "", .domain = ".example.org"});
    EXPECT_THAT(store.all(), UnorderedElementsAre(changed, otherPath));

    store.clear();
    EXPECT_TRUE(store.all().empty());
}

TEST_F(CookieStoreTest, RefusesWhatItCannotHoldAndHidesExpired) {
    store.set({.name = "tab", .value = "a\tb", .domain = "example.com"});
    store.set({.name = "line", .value = "a\r\nb", .domain = "example.com"});
    store.set({.name = "", .value = "v", .domain = "example.com"});
    store.set({.name = "nodomain", .value = "v", .domain = ""});
    store.set({.name = "old", .value = "v", .domain = "example.com", .expires = 1000});
    EXPECT_TRUE(store.all().empty());
}

TEST_F(CookieStoreTest, ReadsSendAndKeepCookies) {
    RawServer server([](RawConnection& c) {
        if (c.requestLine().starts_with("GET /login"))
            c.send(httpResponse("200 OK", "Set-Cookie: token=t1; Path=/\r\n", "in"));
        else if (c.requestLine().starts_with("GET /logout"))
            c.send(httpResponse("200 OK", "Set-Cookie: token=; Max-Age=0; Path=/\r\n", "out"));
        else
            c.send(httpResponse("200 OK", "", "page"));
    });
    store.set({.name = "browser", .value = "b1", .domain = "127.0.0.1"});
    store.set({.name = "elsewhere", .value = "e1", .domain = "127.0.0.1", .path = "/private"});

    std::vector<std::pair<StoredCookie, bool>> heard;
    store.setListener([&](const StoredCookie& c, bool removed) { heard.emplace_back(c, removed); });

    ReadUrlBytes(server.url("/login"));
    EXPECT_THAT(server.requests().back(), HasSubstr("\r\nCookie: browser=b1\r\n"));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].first.name, "token");
    EXPECT_EQ(heard[0].first.value, "t1");
    EXPECT_EQ(heard[0].first.domain, "127.0.0.1");
    EXPECT_FALSE(heard[0].second);

    ReadUrlBytes(server.url("/page"));
    EXPECT_THAT(server.requests().back(), HasSubstr("token=t1"));
    EXPECT_THAT(server.requests().back(), Not(HasSubstr("elsewhere")));
    EXPECT_EQ(heard.size(), 1u);

    ReadUrlBytes(server.url("/logout"));
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].first.name, "token");
    EXPECT_TRUE(heard[1].second);

    // Changes made through the interface are not echoed back.
    store.set({.name = "quiet", .value = "q", .domain = "127.0.0.1"});
    store.remove({.name = "browser", .value = "", .domain = "127.0.0.1"});
    EXPECT_EQ(heard.size(), 2u);

    ReadUrlBytes(server.url("/page"));
    EXPECT_THAT(server.requests().back(), HasSubstr("\r\nCookie: quiet=q\r\n"));
}

}  // namespace
}  // namespace tarvelle::http
