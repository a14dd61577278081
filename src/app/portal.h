#pragma once

#include <string>
#include <string_view>

#include "materials/materials.h"
#include "text/text.h"

namespace tarvelle::app {

// The running version as the portal's version page names it.
inline constexpr const char* kVersionTag = "v1.3";
// The main window's caption before the version is appended.
inline constexpr const char* kMainCaption = "Tarvelle-Morisk-";

// Hosts the tool talks to. Compiled-in defaults, overridden by the [hosts]
// group of tarvelle.ini (or of the file named by TARVELLE_CONFIG).
struct HostConfig {
    text::Text portal = "www.morisk.example";
    text::Text wechat = "mp.weixin.qq.com";
    text::Text videoPlayer = "v.qq.com";
    text::Text weishiEmbed = "weishi.qq.com";
    text::Text weishiPage = "weishi.qq.com";
};

// Reads the [hosts] group of an INI text. Unknown groups, keys and lines are
// skipped; a key that is missing or empty keeps its default.
HostConfig ParseHostConfig(std::string_view ini);

// TARVELLE_CONFIG when set and non-empty, else tarvelle.ini beside the program.
text::Text ConfigFilePath();

// The configuration file's hosts; the defaults when it is missing or unreadable.
HostConfig LoadHostConfig(const text::Text& path);

// The hosts of this run, read once on first use.
const HostConfig& Hosts();
void SetHostsForTesting(const HostConfig& hosts);

// The portal host without a leading "www.".
text::Text PortalDomain(const HostConfig& hosts);

// "http://" + portal host, without a trailing "/".
text::Text MakePortalBase(const HostConfig& hosts);

text::Text HomePageUrl(const text::Text& portalBase);
// List 1 to 4: newest, hottest of 24 hours, popular over 7 days, top of the month.
text::Text ListUrl(const text::Text& portalBase, int list, const text::Text& identityKey);
// Tutorial 1592, contact 1593, promotion 1594.
text::Text InfoPageUrl(const text::Text& portalBase, int aid);
text::Text VersionPageUrl(const text::Text& portalBase);

inline constexpr int kTutorialAid = 1592;
inline constexpr int kContactAid = 1593;
inline constexpr int kPromotionAid = 1594;

// The key file's bytes up to the first zero byte; empty when it cannot be read.
text::Text ReadIdentityKey(const text::Text& keyFilePath);

// The hosts the post action tests addresses against and builds links from.
materials::Hosts MaterialHosts(const HostConfig& hosts);

}  // namespace tarvelle::app
