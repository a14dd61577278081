#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tarvelle::http::testing {

// One accepted connection with the request read from it (head and body).
class RawConnection {
public:
    RawConnection(int fd, std::string request, const std::atomic<bool>& stopping)
        : m_fd(fd), m_request(std::move(request)), m_stopping(stopping) {}

    const std::string& request() const { return m_request; }
    // "GET /x HTTP/1.1"
    std::string requestLine() const;
    void send(std::string_view bytes);
    // Ends the connection with a TCP reset instead of an orderly close.
    void reset();
    // Keeps the connection open, silent, until the server stops.
    void hold();

private:
    int m_fd;
    std::string m_request;
    const std::atomic<bool>& m_stopping;
    bool m_reset = false;
    friend class RawServer;
};

// A loopback HTTP server that keeps the raw bytes of every request and lets
// each test write the answer byte by byte. Each connection is served on a
// thread of its own and closed after the handler returns.
class RawServer {
public:
    using Handler = std::function<void(RawConnection&)>;
    explicit RawServer(Handler handler);
    ~RawServer();

    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string url(std::string_view path = "/") const;
    std::vector<std::string> requests() const;

private:
    void serve();
    void answer(int fd);

    Handler m_handler;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
    std::vector<std::thread> m_connections;
};

// A complete response with "Content-Length" and "Connection: close" added.
std::string httpResponse(std::string_view status, std::string_view headerLines,
                         std::string_view body);

// A port on 127.0.0.1 that nothing listens on.
int refusedPort();

}  // namespace tarvelle::http::testing
