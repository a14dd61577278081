#include "app/portal.h"

#include <cstdlib>
#include <optional>

#include "platform/files.h"
#include "text/primitives.h"

namespace tarvelle::app {
namespace {

std::string_view trimmed(std::string_view s) {
    const char* spaces = " \t\r\n";
    auto first = s.find_first_not_of(spaces);
    if (first == std::string_view::npos) return {};
    auto last = s.find_last_not_of(spaces);
    return s.substr(first, last - first + 1);
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::optional<HostConfig>& hostsSlot() {
    static std::optional<HostConfig> hosts;
    return hosts;
}

}  // namespace

HostConfig ParseHostConfig(std::string_view ini) {
    HostConfig hosts;
    bool inHosts = false;
    std::size_t pos = 0;
    while (pos <= ini.size()) {
        auto end = ini.find('\n', pos);
        if (end == std::string_view::npos) end = ini.size();
        auto line = trimmed(ini.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            auto close = line.find(']');
            inHosts = close != std::string_view::npos &&
                      lower(trimmed(line.substr(1, close - 1))) == "hosts";
            continue;
        }
        auto eq = line.find('=');
        if (!inHosts || eq == std::string_view::npos) continue;
        auto key = lower(trimmed(line.substr(0, eq)));
        auto value = line.substr(eq + 1);
        // A ";" or "#" after a space starts a comment; host names hold neither.
        for (std::size_t i = 1; i < value.size(); ++i) {
            if ((value[i] == ';' || value[i] == '#') &&
                (value[i - 1] == ' ' || value[i - 1] == '\t')) {
                value = value.substr(0, i);
                break;
            }
        }
        value = trimmed(value);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.empty()) continue;
        text::Text v{value};
        if (key == "portal")
            hosts.portal = v;
        else if (key == "wechat")
            hosts.wechat = v;
        else if (key == "video_player")
            hosts.videoPlayer = v;
        else if (key == "weishi_embed")
            hosts.weishiEmbed = v;
        else if (key == "weishi_page")
            hosts.weishiPage = v;
    }
    return hosts;
}

text::Text ConfigFilePath() {
    const char* env = std::getenv("TARVELLE_CONFIG");
    if (env && *env) return text::Text(env);
    return platform::BesideProgram("tarvelle.ini");
}

HostConfig LoadHostConfig(const text::Text& path) {
    return ParseHostConfig(platform::ReadFileBytes(path));
}

const HostConfig& Hosts() {
    if (!hostsSlot()) hostsSlot() = LoadHostConfig(ConfigFilePath());
    return *hostsSlot();
}

void SetHostsForTesting(const HostConfig& hosts) { hostsSlot() = hosts; }

text::Text PortalDomain(const HostConfig& hosts) {
    const auto& host = hosts.portal.str();
    if (host.size() > 4 && lower(host.substr(0, 4)) == "www.") return text::Text(host.substr(4));
    return hosts.portal;
}

text::Text MakePortalBase(const HostConfig& hosts) {
    std::string host = hosts.portal.str();
    while (!host.empty() && host.back() == '/') host.pop_back();
    return text::Text("http://") + text::Text(host);
}

text::Text HomePageUrl(const text::Text& portalBase) {
    return portalBase + "/plus/view.php?aid=1629";
}

text::Text ListUrl(const text::Text& portalBase, int list, const text::Text& identityKey) {
    return portalBase +
           "/plus/view.php?aid=565&zhushou=1&list=" + text::Text(std::to_string(list)) +
           "&id_guanli=" + identityKey + "&id_yuangong=" + identityKey;
}

text::Text InfoPageUrl(const text::Text& portalBase, int aid) {
    return portalBase + "/plus/view.php?aid=" + text::Text(std::to_string(aid));
}

text::Text VersionPageUrl(const text::Text& portalBase) {
    return portalBase + "/plus/view.php?aid=1602";
}

text::Text ReadIdentityKey(const text::Text& keyFilePath) {
    return text::TextFromBytes(platform::ReadFileBytes(keyFilePath));
}

materials::Hosts MaterialHosts(const HostConfig& hosts) {
    return {PortalDomain(hosts), hosts.wechat, hosts.videoPlayer, hosts.weishiEmbed,
            hosts.weishiPage};
}

}  // namespace tarvelle::app
