// Starting, stopping and timer passes, with recording window ports, a real
// list and the simulated store.
#include <gtest/gtest.h>

#include <climits>

#include "monitor/monitoring_control.h"
#include "test_check_fixture.h"

namespace velmora::testing {
namespace {

class ControlFixture : public MonitorFixture {
protected:
    void SetUp() override {
        MonitorFixture::SetUp();
        monitoringActive = 0;
    }
    RecordingControlPort control{log};
};

TEST(TimerPeriod, IntervalTextToMilliseconds) {
    const std::pair<const char*, int> cases[] = {
        {"10", 10000},    {"2.5", 2500}, {"abc", 0},         {"", 0},
        {"0", 0},         {"0.0005", 0}, {"0.001", 1},       {"-3", 0},
        {"1.9999", 1999}, {"5s", 5000},  {"1e400", INT_MAX}, {"3e6", INT_MAX},
    };
    for (const auto& [text, period] : cases) EXPECT_EQ(TimerPeriodFor(text), period) << text;
    // Full-width digits read like ASCII ones.
    EXPECT_EQ(TimerPeriodFor(G("１２")), 12000);
}

TEST_F(ControlFixture, StartWithEmptyListSetsStateAndSaves) {
    mailDone = 1;
    mailAttempts = 10;
    control.interval = "2.5";

    ToggleMonitoring(context, control);

    EXPECT_EQ(control.MonitorButtonCaption(), G("停止监控"));
    EXPECT_EQ(monitoringActive.load(), 1);
    EXPECT_EQ(mailDone.load(), 0);
    EXPECT_EQ(mailAttempts.load(), 0);
    EXPECT_EQ(log.Events(), (std::vector<std::string>{"button:running", "timer:2500", "save"}));
}

TEST_F(ControlFixture, FirstPassStartsEveryRowThenRenumbersThenSaves) {
    for (const char* sku : {"11", "12", "13"}) {
        SetProduct(sku, "无货", "20", "20", "20");
        AddRow(sku, "5");
    }
    list->ListSetCell(0, ColIndex, "7");
    control.interval = "abc";
    std::vector<Text> indexSeenInWaits;
    control.onWait = [&](int) { indexSeenInWaits.push_back(list->ListGetCell(2, ColIndex)); };
    std::vector<Text> indexSeenAtSave;
    control.onSave = [&] {
        for (int r = 0; r < 3; ++r) indexSeenAtSave.push_back(list->ListGetCell(r, ColIndex));
    };

    ToggleMonitoring(context, control);

    EXPECT_EQ(log.Events(),
              (std::vector<std::string>{"button:running", "timer:0", "wait:100", "dispatch",
                                        "wait:100", "dispatch", "wait:100", "dispatch", "save"}));
    // Rows are numbered only after the first pass was launched.
    EXPECT_EQ(indexSeenInWaits, (std::vector<Text>{"", "", ""}));
    EXPECT_EQ(indexSeenAtSave, (std::vector<Text>{"1", "2", "3"}));
    ASSERT_TRUE(WorkersDone());
    for (const char* sku : {"11", "12", "13"}) EXPECT_EQ(StockRequests(sku), 1) << sku;
    for (int r = 0; r < 3; ++r) EXPECT_EQ(list->ListGetCell(r, ColStatus), G("无货"));
}

TEST_F(ControlFixture, StopClearsTimerButtonFlagAndSoundKeepsMailCounters) {
    ToggleMonitoring(context, control);
    mailDone = 1;
    mailAttempts = 4;
    AddRow("21", "5");
    log.Clear();

    ToggleMonitoring(context, control);

    EXPECT_EQ(log.Events(),
              (std::vector<std::string>{"timer:0", "button:stopped", "stop-sound", "save"}));
    EXPECT_EQ(control.MonitorButtonCaption(), G("开始监控"));
    EXPECT_EQ(monitoringActive.load(), 0);
    EXPECT_EQ(mailDone.load(), 1);
    EXPECT_EQ(mailAttempts.load(), 4);
    EXPECT_EQ(list->ListGetCell(0, ColIndex), "1");
}

TEST_F(ControlFixture, AfterAHaltFirstPressStopsAndSecondStartsAfresh) {
    AlertSwitches s = QuietSwitches();
    s.stockHalt = true;
    port->SetSwitches(s);
    SetProduct("31", "预订", "20", "20", "20");
    AddRow("31", "5");

    ToggleMonitoring(context, control);
    ASSERT_TRUE(WorkersDone());
    // Halted: timer stopped and flag cleared, but the button still reads running.
    EXPECT_EQ(port->TimerPeriods(), (std::vector<int>{10000, 0}));
    EXPECT_EQ(monitoringActive.load(), 0);
    EXPECT_EQ(control.MonitorButtonCaption(), G("停止监控"));
    mailDone = 1;
    mailAttempts = 10;

    log.Clear();
    ToggleMonitoring(context, control);  // only stops
    EXPECT_EQ(control.MonitorButtonCaption(), G("开始监控"));
    EXPECT_EQ(log.Count("stop-sound"), 1);
    EXPECT_EQ(log.Count("wait:"), 0);
    EXPECT_EQ(mailDone.load(), 1);

    ToggleMonitoring(context, control);  // starts again
    EXPECT_EQ(control.MonitorButtonCaption(), G("停止监控"));
    EXPECT_EQ(mailDone.load(), 0);
    EXPECT_EQ(mailAttempts.load(), 0);
    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(StockRequests("31"), 2);
}

TEST_F(ControlFixture, StopPressedDuringFirstPassLeavesLaterRowsAlone) {
    for (const char* sku : {"41", "42", "43", "44"}) {
        SetProduct(sku, "无货", "20", "20", "20");
        AddRow(sku, "5");
    }
    bool stopped = false;
    control.onWait = [&](int) {
        if (stopped) return;
        stopped = true;
        ToggleMonitoring(context, control);  // the button pressed inside the wait
    };

    ToggleMonitoring(context, control);

    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(control.MonitorButtonCaption(), G("开始监控"));
    EXPECT_EQ(monitoringActive.load(), 0);
    for (const char* sku : {"42", "43", "44"}) EXPECT_EQ(StockRequests(sku), 0) << sku;
    for (int r = 1; r < 4; ++r) EXPECT_TRUE(list->ListGetCell(r, ColStatus).empty());
}

TEST_F(ControlFixture, TimerPassCoversRowsAddedSinceAndKeepsIndexes) {
    monitoringActive = 1;
    SetProduct("51", "无货", "20", "20", "20");
    SetProduct("52", "现货", "20", "20", "20");
    AddRow("51", "5");
    RunCheckPass(context, control);
    ASSERT_TRUE(WorkersDone());
    AddRow("52", "5");
    log.Clear();

    RunCheckPass(context, control);

    EXPECT_EQ(log.Events(),
              (std::vector<std::string>{"wait:10", "dispatch", "wait:10", "dispatch"}));
    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(StockRequests("51"), 2);
    EXPECT_EQ(StockRequests("52"), 1);
    EXPECT_EQ(list->ListGetCell(1, ColStatus), G("现货"));
    EXPECT_TRUE(list->ListGetCell(1, ColIndex).empty());
}

TEST_F(ControlFixture, TimerPassWhileStoppedStartsWorkersThatDoNothing) {
    AddRow("61", "5");
    RunCheckPass(context, control);
    ASSERT_TRUE(WorkersDone());
    EXPECT_EQ(log.Count("wait:10"), 1);
    EXPECT_EQ(StockRequests("61"), 0);
    EXPECT_TRUE(list->ListGetCell(0, ColStatus).empty());
}

}  // namespace
}  // namespace velmora::testing
