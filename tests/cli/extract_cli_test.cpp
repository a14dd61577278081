// tarvelle-extract run as a user runs it, against the demo portal.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "demo_portal.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class ExtractCliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        portal = new tarvelle::demo::DemoPortal;
        ASSERT_TRUE(portal->start());
        dir = fs::temp_directory_path() / ("tarvelle-extract-" + std::to_string(getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "tarvelle.ini") << portal->configIni();
    }
    static void TearDownTestSuite() {
        delete portal;
        fs::remove_all(dir);
    }

    static std::string portalPage(int aid) {
        return "http://" + portal->portalHost() + "/plus/view.php?aid=" + std::to_string(aid);
    }

    static Outcome run(const std::string& args) {
        const fs::path err = dir / "stderr";
        const std::string command = "TARVELLE_CONFIG='" + (dir / "tarvelle.ini").string() + "' '" +
                                    TARVELLE_EXTRACT + "' " + args + " 2>'" + err.string() + "'";
        Outcome r{};
        FILE* pipe = popen(command.c_str(), "r");
        std::array<char, 4096> buffer{};
        while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
            r.out.append(buffer.data(), n);
        const int raw = pclose(pipe);
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::ifstream in(err);
        r.err.assign(std::istreambuf_iterator<char>(in), {});
        return r;
    }

    static tarvelle::demo::DemoPortal* portal;
    static fs::path dir;
};

tarvelle::demo::DemoPortal* ExtractCliTest::portal = nullptr;
fs::path ExtractCliTest::dir;

TEST_F(ExtractCliTest, PrintsTitleCoverFileAndVideoLink) {
    const Outcome r = run("--dir '" + dir.string() + "' '" + portalPage(3001) + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string cover = (dir / "1.jpg").string();
    EXPECT_EQ(r.out, "山坡上的春茶：一个采茶人的清晨\n" + cover +
                         "\nhttp://v.qq.com/iframe/player.html?vid=k0031tarv7a\n");
    std::ifstream jpeg(cover, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(jpeg), {}};
    EXPECT_EQ(written, tarvelle::demo::CoverJpeg("spring-tea"));
}

TEST_F(ExtractCliTest, Json) {
    const Outcome r = run("--json --dir '" + dir.string() + "' '" + portalPage(3002) + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["title"], "沿河而行的七个小站");
    EXPECT_EQ(json["cover_file"], (dir / "1.jpg").string());
    EXPECT_EQ(json["article_url"], "http://" + portal->articleHost() + "/s/river-notes");
    EXPECT_EQ(json["cover_url"],
              "http://" + portal->articleHost() + "/img/river-notes.jpg?wx_fmt=jpeg&from=appmsg");
    EXPECT_TRUE(json["video_url"].get<std::string>().find("vid=wxv_") != std::string::npos);
}

TEST_F(ExtractCliTest, Help) {
    const Outcome r = run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: tarvelle-extract", 0), 0u);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
}

TEST_F(ExtractCliTest, Failures) {
    const struct {
        const char* name;
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"neither portal nor article", "http://example.org/a", 2,
         "出错了，可能原因如下：\n\n（1）"},
        {"cover cannot be written", "--dir /nonexistent/folder '" + portalPage(3001) + "'", 3,
         "封面图提取失败，请重试\n"},
        {"no address", "--json", 1, "usage: tarvelle-extract"},
        {"unknown option", "--verbose x", 1, "usage: tarvelle-extract"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.name;
    }
}

}  // namespace
