#include "materials/materials.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "text/extract.h"

namespace tarvelle::materials {
namespace {

using text::operator""_gbk;

const Hosts kHosts{"portal.example", "mp.weixin.qq.com", "v.qq.com", "weishi.qq.com",
                   "weishi.qq.com"};

// An article page as pages were built before 2020: script variables in
// double quotes, a Tencent Video frame.
const char* const kOldArticle = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>旧版文章</title></head><body>
<script type="text/javascript">
    var msg_title = "春天的第一场雨";
    var msg_cdn_url = "http://img.example/cover-old.jpg";
</script>
<div id="js_content"><p>正文第一段。</p>
<iframe class="video_iframe" frameborder="0" data-src="https://v.qq.com/iframe/preview.html?vid=k0031abc&width=500&auto=0" allowfullscreen="true"></iframe>
<iframe src="https://v.qq.com/iframe/player.html?vid=second&x=1"></iframe>
</div></body></html>)";

// Today's markup: the title in single quotes with .html(false), og: meta
// tags with the content on the next line, a native WeChat video frame.
const char* const kNewArticle = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8">
<meta property="og:title"
    content="Today &amp; tomorrow: 新的一天" />
<meta property="og:image"
    content="https://img.example/cover-new.jpg?fmt=jpeg&amp;w=640" />
</head><body>
<script>
    var msg_title = 'Today &amp; tomorrow: 新的一天'.html(false);
</script>
<iframe class="video_iframe rich_pages" data-vidtype="2" data-mpvid="wxv_2718281828" data-src="https://mp.weixin.qq.com/mp/readtemplate?t=pages/video_player_tmpl&amp;action=mpvideo&amp;vid=wxv_2718281828" allowfullscreen></iframe>
</body></html>)";

// A stand-in for the network and the disk.
struct FakeWorld {
    std::map<std::string, Bytes> pages;
    std::vector<std::string> requested;
    std::map<std::string, Bytes> written;
    bool diskFull = false;

    Io io() {
        return {[this](const Text& address) {
                    requested.push_back(address.str());
                    auto it = pages.find(address.str());
                    return it == pages.end() ? Bytes() : it->second;
                },
                [this](const Text& path, const Bytes& bytes) {
                    if (diskFull) return false;
                    written[path.str()] = bytes;
                    return true;
                }};
    }
};

TEST(ResolveArticleUrl, AddressTests) {
    FakeWorld world;
    world.pages["http://www.portal.example/plus/view.php?aid=7"] =
        "<p>#6#6#6#6https://mp.weixin.qq.com/s/abc#<</p>";
    const struct {
        const char* address;
        std::optional<Text> expected;
    } cases[] = {
        {"", std::nullopt},
        {"http://news.example/a", std::nullopt},
        {"https://mp.weixin.qq.com/s/xyz#rd", Text("https://mp.weixin.qq.com/s/xyz#rd")},
        {"HTTPS://MP.WEIXIN.QQ.COM/s/xyz", Text("HTTPS://MP.WEIXIN.QQ.COM/s/xyz")},
        {"http://www.portal.example/plus/view.php?aid=7", Text("https://mp.weixin.qq.com/s/abc")},
        // The portal test comes first, even when the WeChat host is there too.
        {"http://www.PORTAL.example/plus/view.php?u=mp.weixin.qq.com", Text()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveArticleUrl(c.address, kHosts, world.io()), c.expected) << c.address;
    }
    // Only the two portal pages were read.
    EXPECT_EQ(world.requested.size(), 2u);
}

TEST(ResolveArticleUrl, EmptyHostsMatchNothing) {
    FakeWorld world;
    EXPECT_EQ(ResolveArticleUrl("http://a.example/", Hosts{}, world.io()), std::nullopt);
}

TEST(ExtractFromAddress, OldArticle) {
    FakeWorld world;
    world.pages["https://mp.weixin.qq.com/s/old"] = kOldArticle;
    world.pages["http://img.example/cover-old.jpg"] = Bytes("\xFF\xD8\0jpeg", 7);
    ArticleMaterials found;
    ASSERT_EQ(ExtractFromAddress("https://mp.weixin.qq.com/s/old", "/run/1.jpg", kHosts, world.io(),
                                 found),
              Outcome::Extracted);
    EXPECT_EQ(found.articleUrl, Text("https://mp.weixin.qq.com/s/old"));
    EXPECT_EQ(found.title, "春天的第一场雨"_gbk);
    EXPECT_EQ(found.coverUrl, Text("http://img.example/cover-old.jpg"));
    EXPECT_EQ(world.written["/run/1.jpg"], Bytes("\xFF\xD8\0jpeg", 7));
    // The first frame decides; the second is ignored.
    EXPECT_EQ(found.videoUrl, Text("http://v.qq.com/iframe/player.html?vid=k0031abc"));
}

TEST(ExtractFromAddress, TodaysArticleThroughThePortal) {
    FakeWorld world;
    world.pages["http://www.portal.example/plus/view.php?aid=9"] =
        "...#6#6#6#6https://mp.weixin.qq.com/s/new#<...";
    world.pages["https://mp.weixin.qq.com/s/new"] = kNewArticle;
    world.pages["https://img.example/cover-new.jpg?fmt=jpeg&w=640"] = "PNG";
    ArticleMaterials found;
    ASSERT_EQ(ExtractFromAddress("http://www.portal.example/plus/view.php?aid=9", "1.jpg", kHosts,
                                 world.io(), found),
              Outcome::Extracted);
    EXPECT_EQ(found.title, "Today &amp; tomorrow: 新的一天"_gbk);  // verbatim
    EXPECT_EQ(found.coverUrl, Text("https://img.example/cover-new.jpg?fmt=jpeg&w=640"));
    EXPECT_EQ(world.written["1.jpg"], "PNG");
    EXPECT_EQ(found.videoUrl,
              Text("https://mp.weixin.qq.com/mp/readtemplate?t=pages/video_player_tmpl"
                   "&action=mpvideo&vid=wxv_2718281828"));
}

TEST(ExtractFromAddress, MissingPiecesStillWriteTheCoverFile) {
    FakeWorld world;
    world.pages["http://www.portal.example/p"] = "a portal page without the markers";
    ArticleMaterials found;
    ASSERT_EQ(ExtractFromAddress("http://www.portal.example/p", "1.jpg", kHosts, world.io(), found),
              Outcome::Extracted);
    EXPECT_EQ(found.articleUrl, Text());
    EXPECT_EQ(found.title, Text());
    EXPECT_EQ(found.videoUrl, Text());
    ASSERT_TRUE(world.written.count("1.jpg"));
    EXPECT_EQ(world.written["1.jpg"], Bytes());
}

TEST(ExtractFromAddress, CoverNotWrittenKeepsTheTitleAndSkipsTheVideo) {
    FakeWorld world;
    world.diskFull = true;
    world.pages["https://mp.weixin.qq.com/s/old"] = kOldArticle;
    ArticleMaterials found{"stale", "stale", "stale", "stale"};
    EXPECT_EQ(
        ExtractFromAddress("https://mp.weixin.qq.com/s/old", "1.jpg", kHosts, world.io(), found),
        Outcome::CoverNotWritten);
    EXPECT_EQ(found.title, "春天的第一场雨"_gbk);
    EXPECT_EQ(found.videoUrl, Text());

    EXPECT_EQ(ExtractFromAddress("ftp://elsewhere", "1.jpg", kHosts, world.io(), found),
              Outcome::NotAnArticle);
    EXPECT_EQ(found.title, Text());
}

TEST(ArticleTitleOf, FallbacksAndConversion) {
    const struct {
        const char* name;
        const char* utf8Page;
        Text expected;
    } cases[] = {
        {"double quotes win", "var msg_title = \"A\";var msg_title = 'B'.html(false);", "A"},
        {"marker case folded", "VAR MSG_TITLE = \"A\";", "A"},
        {"escapes kept", R"(var msg_title = "say \"hi\" &quot;x&quot;";)",
         R"(say \"hi\" &quot;x&quot;)"},
        {"single quotes", "var msg_title = 'B'.html(false);", "B"},
        {"og:title last", "<meta property=\"og:title\" content=\"C\">", "C"},
        {"content before property", "<meta content=\"D\" property=\"og:title\"/>", "D"},
        {"content on the next line", "<meta property=\"og:title\"\n  content=\"E\" />", "E"},
        {"another tag's content", "<meta name=\"d\" content=\"X\"><p>property=\"og:title\"</p>",
         ""},
        {"a longer attribute name", "<meta property=\"og:title\" data-content=\"X\" content=\"Y\">",
         "Y"},
        {"unclosed attribute", "<meta property=\"og:title\" content=\"Z>", ""},
        {"outside code page 936", "var msg_title = \"a\u0E01b\";", "a?b"},
        {"nothing", "<title>not this</title>", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArticleTitleOf(text::Utf8ToGbk(c.utf8Page)), c.expected) << c.name;
    }
}

TEST(ExtractVideoLink, Table) {
    const struct {
        const char* name;
        Text page;
        Text expected;
    } cases[] = {
        {"no frame", "<p>no video</p>", ""},
        {"frame never closed", "<iframe src=\"x?vid=a&b\">", ""},
        {"capital tag not recognised", "<IFRAME src=\"x?vid=a&b\"></IFRAME>", ""},
        {"player", "<iframe src=\"https://v.qq.com/x?vid=abc&w=1&h=2\"></iframe>",
         "http://v.qq.com/iframe/player.html?vid=abc"},
        {"no identifier", "<iframe src=\"https://map.example/m\"></iframe>",
         "http://v.qq.com/iframe/player.html?vid="},
        {"identifier without &", "<iframe src=\"https://v.qq.com/x?vid=abc\"></iframe>",
         "http://v.qq.com/iframe/player.html?vid="},
        {"weishi, any case", "<iframe src=\"https://WeiShi.QQ.com/e?msgid=77&x\"></iframe>",
         "http://weishi.qq.com/t/77"},
        {"first frame decides",
         "<iframe src=\"https://audio.example/\"></iframe><iframe src=\"a?vid=v1&\"></iframe>",
         "http://v.qq.com/iframe/player.html?vid="},
        {"native video",
         "<iframe data-mpvid=\"wxv_1\" data-src=\"https://mp/p?a=1&amp;b=2\"></iframe>",
         "https://mp/p?a=1&b=2"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtractVideoLink(c.page, kHosts), c.expected) << c.name;
}

TEST(ExtractVideoLink, YieldsWhileCollectingFrames) {
    int pumps = 0;
    text::SetEventPump([&] { ++pumps; });
    ExtractVideoLink("<iframe a></iframe><iframe b></iframe>", kHosts);
    text::SetEventPump(nullptr);
    EXPECT_EQ(pumps, 6);
}

}  // namespace
}  // namespace tarvelle::materials
