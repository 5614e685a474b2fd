// Cost of HttpGet's fresh easy handle per call against one easy handle kept
// for every call (keep-alive), both against a loopback server, side by side.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include "net/http_get.h"

namespace velmora {
namespace {

constexpr int kCalls = 1000;

// About the size of a price or stock answer.
const std::string kBody(300, 'p');

std::string gUrl;

size_t Collect(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

void BM_HttpGet(benchmark::State& state) {
    for (auto _ : state) {
        const Bytes body = HttpGet(gUrl);
        if (body.size() != kBody.size()) state.SkipWithError("wrong body");
    }
}

// The same request on one handle that keeps its connection open.
void BM_ReusedEasyHandle(benchmark::State& state) {
    CURL* easy = curl_easy_init();
    curl_slist* headers = nullptr;
    for (const std::string& line :
         {std::string("Accept: */*"), "Referer: " + gUrl, std::string("Accept-Language: zh-cn"),
          std::string("Content-Type: application/x-www-form-urlencoded"),
          std::string("User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)")}) {
        headers = curl_slist_append(headers, line.c_str());
    }
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, gUrl.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    for (auto _ : state) {
        body.clear();
        if (curl_easy_perform(easy) != CURLE_OK || body.size() != kBody.size()) {
            state.SkipWithError("transfer failed");
        }
    }
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
}

BENCHMARK(BM_HttpGet)->Iterations(kCalls)->Repetitions(7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReusedEasyHandle)->Iterations(kCalls)->Repetitions(7)->Unit(benchmark::kMicrosecond);

// Prints as usual and keeps each benchmark's median for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") {
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> medians;
};

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    httplib::Server server;
    server.set_keep_alive_max_count(1000000);
    server.set_tcp_nodelay(true);  // else Nagle and delayed ACKs stall kept-alive answers
    server.Get("/stock", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(velmora::kBody, "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    velmora::gUrl = "http://127.0.0.1:" + std::to_string(port) + "/stock?skuId=100012043978";

    // Both benchmarks take turns, so a slow moment of the machine hits both.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.push_back(interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    velmora::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double fresh = reporter.medians["BM_HttpGet"];
    const double reused = reporter.medians["BM_ReusedEasyHandle"];
    if (fresh > 0 && reused > 0) {
        std::printf("\n%d calls: HttpGet %.1f ms, reused easy handle %.1f ms, ratio %.2f\n",
                    velmora::kCalls, fresh * velmora::kCalls / 1000.0,
                    reused * velmora::kCalls / 1000.0, fresh / reused);
    }
    server.stop();
    serving.join();
    return 0;
}
