#include "materials/materials.h"

#include <cctype>

#include "text/codepage.h"
#include "text/extract.h"
#include "text/primitives.h"

namespace tarvelle::materials {

using namespace text;

namespace {

// An empty host is no host at all (it would be found in every address).
bool contains(const Text& address, const Text& host) {
    return !host.empty() && FindSubtext(address, host, 1, true) != -1;
}

Text decodeAmpersands(const Text& s) { return SubstituteText(s, "&amp;", "&"); }

// The content attribute of <meta property="og:…" …>, wherever in the tag it
// stands (today's pages put it on the next line).
Text metaContent(const Text& page, const Text& property) {
    const int at = FindSubtext(page, "property=\"" + property + "\"", 1, true);
    if (at == -1) return {};
    const int tagStart = FindLastSubtext(page, "<meta", at, true);
    if (tagStart == -1) return {};
    int tagEnd = FindSubtext(page, ">", tagStart);
    if (tagEnd != -1 && tagEnd < at) return {};  // the property is not this tag's
    if (tagEnd == -1) tagEnd = ByteLength(page) + 1;

    const Text attribute = "content=\"";
    for (int c = FindSubtext(page, attribute, tagStart, true); c != -1 && c < tagEnd;
         c = FindSubtext(page, attribute, c + 1, true)) {
        // An attribute of its own, not the end of a longer name.
        if (!std::isspace(static_cast<unsigned char>(page.str()[static_cast<size_t>(c) - 2]))) {
            continue;
        }
        const int value = c + ByteLength(attribute);
        const int close = FindSubtext(page, "\"", value);
        if (close == -1 || close > tagEnd) return {};
        return MiddleOf(page, value, close - value);
    }
    return {};
}

}  // namespace

Text NotAnArticleMessage() {
    return "出错了，可能原因如下：\r\n\r\n"
           "（1）没有打开任何文章\r\n\r\n"
           "（2）文章不是来自微信公众平台\r\n\r\n"
           "（3）文章不是来自Morisk官网\r\n\r\n"
           "（4）网络等未知错误"_gbk;
}

Text CoverNotWrittenMessage() { return "封面图提取失败，请重试"_gbk; }

Text ArticleTitleOf(const Text& page) {
    Text title = ExtractBetween(page, "var msg_title = \"", "\";", 1, true);
    if (title.empty()) title = ExtractBetween(page, "var msg_title = '", "'.html(false);", 1, true);
    if (title.empty()) title = metaContent(page, "og:title");
    return title;
}

Text CoverUrlOf(const Text& page) {
    Text cover = ExtractBetween(page, "var msg_cdn_url = \"", "\";", 1, true);
    if (cover.empty()) cover = decodeAmpersands(metaContent(page, "og:image"));
    return cover;
}

Text ExtractVideoLink(const Text& page, const Hosts& hosts) {
    // Handlers run while the frames are collected. The page is the caller's
    // own local text, out of their reach, so it needs no copy of its own.
    TextArray frames;
    ExtractAllBetween(page, "<ifram", "</iframe>", frames, false);
    if (frames.empty()) return {};
    const Text& frame = frames.front();

    if (FindSubtext(frame, "data-mpvid=\"", 1, true) != -1) {
        // A native WeChat video: its frame carries the player address itself.
        return decodeAmpersands(ExtractBetween(frame, "data-src=\"", "\"", 1, true));
    }
    if (contains(frame, hosts.weishiEmbed)) {
        return "http://" + hosts.weishiPage + "/t/" +
               ExtractBetween(frame, "?msgid=", "&", 1, true);
    }
    return "http://" + hosts.videoPlayer +
           "/iframe/player.html?vid=" + ExtractBetween(frame, "vid=", "&", 1, true);
}

bool IsPortalAddress(const Text& address, const Hosts& hosts) {
    return contains(address, hosts.portalDomain);
}

bool IsWeChatArticleAddress(const Text& address, const Hosts& hosts) {
    return contains(address, hosts.wechat);
}

std::optional<Text> ResolveArticleUrl(const Text& address, const Hosts& hosts, const Io& io) {
    if (IsPortalAddress(address, hosts)) {
        const Text page = TextFromBytes(io.readUrl(address));
        return ExtractBetween(page, "#6#6#6#6", "#<", 1, true);
    }
    if (IsWeChatArticleAddress(address, hosts)) return address;
    return std::nullopt;
}

Outcome ExtractArticleMaterials(const Text& articleUrl, const Text& coverPath, const Hosts& hosts,
                                const Io& io, ArticleMaterials& found) {
    found.articleUrl = articleUrl;
    const Text page = Utf8ToGbk(TextFromBytes(io.readUrl(articleUrl)));
    found.coverUrl = CoverUrlOf(page);
    found.title = ArticleTitleOf(page);
    if (!io.writeFile(coverPath, io.readUrl(found.coverUrl))) return Outcome::CoverNotWritten;
    found.videoUrl = ExtractVideoLink(page, hosts);
    return Outcome::Extracted;
}

Outcome ExtractFromAddress(const Text& address, const Text& coverPath, const Hosts& hosts,
                           const Io& io, ArticleMaterials& found) {
    found = {};
    const std::optional<Text> articleUrl = ResolveArticleUrl(address, hosts, io);
    if (!articleUrl) return Outcome::NotAnArticle;
    return ExtractArticleMaterials(*articleUrl, coverPath, hosts, io, found);
}

}  // namespace tarvelle::materials
