// Checks per second and CPU time per check of QueryItem against the simulated
// store, side by side with a Python checker (requests.Session) making the same
// four requests and cutting the same markers. Only each client's own CPU time
// is counted (getrusage here, time.process_time in Python); the store runs in
// its own process.
//
//   bench_services [--checks N] [--rounds R]
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "net/http_get.h"
#include "services/item_query.h"

namespace {

using velmora::Text;

struct Figures {
    int checks = 0;
    int ok = 0;
    double cpuSeconds = 0;
    double userSeconds = 0;  // C++ only: the user part of cpuSeconds
    double wallSeconds = 0;
};

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Starts the store on a free port; returns its pid and fills `port`.
pid_t StartStore(int& port, int& output) {
    int out[2];
    if (pipe(out) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(FAKE_STORE_PATH, FAKE_STORE_PATH, "--port", "0", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    output = out[0];
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
        char c;
        if (read(out[0], &c, 1) != 1) break;
        if (c != '\n') {
            line.push_back(c);
            continue;
        }
        if (line.rfind("port ", 0) == 0) {
            port = std::atoi(line.c_str() + 5);
            return pid;
        }
        line.clear();
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

void StopStore(pid_t pid, const Text& base) {
    velmora::HttpGet(base + "/__admin/quit");
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(20000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

Figures RunCpp(const velmora::ItemCells& row, const velmora::Endpoints& endpoints, int checks) {
    for (int i = 0; i < 20; ++i) velmora::QueryItem(row, endpoints);  // warm-up
    Figures f;
    f.checks = checks;
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto wall0 = std::chrono::steady_clock::now();
    for (int i = 0; i < checks; ++i) {
        if (!velmora::QueryItem(row, endpoints).stockState.empty()) ++f.ok;
    }
    f.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    getrusage(RUSAGE_SELF, &after);
    f.userSeconds = Seconds(after.ru_utime) - Seconds(before.ru_utime);
    f.cpuSeconds = f.userSeconds + Seconds(after.ru_stime) - Seconds(before.ru_stime);
    return f;
}

double JsonNumber(const std::string& json, const char* key) {
    const std::string marker = std::string("\"") + key + "\": ";
    const size_t at = json.find(marker);
    return at == std::string::npos ? -1 : std::atof(json.c_str() + at + marker.size());
}

Figures RunPython(const Text& base, int checks) {
    const std::string command = "/usr/bin/python3 " SERVICES_CHECKER_PY " --base " + base +
                                " --checks " + std::to_string(checks);
    Figures f;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return f;
    std::string out;
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    if (pclose(pipe) != 0) return f;
    f.checks = static_cast<int>(JsonNumber(out, "checks"));
    f.ok = static_cast<int>(JsonNumber(out, "ok"));
    f.cpuSeconds = JsonNumber(out, "cpu_s");
    f.wallSeconds = JsonNumber(out, "wall_s");
    return f;
}

void Print(const char* who, const Figures& f) {
    std::printf("%-8s %7d %6d %12.1f %12.1f %14.1f\n", who, f.checks, f.ok,
                f.checks / f.wallSeconds, f.wallSeconds * 1e6 / f.checks,
                f.cpuSeconds * 1e6 / f.checks);
}

}  // namespace

int main(int argc, char** argv) {
    int checks = 2000;
    int rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--checks") == 0) checks = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    int port = 0, output = -1;
    const pid_t store = StartStore(port, output);
    if (store < 0) {
        std::fprintf(stderr, "bench_services: the simulated store did not start\n");
        return 1;
    }
    const Text base = "http://127.0.0.1:" + std::to_string(port);
    velmora::Endpoints endpoints;
    endpoints.stockServiceBase = endpoints.priceServiceBase = endpoints.promoServiceBase =
        endpoints.mobilePriceServiceBase = base;
    const velmora::ItemCells row{"1743535",
                                 velmora::Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"),
                                 "1000000127", "737,752,753"};

    std::printf("QueryItem vs Python requests.Session, %d checks per run, %d rounds\n", checks,
                rounds);
    std::printf("%-8s %7s %6s %12s %12s %14s\n", "client", "checks", "ok", "checks/s",
                "wall us/chk", "CPU us/check");
    std::vector<double> ratios;
    bool allOk = true;
    for (int r = 0; r < rounds; ++r) {
        const Figures cpp = RunCpp(row, endpoints, checks);
        const Figures py = RunPython(base, checks);
        Print("C++", cpp);
        Print("Python", py);
        std::printf("round %d: C++ CPU per check = %.1f us user + %.1f us system\n", r + 1,
                    cpp.userSeconds * 1e6 / cpp.checks,
                    (cpp.cpuSeconds - cpp.userSeconds) * 1e6 / cpp.checks);
        allOk = allOk && cpp.ok == checks && py.ok == checks;
        if (cpp.cpuSeconds > 0 && py.cpuSeconds > 0) {
            const double ratio = (py.cpuSeconds / py.checks) / (cpp.cpuSeconds / cpp.checks);
            std::printf("round %d: Python CPU per check / C++ CPU per check = %.1f\n", r + 1,
                        ratio);
            ratios.push_back(ratio);
        }
    }
    StopStore(store, base);
    close(output);
    if (ratios.empty() || !allOk) {
        std::fprintf(stderr, "bench_services: some checks failed\n");
        return 1;
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median CPU ratio (Python / C++): %.1f\n", ratios[ratios.size() / 2]);
    return 0;
}
