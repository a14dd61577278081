#include "text/extract.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/codepage.h"

namespace tarvelle::text {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ExtractBetween, Table) {
    struct Case {
        const char* name;
        Text source, start, end;
        bool caseInsensitive;
        Text expected;
    };
    const Case cases[] = {
        {"plain", "<title>Hi</title>", "<title>", "</title>", false, "Hi"},
        {"capital tags, case-sensitive", "<TITLE>Hi</TITLE>", "<title>", "</title>", false, ""},
        {"capital tags, folded", "<TITLE>Hi</TITLE>", "<title>", "</title>", true, "Hi"},
        {"only the first start marker counts", "[a [b]", "[", "]", false, "a [b"},
        {"first start marker unclosed", "<x> ... <y>z</y>", "<x>", "</x>", false, ""},
        {"markers adjacent", "#6#6#6#6#<", "#6#6#6#6", "#<", true, ""},
        {"start marker ends the source", "abc#6#6#6#6", "#6#6#6#6", "#<", true, ""},
        {"no start marker", "abc", "<", ">", false, ""},
        {"empty source", "", "<", ">", false, ""},
        {"placeholder for a quote", "var t = \"Title\";", "var t = #引号"_gbk, "#引号;"_gbk, false,
         "Title"},
        {"portal marker", "x #6#6#6#6http://mp.example/s?a=1#<y", "#6#6#6#6", "#<", true,
         "http://mp.example/s?a=1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractBetween(c.source, c.start, c.end, 1, c.caseInsensitive), c.expected)
            << c.name;
    }
    // A start position skips what stands before it.
    EXPECT_EQ(ExtractBetween("(a)(b)", "(", ")", 2), Text("b"));
    EXPECT_EQ(ExtractBetween("(a)(b)", "(", ")", -4), Text("a"));
}

TEST(ExtractAllBetween, TrimsSkipsEmptyAndStopsAtAnUnclosedMarker) {
    TextArray results{"old", "older"};
    const int n = ExtractAllBetween("[a][  b  ][][c", "[", "]", results);
    EXPECT_EQ(n, 2);
    EXPECT_THAT(results, ElementsAre("a", "b"));

    EXPECT_EQ(ExtractAllBetween("nothing here", "[", "]", results), 0);
    EXPECT_THAT(results, IsEmpty());
}

TEST(ExtractAllBetween, Options) {
    TextArray r;
    EXPECT_EQ(ExtractAllBetween("[][ ][x]", "[", "]", r, false, 0, "<", ">"), 3);
    EXPECT_THAT(r, ElementsAre("<>", "<>", "<x>"));

    ExtractAllBetween("[a][ b ]", "[", "]", r, false, 0, {}, {}, true, true);
    EXPECT_THAT(r, ElementsAre("[a]", "[b]"));

    // The limit is exclusive and counts everything that ends up in the hit.
    ExtractAllBetween("[ab][abc][a]", "[", "]", r, false, 3);
    EXPECT_THAT(r, ElementsAre("ab", "a"));
    ExtractAllBetween("[ab][a]", "[", "]", r, false, 3, {}, {}, true);
    EXPECT_THAT(r, ElementsAre("[a"));

    ExtractAllBetween("<P>a</p><p>b</P>", "<p>", "</p>", r, true);
    EXPECT_THAT(r, ElementsAre("a", "b"));

    ExtractAllBetween("[a][b]", "[", "]", r, false, 0, {}, {}, false, false, 2);
    EXPECT_THAT(r, ElementsAre("b"));

    // The placeholder is only ExtractBetween's.
    EXPECT_EQ(ExtractAllBetween("#引号a\""_gbk, "#引号"_gbk, "\"", r), 1);
}

TEST(ExtractAllBetween, TheEndMarkerIsSoughtFromJustAfterTheStartMarker) {
    // With "<" as start and ">" as end, "<<a>" holds one pair: the first "<"
    // and the ">", with the second "<" inside it.
    TextArray r;
    EXPECT_EQ(ExtractAllBetween("<<a>", "<", ">", r), 1);
    EXPECT_THAT(r, ElementsAre("<a"));
}

TEST(ExtractAllBetween, YieldsThreeTimesPerPairAndOnceMorePerHitUnderALimit) {
    int pumps = 0;
    SetEventPump([&] { ++pumps; });
    TextArray r;

    ExtractAllBetween("[a][][b][c", "[", "]", r);
    EXPECT_EQ(pumps, 9);  // three pairs; the unclosed one ends the loop unpumped

    pumps = 0;
    ExtractAllBetween("[a][][bcd]", "[", "]", r, false, 3);
    EXPECT_EQ(pumps, 3 * 3 + 2);  // "bcd" is dropped, but still pumped for

    SetEventPump(nullptr);
    pumps = 0;
    ExtractAllBetween("[a]", "[", "]", r);
    EXPECT_EQ(pumps, 0);
}

TEST(ExtractAllBetween, EmptyMarkersEnd) {
    TextArray r;
    EXPECT_EQ(ExtractAllBetween("a]b]", "", "]", r), 1);
    EXPECT_THAT(r, ElementsAre("a"));
    EXPECT_EQ(ExtractAllBetween("[a[b", "[", "", r, false, 0, "p"), 0);
    EXPECT_EQ(ExtractAllBetween("abc", "", "", r), 0);
    EXPECT_EQ(ExtractAllBetween("", "", "", r), 0);
}

TEST(ExtractAllBetween, HandlersRunningDuringAYieldSeeConsistentResults) {
    // The pump may run arbitrary handlers; here one reads the results array.
    TextArray r;
    std::vector<size_t> seen;
    SetEventPump([&] { seen.push_back(r.size()); });
    ExtractAllBetween("[a][b]", "[", "]", r);
    SetEventPump(nullptr);
    EXPECT_EQ(seen, (std::vector<size_t>{1, 1, 1, 2, 2, 2}));
}

}  // namespace
}  // namespace tarvelle::text
