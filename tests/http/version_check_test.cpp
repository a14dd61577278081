#include "http/version_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "raw_server.h"
#include "test_support.h"

namespace tarvelle::http {
namespace {

using testing::httpResponse;
using testing::HttpTest;
using testing::RawConnection;
using testing::RawServer;

class CheckForNewVersionTest : public HttpTest {};

TEST_F(CheckForNewVersionTest, NoticeOnlyWhenATitleLacksTheTag) {
    struct Case {
        const char* status;
        std::string page;
        bool notice;
    };
    const Case cases[] = {
        {"200 OK", "<html><title>Tarvelle v1.3</title></html>", false},
        {"200 OK", "<title>Tarvelle V1.3</title>", true},
        {"200 OK", "<title>Tarvelle v1.31 released</title>", false},
        {"200 OK", "<TITLE>Tarvelle v1.3</Title>", false},
        {"200 OK", "<TITLE>Tarvelle v1.4</TITLE>", true},
        {"200 OK", "<title></title>", true},
        {"200 OK", "<title>Tarvelle v1.4", false},
        {"200 OK", "no title at all", false},
        {"200 OK", "", false},
        {"200 OK", std::string("<p>\0</p><title>Tarvelle v1.4</title>", 36), false},
        {"200 OK", "<title>x</title><title>v1.3</title>", true},
        {"404 Not Found", "<title>404 Not Found</title>", false},
        {"500 Server Error", "internal error", false},
    };
    for (const Case& c : cases) {
        RawServer server(
            [&](RawConnection& conn) { conn.send(httpResponse(c.status, "", c.page)); });
        EXPECT_EQ(CheckForNewVersion(server.url(""), "v1.3"), c.notice) << c.page;
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_THAT(server.requests()[0],
                    ::testing::StartsWith("GET /plus/view.php?aid=1602 HTTP/1.1\r\n"));
    }
}

TEST_F(CheckForNewVersionTest, UnreachablePortalShowsNothing) {
    const std::string base = "http://127.0.0.1:" + std::to_string(testing::refusedPort());
    EXPECT_FALSE(CheckForNewVersion(base, "v1.3"));
    RawServer silent([](RawConnection& c) { c.hold(); });
    EXPECT_FALSE(CheckForNewVersion(silent.url(""), "v1.3"));
}

}  // namespace
}  // namespace tarvelle::http
