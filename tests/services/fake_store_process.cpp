#include "fake_store_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "net/http_get.h"

namespace velmora::testing {

bool ReadLineWithin(int fd, std::string& line, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    line.clear();
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        char c;
        if (read(fd, &c, 1) != 1) return false;
        if (c == '\n') return true;
        line.push_back(c);
    }
}

FakeStoreProcess::FakeStoreProcess(const std::filesystem::path& workDir)
    : logFile_(workDir / "fake_store.log") {
    int out[2];
    if (pipe(out) != 0) return;
#ifdef FAKE_STORE_PATH
    const std::string exe = FAKE_STORE_PATH;
#else
    const std::string exe;
#endif
    const std::string log = logFile_.string();
    pid_ = fork();
    if (pid_ == 0) {
        // A test killed by its time limit must not leave the store running.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(exe.c_str(), exe.c_str(), "--port", "0", "--log", log.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    while (pid_ > 0 && ReadLineWithin(out[0], line, 10000)) {
        if (line.rfind("port ", 0) == 0) {
            port_ = std::stoi(line.substr(5));
            break;
        }
    }
    output_ = out[0];
}

FakeStoreProcess::~FakeStoreProcess() { Stop(); }

void FakeStoreProcess::Stop() {
    if (pid_ <= 0) {
        if (output_ >= 0) close(output_);
        output_ = -1;
        return;
    }
    if (port_ > 0) HttpGet(Base() + "/__admin/quit");
    // Give the store a moment to leave by itself, then end it.
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    close(output_);
    output_ = -1;
}

std::string FakeStoreProcess::Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

Endpoints FakeStoreProcess::StoreEndpoints() const {
    Endpoints e;
    const std::string base = Base();
    e.stockServiceBase = e.priceServiceBase = e.promoServiceBase = e.mobilePriceServiceBase = base;
    e.productPageBase = e.mobilePageBase = e.wechatShopBase = base;
    e.districtServiceBase = e.qrServiceBase = base;
    e.makerHomeUrl = e.makerFeedbackUrl = base;
    e.bannerImageUrl = base + "/banner.png";
    return e;
}

bool FakeStoreProcess::Set(const std::string& sku, const std::string& query) const {
    return !HttpGet(Base() + "/__admin/set?sku=" + PercentEncoded(sku) + "&" + query).empty();
}

std::vector<LoggedRequest> FakeStoreProcess::Requests() const {
    std::ifstream in(logFile_, std::ios::binary);
    std::vector<LoggedRequest> requests;
    std::string line;
    bool inBlock = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            inBlock = false;
            continue;
        }
        if (!inBlock) {
            requests.push_back({line, {}});
            inBlock = true;
        } else {
            requests.back().headers.push_back(line);
        }
    }
    return requests;
}

int UnusedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t length = sizeof addr;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
        port = ntohs(addr.sin_port);
    }
    close(fd);
    return port;
}

std::string PercentEncoded(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace velmora::testing
