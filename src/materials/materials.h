#pragma once

#include <functional>
#include <optional>

#include "text/text.h"

namespace tarvelle::materials {

using text::Bytes;
using text::Text;

// The hosts the address tests and the video links are built from.
struct Hosts {
    Text portalDomain;  // an address containing it is a portal page
    Text wechat;        // an address containing it is a WeChat article
    Text videoPlayer;   // host of the player link
    Text weishiEmbed;   // its presence in a frame marks a Weishi video
    Text weishiPage;    // host of the Weishi link
};

// The outside world of an extraction: reading an address, writing a file.
struct Io {
    std::function<Bytes(const Text& address)> readUrl;
    std::function<bool(const Text& path, const Bytes& bytes)> writeFile;
};

// What one extraction found. Any of it may be empty.
struct ArticleMaterials {
    Text articleUrl;
    Text title;
    Text coverUrl;
    Text videoUrl;
};

enum class Outcome {
    Extracted,        // the cover file was written; the materials are complete
    NotAnArticle,     // the address is neither a portal page nor a WeChat article
    CoverNotWritten,  // the cover file could not be written; only url and title are set
};

// The messages the user is shown for the two failures, in code page 936.
Text NotAnArticleMessage();
Text CoverNotWrittenMessage();

// The two address tests: the address contains the portal domain, or the
// WeChat host, ASCII case folded, matching at a character boundary.
bool IsPortalAddress(const Text& address, const Hosts& hosts);
bool IsWeChatArticleAddress(const Text& address, const Hosts& hosts);

// The WeChat article behind an address: read from a portal page between
// "#6#6#6#6" and "#<" (empty when the page has none), or the address itself
// for a WeChat article. Nothing when the address is neither.
std::optional<Text> ResolveArticleUrl(const Text& address, const Hosts& hosts, const Io& io);

// Reads the article, takes its title and cover address, writes the cover's
// bytes, whatever they are, to `coverPath`, and takes the video link.
Outcome ExtractArticleMaterials(const Text& articleUrl, const Text& coverPath, const Hosts& hosts,
                                const Io& io, ArticleMaterials& found);

// Both of the above, as the post button runs them.
Outcome ExtractFromAddress(const Text& address, const Text& coverPath, const Hosts& hosts,
                           const Io& io, ArticleMaterials& found);

// Title and cover address of an article page already in code page 936.
Text ArticleTitleOf(const Text& page);
Text CoverUrlOf(const Text& page);

// The link of the video in the page's first inline frame; empty when the page
// has none. Yields to the event loop while it collects the frames.
Text ExtractVideoLink(const Text& page, const Hosts& hosts);

}  // namespace tarvelle::materials
