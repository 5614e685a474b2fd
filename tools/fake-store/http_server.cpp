#include "http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

namespace fakestore {
namespace {

constexpr std::size_t kMaxHead = 64 * 1024;       // a longer request head gets 431
constexpr std::size_t kMaxRequestBody = 1 << 20;  // GETs carry none; bigger bodies close
constexpr int kPollMs = 200;                      // how often blocked loops look at Stop()
constexpr int kIdleLimitMs = 60 * 1000;           // an idle keep-alive connection is closed

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string TrimOws(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Splits a request head into lines; a bare LF ends a line as CRLF does.
std::vector<std::string> HeadLines(const std::string& head) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < head.size()) {
        std::size_t nl = head.find('\n', start);
        if (nl == std::string::npos) nl = head.size();
        std::string line = head.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = nl + 1;
    }
    return lines;
}

// Finds the end of the head (after the blank line); npos while incomplete.
std::size_t HeadEnd(const std::string& buf) {
    std::size_t crlf = buf.find("\r\n\r\n");
    std::size_t lf = buf.find("\n\n");
    std::size_t end = std::string::npos;
    if (crlf != std::string::npos) end = crlf + 4;
    if (lf != std::string::npos && (end == std::string::npos || lf + 2 < end)) end = lf + 2;
    return end;
}

// The status line and headers; a negative length leaves Content-Length out.
std::string StatusHead(const HttpResponse& resp, long long length, bool keepAlive) {
    std::string head = "HTTP/1.1 " + std::to_string(resp.status) + " " + resp.reason + "\r\n";
    bool hasType = false;
    for (const auto& [k, v] : resp.headers) {
        head += k + ": " + v + "\r\n";
        if (Lower(k) == "content-type") hasType = true;
    }
    if (!hasType) head += "Content-Type: text/plain; charset=utf-8\r\n";
    if (length >= 0) head += "Content-Length: " + std::to_string(length) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    head += "\r\n";
    return head;
}

}  // namespace

std::string HttpRequest::Path() const { return target.substr(0, target.find('?')); }

std::string HttpRequest::Query() const {
    std::size_t q = target.find('?');
    return q == std::string::npos ? std::string() : target.substr(q + 1);
}

std::string HttpRequest::Header(const std::string& name) const {
    const std::string want = Lower(name);
    for (const auto& line : headerLines) {
        std::size_t colon = line.find(':');
        if (colon != std::string::npos && Lower(line.substr(0, colon)) == want)
            return TrimOws(line.substr(colon + 1));
    }
    return {};
}

HttpServer::HttpServer(Handler handler) : handler_(std::move(handler)) {}

HttpServer::~HttpServer() {
    if (listenFd_ >= 0) close(listenFd_);
    for (int fd : wakePipe_)
        if (fd >= 0) close(fd);
}

int HttpServer::Listen(int port) {
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return -1;
    int one = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return -1;
    if (listen(listenFd_, 128) != 0) return -1;
    socklen_t len = sizeof addr;
    if (getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return -1;
    return ntohs(addr.sin_port);
}

void HttpServer::Stop() {
    stopping_.store(true);
    if (wakePipe_[1] >= 0) {
        char c = 'x';
        [[maybe_unused]] ssize_t n = write(wakePipe_[1], &c, 1);
    }
}

void HttpServer::Run() {
    while (!stopping_.load()) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (poll(fds, 2, kPollMs) <= 0) continue;
        if (fds[1].revents) break;
        if (!(fds[0].revents & POLLIN)) continue;
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        connections_.fetch_add(1);
        std::thread([this, fd] {
            ServeConnection(fd);
            close(fd);
            connections_.fetch_sub(1);
        }).detach();
    }
    close(listenFd_);
    listenFd_ = -1;
    // Connection loops look at the stop flag every kPollMs; give them time to end.
    for (int i = 0; i < 30 && connections_.load() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void HttpServer::ServeConnection(int fd) {
    std::string buf;
    int idleMs = 0;
    while (!stopping_.load()) {
        std::size_t end = HeadEnd(buf);
        if (end == std::string::npos) {
            if (buf.size() > kMaxHead) {
                HttpResponse tooBig{431, "Request Header Fields Too Large", {}, "head too large\n"};
                std::string head = StatusHead(tooBig, static_cast<long long>(tooBig.body.size()), false);
                SendAll(fd, (head + tooBig.body).data(), head.size() + tooBig.body.size());
                return;
            }
            pollfd p{fd, POLLIN, 0};
            int r = poll(&p, 1, kPollMs);
            if (r == 0) {
                idleMs += kPollMs;
                if (idleMs >= kIdleLimitMs) return;
                continue;
            }
            if (r < 0) return;
            char chunk[8192];
            ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) return;
            buf.append(chunk, static_cast<std::size_t>(n));
            idleMs = 0;
            continue;
        }
        // Skip blank lines a client may send between requests.
        std::size_t first = buf.find_first_not_of("\r\n");
        if (first == std::string::npos || first >= end) {
            buf.erase(0, end);
            continue;
        }
        std::vector<std::string> lines = HeadLines(buf.substr(first, end - first));
        buf.erase(0, end);
        while (!lines.empty() && lines.back().empty()) lines.pop_back();

        HttpRequest req;
        req.requestLine = lines.front();
        req.headerLines.assign(lines.begin() + 1, lines.end());
        std::size_t s1 = req.requestLine.find(' ');
        std::size_t s2 = req.requestLine.rfind(' ');
        if (s1 == std::string::npos || s2 == s1) {
            HttpResponse bad{400, "Bad Request", {}, "bad request line\n"};
            std::string head = StatusHead(bad, static_cast<long long>(bad.body.size()), false);
            SendAll(fd, (head + bad.body).data(), head.size() + bad.body.size());
            return;
        }
        req.method = req.requestLine.substr(0, s1);
        req.target = req.requestLine.substr(s1 + 1, s2 - s1 - 1);
        req.version = req.requestLine.substr(s2 + 1);

        // A body (GETs have none) is read and dropped, within a bound.
        std::string lengthText = req.Header("Content-Length");
        if (!lengthText.empty()) {
            unsigned long long length = std::strtoull(lengthText.c_str(), nullptr, 10);
            if (length > kMaxRequestBody) return;
            while (buf.size() < length && !stopping_.load()) {
                pollfd p{fd, POLLIN, 0};
                if (poll(&p, 1, kPollMs) <= 0) continue;
                char chunk[8192];
                ssize_t n = recv(fd, chunk, sizeof chunk, 0);
                if (n <= 0) return;
                buf.append(chunk, static_cast<std::size_t>(n));
            }
            buf.erase(0, std::min<std::size_t>(buf.size(), length));
        }

        const std::string connection = Lower(req.Header("Connection"));
        bool keepAlive = req.version == "HTTP/1.1" ? connection != "close"
                                                   : connection == "keep-alive";
        HttpResponse resp = handler_(req);
        const bool open = Deliver(fd, req, resp, keepAlive && !resp.stopServer);
        if (resp.stopServer) Stop();
        if (!open || !keepAlive) return;
    }
}

bool HttpServer::Deliver(int fd, const HttpRequest& req, const HttpResponse& resp,
                         bool keepAlive) {
    const bool withBody = req.method != "HEAD";
    switch (resp.delivery) {
        case Delivery::Normal: {
            std::string out = StatusHead(resp, static_cast<long long>(resp.body.size()), keepAlive);
            if (withBody) out += resp.body;
            return SendAll(fd, out.data(), out.size());
        }
        case Delivery::Stall:
            WaitUntilClientLeaves(fd);
            return false;
        case Delivery::Trickle: {
            std::string out = StatusHead(resp, static_cast<long long>(resp.body.size()), false) + resp.body;
            for (char c : out) {
                if (!SendAll(fd, &c, 1)) return false;
                for (int waited = 0; waited < resp.intervalMs && !stopping_.load();
                     waited += 50)
                    std::this_thread::sleep_for(
                        std::chrono::milliseconds(std::min(50, resp.intervalMs - waited)));
                if (stopping_.load()) return false;
            }
            return false;
        }
        case Delivery::Huge: {
            std::string head = StatusHead(
                resp, resp.withoutLength ? -1 : static_cast<long long>(resp.size), false);
            if (!SendAll(fd, head.data(), head.size())) return false;
            const std::string block(64 * 1024, 'x');
            for (std::uint64_t sent = 0; sent < resp.size;) {
                std::size_t n = static_cast<std::size_t>(
                    std::min<std::uint64_t>(block.size(), resp.size - sent));
                if (!SendAll(fd, block.data(), n)) return false;
                sent += n;
            }
            return false;
        }
        case Delivery::Garbage:
            SendAll(fd, resp.body.data(), resp.body.size());
            return false;
        case Delivery::Truncate: {
            std::string out = StatusHead(resp, static_cast<long long>(resp.body.size()), false);
            out += resp.body.substr(0, resp.body.size() / 2);
            SendAll(fd, out.data(), out.size());
            return false;
        }
        case Delivery::Reset: {
            linger hard{1, 0};  // close() then sends RST instead of FIN
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            return false;
        }
    }
    return false;
}

bool HttpServer::SendAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        if (stopping_.load()) return false;
        pollfd p{fd, POLLOUT, 0};
        int r = poll(&p, 1, kPollMs);
        if (r == 0) continue;
        if (r < 0 || (p.revents & (POLLERR | POLLHUP))) return false;
        ssize_t n = send(fd, data + done, size - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool HttpServer::WaitUntilClientLeaves(int fd) {
    while (!stopping_.load()) {
        pollfd p{fd, POLLIN, 0};
        int r = poll(&p, 1, kPollMs);
        if (r < 0) return true;
        if (r == 0) continue;
        char chunk[4096];
        if (recv(fd, chunk, sizeof chunk, 0) <= 0) return true;  // client closed
    }
    return false;
}

}  // namespace fakestore
