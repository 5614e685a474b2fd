// The real window monitoring against a store that answers the four check
// requests in hostile ways: the window keeps answering, every check worker
// ends within the network limits, memory stays bounded, and checks come right
// once the store behaves again.
#include <cstdio>

#include "hostile_fixture.h"

namespace velmora::testing {
namespace {

// The window's thread may be busy this long at most (a start launches each
// row's check 100 ms apart while it dispatches events).
constexpr qint64 kLagLimitMs = 2000;
// Resident memory at its peak, with a 100 MiB answer on offer to every
// check at once.
constexpr long kPeakMemoryLimitMiB = 150;
// Threads Qt or libcurl may keep beyond those of the first quiet moment.
constexpr long kSpareThreads = 2;

enum class Outcome {
    kNoResult,    // while it lasts no check may report a result
    kSlowResult,  // checks still succeed, slowly
    kAny,         // random bytes may happen to hold the markers
};

struct HostileCase {
    const char* name;
    std::vector<std::string> paths;
    std::string mode;  // mode and its parameters, as the admin call takes them
    Outcome outcome;
    int holdMs;         // how long monitoring runs against it
    int settleLimitMs;  // every worker has ended this long after the stop
};

class HostileStore : public HostileWindow {
protected:
    void SetUp() override {
        HostileWindow::SetUp();
        // 100012043978 has a mobile price, 1743535 has none.
        WriteRecords({Row("1743535"), Row("100012043978")});
        Start();
        // A first, normal round sets the quiet thread count.
        StartMonitoring();
        ASSERT_TRUE(QTest::qWaitFor([&] { return AllRowsChecked(); }, 10000));
        StopMonitoring();
        QTest::qWait(500);
        baseline_ = soak::ReadProcStatus().threads;
    }

    void Run(const HostileCase& c, const char* addedSku) {
        SCOPED_TRACE(c.name);
        SetMode(c.paths, c.mode);
        ClearResults();
        qint64 lag = 0;
        {
            LagProbe probe;
            StartMonitoring();
            QTest::qWait(c.holdMs / 2);
            // Another handler works while checks are held up.
            EXPECT_TRUE(AddThroughTheButton(addedSku));
            QTest::qWait(c.holdMs / 2);
            lag = probe.WorstMs();
        }
        EXPECT_LT(lag, kLagLimitMs);
        if (c.outcome == Outcome::kNoResult) {
            EXPECT_FALSE(AnyPriceFilled()) << "a failed check reported prices";
        }
        if (c.outcome == Outcome::kSlowResult) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return AnyPriceFilled(); }, 20000));
        }
        StopMonitoring();
        const qint64 settle = WaitForThreadsAtMost(baseline_ + kSpareThreads, c.settleLimitMs);
        EXPECT_GE(settle, 0) << "check workers still running " << c.settleLimitMs
                             << " ms after stop";
        const soak::ProcStatus status = soak::ReadProcStatus();
        EXPECT_LT(status.peakRssKiB / 1024, kPeakMemoryLimitMiB);

        // The store behaves again: the next round fills every row.
        SetMode(c.paths, "normal");
        ClearResults();
        StartMonitoring();
        EXPECT_TRUE(QTest::qWaitFor([&] { return AllRowsChecked(); }, 10000))
            << "checks did not recover";
        StopMonitoring();
        EXPECT_GE(WaitForThreadsAtMost(baseline_ + kSpareThreads, 10000), 0);
        std::printf(
            "[hostile] %-22s lag %5lld ms, workers ended %6lld ms after stop, "
            "peak %4ld MiB\n",
            c.name, static_cast<long long>(lag), static_cast<long long>(settle),
            status.peakRssKiB / 1024);
    }

    long baseline_ = 0;
};

TEST_F(HostileStore, FailingAnswersLeaveTheWindowWorkingAndChecksRecover) {
    const int hold = 3000;
    const HostileCase cases[] = {
        {"huge", kCheckPaths, "huge&size=104857600", Outcome::kNoResult, hold, 15000},
        {"huge-unsized", kCheckPaths, "huge&size=104857600&length=none", Outcome::kNoResult, hold,
         15000},
        {"junk", kCheckPaths, "junk", Outcome::kAny, hold, 10000},
        {"garbage", kCheckPaths, "garbage", Outcome::kNoResult, hold, 10000},
        {"truncate", kCheckPaths, "truncate", Outcome::kNoResult, hold, 10000},
        {"redirectloop", kCheckPaths, "redirectloop", Outcome::kNoResult, hold, 10000},
        {"reset", kCheckPaths, "reset", Outcome::kNoResult, hold, 10000},
    };
    int added = 0;
    for (const HostileCase& c : cases) {
        Run(c, std::to_string(7000000 + added++).c_str());
        if (HasFatalFailure()) return;
    }
}

TEST_F(HostileStore, SlowAnswersHoldNoWorkerBeyondTheNetLimits) {
    const HostileCase cases[] = {
        // Every stock answer stalls: each worker gives up at the 30 s stall limit.
        {"stall", {"/stock"}, "stall", Outcome::kNoResult, 4000, 45000},
        // Byte by byte, yet within the limits: slow, but the checks succeed.
        {"trickle", kCheckPaths, "trickle&interval_ms=5", Outcome::kSlowResult, 4000, 30000},
    };
    int added = 0;
    for (const HostileCase& c : cases) {
        Run(c, std::to_string(7100000 + added++).c_str());
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace velmora::testing
