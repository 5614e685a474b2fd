// Cost of HttpGet's fresh easy handle per call against one easy handle kept
// for every call (keep-alive), both against a loopback server. The two take
// turns in rounds of 1,000 calls each. Wall time on a shared machine jumps
// when other work takes the cores, so the summary gives the fastest round of
// each (the cost without interference) and the calling thread's CPU time,
// which other processes do not inflate.
#include <curl/curl.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "net/http_get.h"

namespace velmora {
namespace {

constexpr int kCalls = 1000;
constexpr int kRounds = 11;

// About the size of a price or stock answer.
const std::string kBody(300, 'p');

using Clock = std::chrono::steady_clock;

size_t Collect(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall and calling-thread CPU milliseconds of one batch of calls.
struct Cost {
    double wall = 0;
    double cpu = 0;
};

class Stopwatch {
public:
    Cost Read() const {
        return {std::chrono::duration<double, std::milli>(Clock::now() - wall_).count(),
                ThreadCpuMs() - cpu_};
    }

private:
    Clock::time_point wall_ = Clock::now();
    double cpu_ = ThreadCpuMs();
};

Cost FreshCalls(const std::string& url) {
    const Stopwatch watch;
    for (int i = 0; i < kCalls; ++i) {
        if (HttpGet(url).size() != kBody.size()) {
            std::fprintf(stderr, "HttpGet: wrong body\n");
            std::exit(1);
        }
    }
    return watch.Read();
}

// The same request on one handle that keeps its connection open.
Cost ReusedHandleCalls(const std::string& url) {
    CURL* easy = curl_easy_init();
    curl_slist* headers = nullptr;
    for (const std::string& line :
         {std::string("Accept: */*"), "Referer: " + url, std::string("Accept-Language: zh-cn"),
          std::string("Content-Type: application/x-www-form-urlencoded"),
          std::string("User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)")}) {
        headers = curl_slist_append(headers, line.c_str());
    }
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    const Stopwatch watch;
    for (int i = 0; i < kCalls; ++i) {
        body.clear();
        if (curl_easy_perform(easy) != CURLE_OK || body.size() != kBody.size()) {
            std::fprintf(stderr, "reused handle: transfer failed\n");
            std::exit(1);
        }
    }
    const Cost took = watch.Read();
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
    return took;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace
}  // namespace velmora

int main() {
    using namespace velmora;
    httplib::Server server;
    server.set_keep_alive_max_count(1000000);
    server.set_tcp_nodelay(true);  // else Nagle and delayed ACKs stall kept-alive answers
    server.Get("/stock", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(kBody, "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    const std::string url =
        "http://127.0.0.1:" + std::to_string(port) + "/stock?skuId=100012043978";

    FreshCalls(url);  // warm-up: libcurl initialised, server threads started
    std::vector<double> freshWall, reusedWall, cpuRatios;
    std::printf("round  wall ms: HttpGet  reused   cpu ms: HttpGet  reused\n");
    for (int round = 0; round < kRounds; ++round) {
        // Alternate which goes first so neither always runs on a warmer machine.
        Cost a, b;
        if (round % 2 == 0) {
            a = FreshCalls(url);
            b = ReusedHandleCalls(url);
        } else {
            b = ReusedHandleCalls(url);
            a = FreshCalls(url);
        }
        freshWall.push_back(a.wall);
        reusedWall.push_back(b.wall);
        cpuRatios.push_back(a.cpu / b.cpu);
        std::printf("%5d  %16.1f  %6.1f  %15.1f  %6.1f\n", round + 1, a.wall, b.wall, a.cpu, b.cpu);
    }
    const double bestFresh = *std::min_element(freshWall.begin(), freshWall.end());
    const double bestReused = *std::min_element(reusedWall.begin(), reusedWall.end());
    std::printf(
        "\n%d calls, fastest of %d rounds: HttpGet %.1f ms, reused easy handle %.1f ms, "
        "ratio %.2f\n",
        kCalls, kRounds, bestFresh, bestReused, bestFresh / bestReused);
    std::printf("calling thread's CPU time, median ratio of the rounds: %.2f\n", Median(cpuRatios));
    server.stop();
    serving.join();
    return 0;
}
