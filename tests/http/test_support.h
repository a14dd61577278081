#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "http/cookie_store.h"
#include "http/limits.h"

namespace httplib {
class SSLServer;
}

namespace tarvelle::http::testing {

// Short limits so that every hostile case ends within seconds, and an empty
// shared cookie store.
class HttpTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    Limits m_saved;
};

// A self-signed certificate for 127.0.0.1, made with the openssl program.
struct SelfSignedCertificate {
    std::string directory, certificate, key;
    static const SelfSignedCertificate& get();
};

// A loopback HTTPS server answering "/" with "secure body" and "/plain" with
// a redirect to `plainTarget`.
class TlsServer {
public:
    explicit TlsServer(std::string plainTarget = {});
    ~TlsServer();
    std::string url(const std::string& path = "/") const;

private:
    std::unique_ptr<httplib::SSLServer> m_server;
    int m_port = 0;
    std::thread m_thread;
};

}  // namespace tarvelle::http::testing
