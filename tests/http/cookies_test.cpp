#include "http/cookies.h"

#include <gtest/gtest.h>

namespace tarvelle::http {
namespace {

TEST(MergeCookies, MergesAndWritesBothVariablesBack) {
    struct Case {
        const char* held;
        const char* received;
        const char* merged;
        const char* receivedAfter;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"a=1; b=2", "b=3", "b=3; a=1", "b=3"},
        {"sid=x; u=1", "sid=deleted", "u=1", "sid=deleted"},
        // A deletion marker held without a received entry of its name goes too.
        {"sid=deleted; u=1", "v=2", "v=2; u=1", "v=2"},
        // The same name received twice: both stay; exact repeats become one.
        {"", "a=1;a=2", "a=1; a=2", "a=1;a=2"},
        {"", "a=1; a=1", "a=1", "a=1;a=1"},
        {"a=hello world", "", "a=helloworld", ""},
        // An entry without "=" is a name of its own.
        {"flag; a=1", "b=2", "b=2; flag; a=1", "b=2"},
        {"flag", "flag", "flag", "flag"},
        // An empty piece in the held list stands as an empty entry...
        {"a=1;;b=2", "c=3", "c=3; a=1; ; b=2", "c=3"},
        // ...unless an entry with an empty name was received.
        {"a=1;;b=2", "=x", "=x; a=1; b=2", "=x"},
        {"a=1;", "b=2;", "b=2; a=1", "b=2;"},
        {"a=DELETED", "", "a=DELETED", ""},
        // Only the entry "=deleted" itself is a marker among short ones.
        {"=deleted; deleted; x", "", "deleted; x", ""},
        // Of several held entries of one name only the first is kept.
        {"a=1; a=2", "", "a=1", ""},
        {"a=1",
         "\xa1\xa1"
         "b=2 ; c = 3",
         "b=2; c=3; a=1", "b=2;c=3"},
    };
    for (const Case& c : cases) {
        text::Text current = c.held;
        text::Text received = c.received;
        const text::Text result = MergeCookies(current, received);
        EXPECT_EQ(result.str(), c.merged) << c.held << " + " << c.received;
        EXPECT_EQ(current.str(), c.merged) << c.held << " + " << c.received;
        EXPECT_EQ(received.str(), c.receivedAfter) << c.held << " + " << c.received;
    }
}

TEST(CookieHelpers, NamesIndexesAndDistinctPieces) {
    EXPECT_EQ(CookieName(" sid = x=y").str(), "sid");
    EXPECT_EQ(CookieName(" flag ").str(), "flag");
    EXPECT_EQ(CookieName("=v").str(), "");

    const text::TextArray list = {"a=1", "B=2", "c"};
    EXPECT_TRUE(HasCookieName(list, "c"));
    EXPECT_FALSE(HasCookieName(list, "b"));
    EXPECT_FALSE(HasCookieName({}, ""));

    EXPECT_EQ(IndexOfText(list, "B=2"), 2);
    EXPECT_EQ(IndexOfText(list, "b=2"), -1);
    EXPECT_EQ(IndexOfText({}, ""), -1);

    EXPECT_EQ(JoinDistinct("a; b; a; c; b", "; ").str(), "a; b; c");
    EXPECT_EQ(JoinDistinct("x,,y,,", ",").str(), "x,,y");
    EXPECT_EQ(JoinDistinct("", "; ").str(), "");
}

}  // namespace
}  // namespace tarvelle::http
