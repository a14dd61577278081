#include "app/portal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/globals.h"
#include "platform/files.h"

namespace tarvelle::app {
namespace {

using text::Text;

struct ConfigCase {
    const char* name;
    const char* ini;
    const char* portal;
    const char* wechat;
    const char* videoPlayer;
    const char* weishiEmbed;
    const char* weishiPage;
};

TEST(HostConfig, ParsesTheHostsGroupAndKeepsDefaultsForTheRest) {
    const ConfigCase cases[] = {
        {"empty file", "", "www.morisk.example", "mp.weixin.qq.com", "v.qq.com", "weishi.qq.com",
         "weishi.qq.com"},
        {"all keys",
         "[hosts]\nportal=127.0.0.1:8001\nwechat=127.0.0.1:8002\nvideo_player=vp\n"
         "weishi_embed=we\nweishi_page=wp\n",
         "127.0.0.1:8001", "127.0.0.1:8002", "vp", "we", "wp"},
        {"spaces, CRLF, comments, case of group and key",
         "; hosts of the demo\r\n[ Hosts ]\r\n  Portal =  www.example.org  \r\n# wechat=x\r\n",
         "www.example.org", "mp.weixin.qq.com", "v.qq.com", "weishi.qq.com", "weishi.qq.com"},
        {"comments after values",
         "[hosts]\nportal = p.example   ; the portal\nwechat=w.example #x\n", "p.example",
         "w.example", "v.qq.com", "weishi.qq.com", "weishi.qq.com"},
        {"keys outside the group are ignored", "portal=a\n[other]\nportal=b\n[hosts]\nwechat=c\n",
         "www.morisk.example", "c", "v.qq.com", "weishi.qq.com", "weishi.qq.com"},
        {"empty value keeps the default", "[hosts]\nportal=\nwechat=\"quoted.example\"\n",
         "www.morisk.example", "quoted.example", "v.qq.com", "weishi.qq.com", "weishi.qq.com"},
        {"broken lines", "[hosts\nportal\n=x\n\x01\x02garbage\n", "www.morisk.example",
         "mp.weixin.qq.com", "v.qq.com", "weishi.qq.com", "weishi.qq.com"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HostConfig h = ParseHostConfig(c.ini);
        EXPECT_EQ(h.portal, Text(c.portal));
        EXPECT_EQ(h.wechat, Text(c.wechat));
        EXPECT_EQ(h.videoPlayer, Text(c.videoPlayer));
        EXPECT_EQ(h.weishiEmbed, Text(c.weishiEmbed));
        EXPECT_EQ(h.weishiPage, Text(c.weishiPage));
    }
}

class FilesBesideProgram : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("tarvelle-portal-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        platform::SetRunDirectoryForTesting(Text(dir.string()));
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        ::unsetenv("TARVELLE_CONFIG");
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::filesystem::path dir;
};

TEST_F(FilesBesideProgram, ConfigFileBesideTheProgramOrNamedByTheEnvironment) {
    EXPECT_EQ(ConfigFilePath(), Text((dir / "tarvelle.ini").string()));
    EXPECT_EQ(LoadHostConfig(ConfigFilePath()).portal, Text("www.morisk.example"));

    write("tarvelle.ini", "[hosts]\nportal=beside.example\n");
    EXPECT_EQ(LoadHostConfig(ConfigFilePath()).portal, Text("beside.example"));

    write("other.ini", "[hosts]\nportal=other.example\n");
    ::setenv("TARVELLE_CONFIG", (dir / "other.ini").c_str(), 1);
    EXPECT_EQ(LoadHostConfig(ConfigFilePath()).portal, Text("other.example"));

    ::setenv("TARVELLE_CONFIG", (dir / "missing.ini").c_str(), 1);
    EXPECT_EQ(LoadHostConfig(ConfigFilePath()).portal, Text("www.morisk.example"));
}

TEST_F(FilesBesideProgram, IdentityKeyIsTheFileUpToItsFirstZeroByte) {
    const Text path = platform::BesideProgram("key.txt");
    EXPECT_EQ(ReadIdentityKey(path), Text()) << "no key file";

    struct {
        const char* name;
        std::string bytes;
        const char* key;
    } cases[] = {
        {"empty file", "", ""},
        {"line break kept", "abc\r\n", "abc\r\n"},
        {"spaces at both ends kept", " \tk y\t ", " \tk y\t "},
        {"zero byte ends it", std::string("abc\0def", 7), "abc"},
        {"zero byte first", std::string("\0abc", 4), ""},
        {"query characters unchanged", "a&b#c", "a&b#c"},
        {"no code-page conversion", "\xe4\xb8\xad", "\xe4\xb8\xad"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write("key.txt", c.bytes);
        EXPECT_EQ(ReadIdentityKey(path), Text(c.key));
    }

    std::filesystem::remove(dir / "key.txt");
    std::filesystem::create_directory(dir / "key.txt");
    EXPECT_EQ(ReadIdentityKey(path), Text()) << "unreadable: a folder";
}

TEST(PortalAddresses, AreBuiltFromThePortalHostAndTheKey) {
    HostConfig hosts;
    hosts.portal = "www.morisk.example";
    const Text base = MakePortalBase(hosts);
    EXPECT_EQ(base, Text("http://www.morisk.example"));
    EXPECT_EQ(HomePageUrl(base), Text("http://www.morisk.example/plus/view.php?aid=1629"));
    EXPECT_EQ(VersionPageUrl(base), Text("http://www.morisk.example/plus/view.php?aid=1602"));
    EXPECT_EQ(InfoPageUrl(base, kTutorialAid),
              Text("http://www.morisk.example/plus/view.php?aid=1592"));
    EXPECT_EQ(InfoPageUrl(base, kContactAid),
              Text("http://www.morisk.example/plus/view.php?aid=1593"));
    EXPECT_EQ(InfoPageUrl(base, kPromotionAid),
              Text("http://www.morisk.example/plus/view.php?aid=1594"));

    EXPECT_EQ(ListUrl(base, 1, ""),
              Text("http://www.morisk.example/plus/view.php?aid=565&zhushou=1&list=1&id_guanli="
                   "&id_yuangong="));
    EXPECT_EQ(ListUrl(base, 4, "abc\r\n"),
              Text("http://www.morisk.example/plus/view.php?aid=565&zhushou=1&list=4&id_guanli="
                   "abc\r\n&id_yuangong=abc\r\n"));
    EXPECT_EQ(ListUrl(base, 2, "k&x#y"),
              Text("http://www.morisk.example/plus/view.php?aid=565&zhushou=1&list=2&id_guanli="
                   "k&x#y&id_yuangong=k&x#y"));

    hosts.portal = "127.0.0.1:8080/";
    EXPECT_EQ(MakePortalBase(hosts), Text("http://127.0.0.1:8080")) << "no trailing slash";
}

TEST(PortalAddresses, DomainDropsALeadingWww) {
    const std::pair<const char*, const char*> cases[] = {
        {"www.morisk.example", "morisk.example"}, {"WWW.Morisk.example", "Morisk.example"},
        {"morisk.example", "morisk.example"},     {"wwwmorisk.example", "wwwmorisk.example"},
        {"127.0.0.1:8001", "127.0.0.1:8001"},     {"www.", "www."},
    };
    for (auto [host, domain] : cases) {
        HostConfig hosts;
        hosts.portal = host;
        EXPECT_EQ(PortalDomain(hosts), Text(domain)) << host;
    }
}

TEST(AddressTests, PortalAndWeChatHostsAnywhereIgnoringAsciiCase) {
    HostConfig hosts;
    hosts.portal = "www.morisk.example";
    hosts.wechat = "mp.weixin.qq.com";
    struct {
        const char* address;
        bool portal;
        bool wechat;
    } cases[] = {
        {"http://www.morisk.example/plus/view.php?aid=3001", true, false},
        {"https://MORISK.Example/a", true, false},
        {"http://cdn.morisk.example.net/x", true, false},
        {"https://mp.weixin.qq.com/s/abc#frag", false, true},
        {"HTTPS://MP.WEIXIN.QQ.COM/s?__biz=1", false, true},
        {"http://www.morisk.example/go?to=mp.weixin.qq.com", true, true},
        {"", false, false},
        {"http://example.org/", false, false},
        {"mp.weixin.qq", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(materials::IsPortalAddress(c.address, MaterialHosts(hosts)), c.portal)
            << c.address;
        EXPECT_EQ(materials::IsWeChatArticleAddress(c.address, MaterialHosts(hosts)), c.wechat)
            << c.address;
    }
    // A match starts only at a character boundary: here "morisk" would begin
    // on the second byte of a double-byte character.
    hosts.portal = "\x81morisk";
    EXPECT_FALSE(materials::IsPortalAddress("\x81\x81morisk", MaterialHosts(hosts)));
    EXPECT_TRUE(materials::IsPortalAddress("a\x81morisk", MaterialHosts(hosts)));
}

TEST(AddressTests, LoopbackPortsOfEqualLengthTellTheTwoServersApart) {
    HostConfig hosts = ParseHostConfig("[hosts]\nportal=127.0.0.1:41000\nwechat=127.0.0.1:41001\n");
    EXPECT_TRUE(materials::IsPortalAddress("http://127.0.0.1:41000/plus/view.php?aid=1629",
                                           MaterialHosts(hosts)));
    EXPECT_FALSE(materials::IsWeChatArticleAddress("http://127.0.0.1:41000/plus/view.php?aid=1629",
                                                   MaterialHosts(hosts)));
    EXPECT_TRUE(materials::IsWeChatArticleAddress("http://127.0.0.1:41001/s/spring-tea",
                                                  MaterialHosts(hosts)));
    EXPECT_FALSE(
        materials::IsPortalAddress("http://127.0.0.1:41001/s/spring-tea", MaterialHosts(hosts)));
}

TEST(GlobalTexts, StartEmptyAndAreReleasedAtExit) {
    auto& g = Globals();
    EXPECT_TRUE(g.ReaderUrl.empty());
    g.PortalBase = "http://x";
    g.VersionTag = kVersionTag;
    g.ArticleTitle = "t";
    ReleaseGlobals();
    EXPECT_TRUE(g.PortalBase.empty());
    EXPECT_TRUE(g.VersionTag.empty());
    EXPECT_TRUE(g.ArticleTitle.empty());
}

}  // namespace
}  // namespace tarvelle::app
