#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvelle::demo {

// A stand-in for the maker's portal and for WeChat article pages, served on
// two loopback ports so that the tool's two address tests can tell them apart.
// All pages are UTF-8 and our own writing.
class DemoPortal {
public:
    DemoPortal();
    ~DemoPortal();
    DemoPortal(const DemoPortal&) = delete;
    DemoPortal& operator=(const DemoPortal&) = delete;

    // Binds both servers to 127.0.0.1 (0 picks a free port) and serves them
    // on threads of their own. False when a port cannot be bound.
    bool start(int portalPort = 0, int articlePort = 0);
    void stop();

    int portalPort() const { return m_portalPort; }
    int articlePort() const { return m_articlePort; }
    std::string portalHost() const;   // "127.0.0.1:<port>"
    std::string articleHost() const;  // "127.0.0.1:<port>"

    // A [hosts] configuration that points the tool at this portal.
    std::string configIni() const;

    // The <title> of the version page (aid 1602); empty serves a page without one.
    void setVersionTitle(std::string title);

    // The targets (path and query) requested from the portal so far.
    std::vector<std::string> portalRequests() const;

private:
    struct Servers;
    std::unique_ptr<Servers> m_servers;
    int m_portalPort = 0;
    int m_articlePort = 0;
    mutable std::mutex m_mutex;
    std::string m_versionTitle;
    std::vector<std::string> m_portalRequests;
};

// The cover image served at /img/<name>.jpg: a small JPEG of our own.
std::string CoverJpeg(const std::string& name);

}  // namespace tarvelle::demo
