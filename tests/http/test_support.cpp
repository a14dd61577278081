#include "test_support.h"

#include <httplib.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tarvelle::http::testing {

void HttpTest::SetUp() {
    m_saved = limits();
    Limits quick = m_saved;
    quick.connectTimeout = std::chrono::milliseconds(2000);
    quick.totalTimeout = std::chrono::milliseconds(3000);
    quick.stallTime = std::chrono::seconds(2);
    setLimits(quick);
    CookieStore::shared().clear();
    CookieStore::shared().setListener(nullptr);
}

void HttpTest::TearDown() {
    setLimits(m_saved);
    CookieStore::shared().setListener(nullptr);
    CookieStore::shared().clear();
}

const SelfSignedCertificate& SelfSignedCertificate::get() {
    static const SelfSignedCertificate made = [] {
        char pattern[] = "/tmp/tarvelle-tls-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
        SelfSignedCertificate c{pattern, std::string(pattern) + "/cert.pem",
                                std::string(pattern) + "/key.pem"};
        const std::string command =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
            " -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
            c.key + " -out " + c.certificate + " 2>/dev/null";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl req failed");
        return c;
    }();
    static const struct Cleanup {
        ~Cleanup() { std::filesystem::remove_all(made.directory); }
    } cleanup;
    return made;
}

TlsServer::TlsServer(std::string plainTarget) {
    const SelfSignedCertificate& c = SelfSignedCertificate::get();
    m_server = std::make_unique<httplib::SSLServer>(c.certificate.c_str(), c.key.c_str());
    if (!m_server->is_valid()) throw std::runtime_error("TLS server set-up failed");
    m_server->Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("secure body", "text/plain");
    });
    m_server->Get("/plain", [plainTarget](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(plainTarget);
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    for (int i = 0; i < 500 && !m_server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TlsServer::~TlsServer() {
    m_server->stop();
    m_thread.join();
}

std::string TlsServer::url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(m_port) + path;
}

}  // namespace tarvelle::http::testing
