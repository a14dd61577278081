#include "raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <stdexcept>

namespace tarvelle::http::testing {

namespace {

int listenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("socket");
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0) {
        ::close(fd);
        throw std::runtime_error("bind/listen");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

bool waitReadable(int fd, int milliseconds) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, milliseconds) > 0;
}

size_t contentLength(const std::string& head) {
    std::string lower = head;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const size_t at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos) return 0;
    return std::stoul(lower.substr(at + 17));
}

// Head and body of one request; what arrived when the peer stops sending.
std::string readRequest(int fd) {
    std::string data;
    char buffer[4096];
    size_t wanted = std::string::npos;
    while (data.size() < wanted) {
        if (!waitReadable(fd, 5000)) break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        data.append(buffer, static_cast<size_t>(n));
        if (wanted == std::string::npos) {
            const size_t end = data.find("\r\n\r\n");
            if (end != std::string::npos) wanted = end + 4 + contentLength(data.substr(0, end + 2));
        }
    }
    return data;
}

}  // namespace

std::string RawConnection::requestLine() const {
    return m_request.substr(0, m_request.find("\r\n"));
}

void RawConnection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void RawConnection::reset() {
    linger hard{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    m_reset = true;
}

void RawConnection::hold() {
    while (!m_stopping) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

RawServer::RawServer(Handler handler) : m_handler(std::move(handler)) {
    m_listener = listenOnLoopback(m_port);
    m_thread = std::thread([this] { serve(); });
}

RawServer::~RawServer() {
    m_stopping = true;
    m_thread.join();
    ::close(m_listener);
}

std::string RawServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::vector<std::string> RawServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void RawServer::serve() {
    while (!m_stopping) {
        if (!waitReadable(m_listener, 20)) continue;
        const int fd = ::accept(m_listener, nullptr, nullptr);
        if (fd >= 0) m_connections.emplace_back([this, fd] { answer(fd); });
    }
    for (std::thread& t : m_connections) t.join();
}

void RawServer::answer(int fd) {
    RawConnection connection(fd, readRequest(fd), m_stopping);
    if (!connection.request().empty()) {
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(connection.request());
        }
        m_handler(connection);
    }
    if (!connection.m_reset) {
        ::shutdown(fd, SHUT_WR);
        // Let the client read the answer and close first.
        char sink[1024];
        while (!m_stopping && waitReadable(fd, 200) && ::recv(fd, sink, sizeof sink, 0) > 0) {
        }
    }
    ::close(fd);
}

std::string httpResponse(std::string_view status, std::string_view headerLines,
                         std::string_view body) {
    std::string r = "HTTP/1.1 ";
    r += status;
    r += "\r\n";
    r += headerLines;
    r += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    r += body;
    return r;
}

int refusedPort() {
    int port = 0;
    const int fd = listenOnLoopback(port);
    ::close(fd);
    return port;
}

}  // namespace tarvelle::http::testing
