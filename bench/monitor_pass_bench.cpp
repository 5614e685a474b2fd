// Monitoring passes over 1,000 rows against the simulated store on loopback,
// driven through RunCheckPass with a window port whose waits really wait.
//
// Figures: wall time to launch a pass against the 1,000 x 10 ms the waits
// alone take, CPU time per check, peak live worker threads, peak memory.
//
//   bench_monitor_pass [--rows 1000] [--passes 3] [--interval 10] [--trickle-ms 0]
//
// --trickle-ms N makes the store send its stock answers one byte every N ms,
// so checks last seconds and the workers of a pass pile up.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/codepage.h"
#include "monitor/monitor_context.h"
#include "monitor/monitoring_control.h"
#include "monitor/monitoring_flags.h"
#include "net/http_get.h"
#include "services/fake_store_process.h"
#include "services/temp_dir.h"

using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

// Worker-side calls of the window; the benchmark's products never alert, so
// only the switches and the mail edits are ever read.
class QuietWorkerPort : public WorkerWindowPort {
public:
    AlertSwitches Switches() const override {
        AlertSwitches s;
        s.stockHalt = s.soundAlert = s.mailAlert = false;
        return s;
    }
    MailSettings Mail() const override { return {}; }
    ScreenSize PrimaryScreen() const override { return {1920, 1080}; }
    void SetTimerPeriod(int) override {}
    void ShowBalloon(const Text&, int, int) override { balloons.fetch_add(1); }
    void PlaySound(const std::filesystem::path&) override {}
    void StopSound() override {}
    std::atomic<int> balloons{0};
};

// The window's side: waits sleep until their deadline, as a window keeps
// dispatching events until its tick count has passed.
class SleepingControlPort : public ControlWindowPort {
public:
    Text MonitorButtonCaption() const override { return Cp936FromUtf8("停止监控"); }
    void ShowRunningButton(bool) override {}
    Text IntervalText() const override { return "10"; }
    void WaitDispatchingEvents(int ms) override {
        std::this_thread::sleep_until(Clock::now() + std::chrono::milliseconds(ms));
    }
    void DispatchPendingEvents() override {}
    void SaveSettings() override {}
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long StatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(key), nullptr, 10);
    return -1;
}

int IntArg(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = IntArg(argc, argv, "--rows", 1000);
    const int passes = IntArg(argc, argv, "--passes", 3);
    const int interval = IntArg(argc, argv, "--interval", 10);
    const int trickleMs = IntArg(argc, argv, "--trickle-ms", 0);

    testing::TempDir dir;
    testing::FakeStoreProcess store(dir.Path());
    if (!store.Started()) {
        std::fprintf(stderr, "simulated store did not start\n");
        return 1;
    }
    auto list = std::make_shared<MonitorList>();
    const std::string outOfStock = testing::PercentEncoded("无货");  // the store takes UTF-8
    for (int i = 0; i < rows; ++i) {
        std::string sku = std::to_string(100000 + i);
        // Out of stock and dearer than expected: every check runs in full, none alerts.
        store.Set(sku, "stock=" + outOfStock + "&pc=99.00&mobile=98.00&wechat=97.00");
        int row = list->ListInsertRow();
        list->ListSetCell(row, ColSku, sku);
        list->ListSetCell(row, ColRegion, Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"));
        list->ListSetCell(row, ColExpectedPrice, "1");
        list->ListSetCell(row, ColVenderId, "1000" + sku);
        list->ListSetCell(row, ColCat, "670,671,672");
    }
    if (trickleMs > 0 &&
        HttpGet(store.Base() +
                "/__admin/mode?path=/stock&mode=trickle&interval_ms=" + std::to_string(trickleMs))
            .empty()) {
        std::fprintf(stderr, "store refused the trickle mode\n");
        return 1;
    }
    auto port = std::make_shared<QuietWorkerPort>();
    auto context = MakeMonitorContext(list, store.StoreEndpoints(), port, dir.Path());
    SleepingControlPort control;
    monitoringActive = 1;

    // Live workers are the holders of the context besides this function.
    std::atomic<bool> sampling{true};
    std::atomic<long> peakWorkers{0};
    std::atomic<double> samplerCpu{0};
    std::thread sampler([&] {
        while (sampling.load()) {
            long live = context.use_count() - 1;
            if (live > peakWorkers.load()) peakWorkers.store(live);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        rusage u{};
        getrusage(RUSAGE_THREAD, &u);  // its own CPU, kept out of the checks' figure
        samplerCpu =
            u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    });

    const double mandated = rows * 0.010;
    std::printf(
        "rows %d, interval %d s, %d passes, stock answers trickled %d ms/byte; "
        "mandated launch time %.3f s\n",
        rows, interval, passes, trickleMs, mandated);
    // Passes follow the timer, not the workers: a pass starts at its firing
    // even while workers of earlier passes still run, as in the program.
    std::printf("pass  launch_s  over_mandated\n");
    double cpu0 = CpuSeconds();
    auto t0 = Clock::now();
    auto nextFiring = t0;
    double worstOver = 0;
    for (int p = 1; p <= passes; ++p) {
        std::this_thread::sleep_until(nextFiring);  // the timer fires
        nextFiring += std::chrono::seconds(interval);
        auto start = Clock::now();
        RunCheckPass(context, control);
        double launch = std::chrono::duration<double>(Clock::now() - start).count();
        worstOver = std::max(worstOver, launch / mandated - 1);
        std::printf("%4d  %8.3f  %12.2f%%\n", p, launch, (launch / mandated - 1) * 100);
        std::fflush(stdout);
        if (nextFiring < Clock::now()) nextFiring = Clock::now();  // a late timer fires once
    }
    while (context.use_count() > 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    double total = std::chrono::duration<double>(Clock::now() - t0).count();
    sampling = false;
    sampler.join();
    double cpu = CpuSeconds() - cpu0 - samplerCpu.load();

    int checked = 0;
    for (int r = 0; r < rows; ++r) checked += list->ListGetCell(r, ColPricePc) == "99.00";
    std::printf("worst launch over mandated %.2f%%\n", worstOver * 100);
    std::printf("all checks done after %.3f s; CPU per check %.1f us (whole process, %d checks)\n",
                total, cpu / (static_cast<double>(rows) * passes) * 1e6, rows * passes);
    // The launching thread's own copy of a worker's state shows as one extra
    // holder for a moment, so the figure can read one above the true count.
    std::printf("peak live workers %ld\n", peakWorkers.load());
    std::printf("rows with results %d of %d, balloons %d\n", checked, rows, port->balloons.load());
    std::printf("peak memory (VmHWM) %.1f MB\n", StatusKb("VmHWM:") / 1024.0);
    return checked == rows ? 0 : 1;
}
