// A small HTTP/1.1 server on 127.0.0.1: one thread per connection, keep-alive,
// and the raw request line and header lines kept exactly as they arrived.
// The store needs the raw bytes (for its request log and for the QR text, which
// is everything after "&text=" undecoded), so it does not use a library parser.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fakestore {

struct HttpRequest {
    std::string requestLine;               // as received, without its line end
    std::string method, target, version;   // the three parts of the request line
    std::vector<std::string> headerLines;  // in arrival order, without line ends
    std::string Path() const;              // target up to "?", undecoded
    std::string Query() const;             // target after the first "?", undecoded
    std::string Header(const std::string& name) const;  // first value, name without case
};

// How the answer travels: normally, or in one of the hostile ways used by
// reliability tests.
enum class Delivery {
    Normal,
    Stall,      // answer nothing; hold the connection until the client leaves
    Trickle,    // the normal answer, one byte per interval
    Huge,       // a 200 whose body is `size` bytes, streamed
    Garbage,    // bytes that are not HTTP at all, then close
    Truncate,   // headers promise the whole body, half of it is sent, then close
    Reset,      // the connection is reset without an answer
};

struct HttpResponse {
    int status = 200;
    std::string reason = "OK";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    Delivery delivery = Delivery::Normal;
    int intervalMs = 1000;        // Trickle
    std::uint64_t size = 0;       // Huge
    bool withoutLength = false;   // Huge: no Content-Length, the body ends at close
    bool stopServer = false;      // stop serving once this answer is out
};

using Handler = std::function<HttpResponse(const HttpRequest&)>;

class HttpServer {
public:
    explicit HttpServer(Handler handler);
    ~HttpServer();
    // Binds 127.0.0.1:port (0 picks a free port); returns the bound port or -1.
    int Listen(int port);
    // Serves until Stop(); then waits a short while for open connections to end.
    void Run();
    // Safe from a signal handler and from any thread.
    void Stop();
    bool Stopping() const { return stopping_.load(); }

private:
    void ServeConnection(int fd);
    bool Deliver(int fd, const HttpRequest& req, const HttpResponse& resp, bool keepAlive);
    bool SendAll(int fd, const char* data, std::size_t size);
    bool WaitUntilClientLeaves(int fd);

    Handler handler_;
    int listenFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
};

}  // namespace fakestore
