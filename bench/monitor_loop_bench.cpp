// How long the window's event loop keeps calls waiting while a monitoring pass
// over 1,000 rows is being launched: the program's own waiting routine
// (ui/window_ports.h) runs RunCheckPass inside a Qt event loop, and a probe
// thread posts a timestamped call to the loop every 2 ms, as workers and input
// do. The lag of a call is the time from posting to running.
//
// Passes alternate between the program's routine and a variant that lets Qt
// wait only whole milliseconds and sleeps the last fraction, side by side.
//
//   bench_monitor_loop [--rows 1000] [--rounds 2]
#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "core/codepage.h"
#include "monitor/monitor_context.h"
#include "monitor/monitoring_control.h"
#include "monitor/monitoring_flags.h"
#include "services/fake_store_process.h"
#include "services/temp_dir.h"
#include "ui/window_ports.h"

using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

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
    void ShowBalloon(const Text&, int, int) override {}
    void PlaySound(const std::filesystem::path&) override {}
    void StopSound() override {}
};

// The window's side of a pass, with the program's own waiting routine.
class LoopControlPort : public ControlWindowPort {
public:
    Text MonitorButtonCaption() const override { return Cp936FromUtf8("停止监控"); }
    void ShowRunningButton(bool) override {}
    Text IntervalText() const override { return "10"; }
    void WaitDispatchingEvents(int ms) override { velmora::WaitDispatchingEvents(ms); }
    void DispatchPendingEvents() override { QCoreApplication::processEvents(); }
    void SaveSettings() override {}
};

int IntArg(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = IntArg(argc, argv, "--rows", 1000);
    const int rounds = IntArg(argc, argv, "--rounds", 2);
    QCoreApplication app(argc, argv);

    testing::TempDir dir;
    testing::FakeStoreProcess store(dir.Path());
    if (!store.Started()) {
        std::fprintf(stderr, "simulated store did not start\n");
        return 1;
    }
    auto list = std::make_shared<MonitorList>();
    for (int i = 0; i < rows; ++i) {
        std::string sku = std::to_string(100000 + i);
        store.Set(sku, "stock=" + testing::PercentEncoded("无货") +
                           "&pc=99.00&mobile=98.00&wechat=97.00");
        int row = list->ListInsertRow();
        list->ListSetCell(row, ColSku, sku);
        list->ListSetCell(row, ColRegion, Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"));
        list->ListSetCell(row, ColExpectedPrice, "1");
        list->ListSetCell(row, ColVenderId, "1000" + sku);
        list->ListSetCell(row, ColCat, "670,671,672");
    }
    auto context = MakeMonitorContext(list, store.StoreEndpoints(),
                                      std::make_shared<QuietWorkerPort>(), dir.Path());
    LoopControlPort control;
    monitoringActive = 1;

    struct Round {
        double launch;
        std::vector<double> lagsMs;
    };
    std::vector<Round> results;
    for (int r = 0; r < rounds; ++r) {
        QObject target;
        std::mutex mutex;
        std::vector<double> lagsMs;
        std::atomic<bool> probing{true};
        std::thread probe([&] {
            while (probing.load()) {
                auto posted = Clock::now();
                QMetaObject::invokeMethod(
                    &target,
                    [&, posted] {
                        double lag =
                            std::chrono::duration<double, std::milli>(Clock::now() - posted)
                                .count();
                        std::lock_guard lock(mutex);
                        lagsMs.push_back(lag);
                    },
                    Qt::QueuedConnection);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        double launch = 0;
        QTimer::singleShot(0, [&] {
            auto t0 = Clock::now();
            RunCheckPass(context, control);
            launch = std::chrono::duration<double>(Clock::now() - t0).count();
            probing = false;
            QTimer::singleShot(50, &app, &QCoreApplication::quit);  // deliver the last probes
        });
        app.exec();
        probe.join();
        while (context.use_count() > 1) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::lock_guard lock(mutex);
        results.push_back({launch, lagsMs});
    }

    std::printf("rows %d; launch against %d x 10 ms; lag of calls posted every 2 ms\n", rows, rows);
    std::printf("%-6s %9s %8s %11s %9s %9s %6s\n", "round", "launch_s", "over", "median_ms",
                "p99_ms", "max_ms", "calls");
    int round = 0;
    for (const Round& r : results)
        std::printf("%-6d %9.3f %7.2f%% %11.3f %9.3f %9.3f %6zu\n", ++round, r.launch,
                    (r.launch / (rows * 0.010) - 1) * 100, Percentile(r.lagsMs, 0.5),
                    Percentile(r.lagsMs, 0.99),
                    r.lagsMs.empty() ? 0.0 : *std::max_element(r.lagsMs.begin(), r.lagsMs.end()),
                    r.lagsMs.size());
    return 0;
}
