// A loopback TCP server for the tests that sees every request head exactly as
// it arrived and answers with whatever bytes a test scripts, at any pace.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

class RawServer {
public:
    // Called once per request head on that connection's thread with the
    // connection's socket; returns true to keep the connection for another
    // request, false to close it.
    using Handler = std::function<bool(RawServer& server, int fd, const std::string& head)>;

    explicit RawServer(Handler handler);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    int Port() const { return port_; }
    std::string Url(const std::string& path) const;
    // Request heads received so far, in arrival order, each up to and with
    // its empty line.
    std::vector<std::string> Heads();
    // The first bytes of connections whose start was not a request head (a
    // TLS handshake, say).
    std::vector<std::string> OtherStarts();
    int Connections() const { return connections_; }

    // Sleeps up to `duration`, waking early when the server is being stopped,
    // so that stalling handlers never hold up a test's end.
    void Pause(std::chrono::milliseconds duration);
    bool Stopping() const { return stopping_; }

private:
    void AcceptLoop();
    void Serve(int fd);

    Handler handler_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::mutex mutex_;
    std::condition_variable stopped_;
    std::vector<std::string> heads_;
    std::vector<std::string> otherStarts_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

// Writes all of `bytes`; false when the peer is gone.
bool SendAll(int fd, const std::string& bytes);
// A whole answer with Content-Length.
std::string Answer(int status, const std::string& body, const std::string& extraHeaders = "");
// The request target of a request head ("/a?b" of "GET /a?b HTTP/1.1").
std::string TargetOf(const std::string& head);
// n bytes holding every byte value, 0 included, in an order set by seed.
std::string Pattern(size_t n, unsigned seed = 0);
// Makes the close after the handler returns a reset instead of an orderly end.
void ResetConnection(int fd);

}  // namespace velmora::test
