// tarvelle-extract [--dir DIR] [--json] ADDRESS
//
// The post button's extraction for scripts and machines without a display:
// resolves the WeChat article behind ADDRESS (a portal page or an article),
// writes its cover to DIR/1.jpg and prints title, cover file and video link.

#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "app/portal.h"
#include "http/read_url.h"
#include "materials/materials.h"
#include "platform/files.h"
#include "text/codepage.h"
#include "text/primitives.h"

namespace {

using namespace tarvelle;

constexpr int kUsageError = 1;
constexpr int kNotAnArticle = 2;
constexpr int kCoverNotWritten = 3;

constexpr const char* kUsage = "usage: tarvelle-extract [--dir DIR] [--json] ADDRESS\n";

int usage() {
    std::cerr << kUsage << "(tarvelle-extract --help explains)\n";
    return kUsageError;
}

int help() {
    std::cout << kUsage << R"(
Fetches the WeChat article behind ADDRESS, as the post button of Tarvelle does:
ADDRESS is a page of the portal (the WeChat address is read from it) or a
WeChat article. Writes the article's cover to DIR/1.jpg and prints, in UTF-8,
the title, the cover file's path and the video link, one per line.

  --dir DIR   where 1.jpg goes (default: the current folder)
  --json      print one JSON object instead: article_url, title, cover_url,
              cover_file, video_url
  --help      this text

The hosts come from tarvelle.ini beside the program, or from the file named by
TARVELLE_CONFIG ([hosts] portal, wechat, video_player, weishi_embed,
weishi_page).

Exit status: 0 done, 1 usage, 2 ADDRESS is neither a portal page nor a WeChat
article, 3 the cover cannot be written.
)";
    return 0;
}

int fail(const text::Text& message, int status) {
    // The window's messages break lines the Windows way.
    std::cerr << text::GbkToUtf8(text::SubstituteText(message, "\r\n", "\n")) << '\n';
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = ".";
    std::string address;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") return help();
        if (arg == "--json") {
            json = true;
        } else if (arg == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else if (arg.starts_with("--") || !address.empty()) {
            return usage();
        } else {
            address = arg;
        }
    }
    if (address.empty()) return usage();

    // Paths travel through the tool as 936 texts; a folder name 936 cannot
    // hold would be written somewhere else.
    const std::string coverFile =
        (std::filesystem::absolute(dir) / "1.jpg").lexically_normal().string();
    const text::Text coverPath = text::Utf8ToGbk(coverFile);
    if (text::GbkToUtf8(coverPath) != coverFile) {
        return fail(materials::CoverNotWrittenMessage(), kCoverNotWritten);
    }

    const materials::Hosts hosts = app::MaterialHosts(app::LoadHostConfig(app::ConfigFilePath()));
    const materials::Io io{http::ReadUrlBytes, platform::WriteFileBytes};
    materials::ArticleMaterials found;
    switch (materials::ExtractFromAddress(text::Utf8ToGbk(address), coverPath, hosts, io, found)) {
        case materials::Outcome::NotAnArticle:
            return fail(materials::NotAnArticleMessage(), kNotAnArticle);
        case materials::Outcome::CoverNotWritten:
            return fail(materials::CoverNotWrittenMessage(), kCoverNotWritten);
        case materials::Outcome::Extracted:
            break;
    }

    const std::string title = text::GbkToUtf8(found.title);
    const std::string video = text::GbkToUtf8(found.videoUrl);
    if (json) {
        const nlohmann::ordered_json out = {
            {"article_url", text::GbkToUtf8(found.articleUrl)},
            {"title", title},
            {"cover_url", text::GbkToUtf8(found.coverUrl)},
            {"cover_file", coverFile},
            {"video_url", video},
        };
        std::cout << out.dump() << '\n';
    } else {
        std::cout << title << '\n' << coverFile << '\n' << video << '\n';
    }
    return 0;
}
