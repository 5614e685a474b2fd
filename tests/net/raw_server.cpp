#include "raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace velmora::test {

RawServer::RawServer(Handler handler) : handler_(std::move(handler)) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error("socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 64) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("bind/listen");
    }
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

RawServer::~RawServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    acceptor_.join();
    for (std::thread& worker : workers_) worker.join();
    ::close(listenFd_);
}

std::string RawServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> RawServer::Heads() {
    std::lock_guard lock(mutex_);
    return heads_;
}

std::vector<std::string> RawServer::OtherStarts() {
    std::lock_guard lock(mutex_);
    return otherStarts_;
}

void RawServer::Pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    stopped_.wait_for(lock, duration, [this] { return stopping_.load(); });
}

void RawServer::AcceptLoop() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++connections_;
        std::lock_guard lock(mutex_);
        workers_.emplace_back([this, fd] { Serve(fd); });
    }
}

void RawServer::Serve(int fd) {
    std::string pending;
    char buffer[4096];
    bool open = true;
    while (open && !stopping_) {
        const size_t end = pending.find("\r\n\r\n");
        if (end == std::string::npos) {
            // Anything that does not start like a request is kept as it came.
            if (pending.size() >= 3 && pending.compare(0, 3, "GET") != 0) {
                std::lock_guard lock(mutex_);
                otherStarts_.push_back(pending);
                break;
            }
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            pending.append(buffer, static_cast<size_t>(n));
            continue;
        }
        const std::string head = pending.substr(0, end + 4);
        pending.erase(0, end + 4);
        {
            std::lock_guard lock(mutex_);
            heads_.push_back(head);
        }
        open = handler_(*this, fd, head);
    }
    ::close(fd);
}

bool SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string Answer(int status, const std::string& body, const std::string& extraHeaders) {
    return "HTTP/1.1 " + std::to_string(status) +
           " X\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extraHeaders + "\r\n" +
           body;
}

std::string TargetOf(const std::string& head) {
    const size_t start = head.find(' ');
    const size_t end = head.find(' ', start + 1);
    if (start == std::string::npos || end == std::string::npos) return std::string();
    return head.substr(start + 1, end - start - 1);
}

std::string Pattern(size_t n, unsigned seed) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 7 + seed * 13 + i / 256) & 0xFF);
    return bytes;
}

void ResetConnection(int fd) {
    linger hard{1, 0};
    // With a zero linger time the close that follows sends a reset.
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
}

}  // namespace velmora::test
