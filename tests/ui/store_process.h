// Test helpers: a temporary program directory and the simulated store run as
// a child process on a free loopback port, ended when the helper goes.
#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-ui-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteWhole(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class StoreProcess {
public:
    explicit StoreProcess(const std::filesystem::path& logFile, const std::string& scenario = "")
        : log_(logFile) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe failed");
        pid_ = fork();
        if (pid_ == 0) {
            // Ends with the test even when the test dies without cleaning up.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<std::string> args = {FAKE_STORE_PATH, "--port", "0", "--log",
                                             log_.string()};
            if (!scenario.empty()) {
                args.push_back("--scenario");
                args.push_back(scenario);
            }
            std::vector<char*> argv;
            for (std::string& arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        FILE* stream = fdopen(out[0], "r");
        char line[64] = {};
        if (!stream || !std::fgets(line, sizeof line, stream) ||
            std::sscanf(line, "port %d", &port_) != 1) {
            if (stream) std::fclose(stream);
            Stop();
            throw std::runtime_error("the simulated store did not start");
        }
        std::fclose(stream);
    }
    ~StoreProcess() { Stop(); }

    int port() const { return port_; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // The request lines ("GET /path HTTP/1.1") logged so far.
    std::vector<std::string> Requests() const {
        std::vector<std::string> lines;
        std::istringstream in(ReadWhole(log_));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("GET ", 0) == 0) lines.push_back(line);
        }
        return lines;
    }
    int CountRequests(const std::string& part) const {
        int n = 0;
        for (const std::string& line : Requests()) n += line.find(part) != std::string::npos;
        return n;
    }
    // endpoints.ini pointing every setting at this store.
    void WriteEndpoints(const std::filesystem::path& programDir) const {
        const std::string b = base();
        std::string ini = "[endpoints]\n";
        for (const char* key : {"StockServiceBase", "PriceServiceBase", "PromoServiceBase",
                                "MobilePriceServiceBase", "ProductPageBase", "MobilePageBase",
                                "WechatShopBase", "DistrictServiceBase", "QrServiceBase"}) {
            ini += std::string(key) + "=" + b + "\n";
        }
        ini += "MailServerHost=127.0.0.1:1\n";
        ini += "MakerHomeUrl=" + b + "/\n";
        ini += "MakerFeedbackUrl=" + b + "/feedback\n";
        ini += "BannerImageUrl=" + b + "/banner.png\n";
        WriteWhole(programDir / "endpoints.ini", ini);
    }

private:
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    std::filesystem::path log_;
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace velmora::testing
