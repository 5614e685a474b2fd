// Runs the simulated store as a child process on a free loopback port, for the
// length of one test, and reads back its request log.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/endpoints.h"

namespace velmora::testing {

// Reads one line (without its "\n") from `fd`, waiting at most `timeoutMs`
// in all; false on time-out, end of file or error.
bool ReadLineWithin(int fd, std::string& line, int timeoutMs);

// One logged request: its request line and its header lines, as sent.
struct LoggedRequest {
    std::string requestLine;
    std::vector<std::string> headers;
};

class FakeStoreProcess {
public:
    // Starts the store; Started() tells whether it printed its port in time.
    explicit FakeStoreProcess(const std::filesystem::path& workDir);
    ~FakeStoreProcess();
    FakeStoreProcess(const FakeStoreProcess&) = delete;
    FakeStoreProcess& operator=(const FakeStoreProcess&) = delete;

    bool Started() const { return port_ > 0; }
    int Port() const { return port_; }
    std::string Base() const;          // http://127.0.0.1:<port>
    Endpoints StoreEndpoints() const;  // every service pointed at the store

    // GET /__admin/set?sku=..&<query>; `query` is already percent-encoded.
    bool Set(const std::string& sku, const std::string& query) const;
    std::vector<LoggedRequest> Requests() const;

private:
    void Stop();

    std::filesystem::path logFile_;
    pid_t pid_ = -1;
    int output_ = -1;  // kept open, so the store never writes into a closed pipe
    int port_ = -1;
};

// A loopback port on which nothing listens (bound once, then released).
int UnusedPort();
// Percent-encodes every byte outside unreserved ASCII.
std::string PercentEncoded(const std::string& bytes);

}  // namespace velmora::testing
