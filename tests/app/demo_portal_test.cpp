// The demo portal is a stand-in good enough for the tool's post action: its
// pages go through the article extraction the way real ones do.
#include "demo_portal.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include "app/portal.h"
#include "materials/materials.h"
#include "text/codepage.h"

namespace tarvelle {
namespace {

using text::Text;
using text::operator""_gbk;

class DemoPortalTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        portal = new demo::DemoPortal;
        ASSERT_TRUE(portal->start());
    }
    static void TearDownTestSuite() {
        delete portal;
        portal = nullptr;
    }

    static text::Bytes get(const Text& address) {
        const std::string url = address.str();
        const auto hostStart = url.find("://") + 3;
        const auto pathStart = url.find('/', hostStart);
        const std::string host = url.substr(hostStart, pathStart - hostStart);
        httplib::Client client("http://" + host);
        auto res = client.Get(url.substr(pathStart));
        return res ? text::Bytes(res->body) : text::Bytes();
    }

    materials::Hosts hosts() const {
        return app::MaterialHosts(app::ParseHostConfig(portal->configIni()));
    }

    static demo::DemoPortal* portal;
};

demo::DemoPortal* DemoPortalTest::portal = nullptr;

TEST_F(DemoPortalTest, PortalArticlePagesLeadToArticlesWithTitleCoverAndVideo) {
    struct {
        int aid;
        const char* title;
        const char* cover;
        const char* video;
    } cases[] = {
        {3001, "山坡上的春茶：一个采茶人的清晨", "/img/spring-tea.jpg",
         "http://v.qq.com/iframe/player.html?vid=k0031tarv7a"},
        {3002, "沿河而行的七个小站", "/img/river-notes.jpg?wx_fmt=jpeg&from=appmsg",
         "https://mp.weixin.qq.com/mp/readtemplate?t=pages/video_player_tmpl&action=mpvideo"
         "&auto=0&vid=wxv_2718281828459045235"},
        {3003, "把早晨还给自己：三件小事", "/img/quiet-morning.jpg?wx_fmt=jpeg&from=appmsg", ""},
        {3004, "灯笼街的最后一位扎灯师傅", "/img/lantern-street.jpg", ""},
    };
    std::map<std::string, text::Bytes> written;
    materials::Io io{get, [&written](const Text& path, const text::Bytes& bytes) {
                         written[path.str()] = bytes;
                         return true;
                     }};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.aid);
        const Text address =
            Text("http://" + portal->portalHost() + "/plus/view.php?aid=" + std::to_string(c.aid));
        materials::ArticleMaterials found;
        ASSERT_EQ(materials::ExtractFromAddress(address, "1.jpg", hosts(), io, found),
                  materials::Outcome::Extracted);
        EXPECT_EQ(found.articleUrl.str().rfind("http://" + portal->articleHost() + "/s/", 0), 0u);
        EXPECT_EQ(found.title, text::Utf8ToGbk(Text(c.title)));
        EXPECT_EQ(found.coverUrl, Text("http://" + portal->articleHost() + c.cover));
        EXPECT_EQ(found.videoUrl, Text(c.video));
        const std::string name =
            std::string(c.cover).substr(5, std::string(c.cover).find(".jpg") - 5);
        EXPECT_EQ(written["1.jpg"], demo::CoverJpeg(name));
    }
}

TEST_F(DemoPortalTest, ListsShowTheKeyAndTheVersionPageNamesTheVersion) {
    const Text base = Text("http://" + portal->portalHost());
    const std::string list = get(app::ListUrl(base, 3, "k&lt;1"));
    EXPECT_NE(list.find("7天热门"), std::string::npos);
    EXPECT_NE(list.find("id_guanli\">k</code>"), std::string::npos) << "the & ends the value";

    EXPECT_NE(get(app::VersionPageUrl(base)).find("<title>Tarvelle v1.3"), std::string::npos);
    portal->setVersionTitle("");
    EXPECT_EQ(get(app::VersionPageUrl(base)).find("<title>"), std::string::npos);
    portal->setVersionTitle("Tarvelle v1.3 正式版");

    for (int aid : {1629, app::kTutorialAid, app::kContactAid, app::kPromotionAid}) {
        EXPECT_NE(get(app::InfoPageUrl(base, aid)).find("<title>"), std::string::npos) << aid;
    }
}

}  // namespace
}  // namespace tarvelle
