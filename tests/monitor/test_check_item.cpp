// The item check against the simulated store: what lands in the row, and which
// alert, if any, is raised.
#include <gtest/gtest.h>

#include <thread>

#include "monitor/check_item.h"
#include "net/http_get.h"
#include "test_check_fixture.h"

namespace velmora::testing {
namespace {

enum class Expect { None, Price, Stock };

struct DecisionCase {
    const char* name;
    const char* stock;  // UTF-8 state, or "none"
    const char* pc;
    const char* mobile;
    const char* wechat;
    const char* expected;
    bool priceAlert;
    bool stockAlert;
    Expect alert;
};

class CheckDecision : public MonitorFixture, public ::testing::WithParamInterface<DecisionCase> {};

TEST_P(CheckDecision, RaisesAtMostTheRightAlert) {
    const DecisionCase& c = GetParam();
    AlertSwitches s = QuietSwitches();
    s.priceAlert = c.priceAlert;
    s.stockAlert = c.stockAlert;
    port->SetSwitches(s);
    SetProduct("100", c.stock, c.pc, c.mobile, c.wechat);
    AddRow("100", c.expected);

    CheckItem(*context, 1);

    std::vector<Balloon> balloons = port->Balloons();
    if (c.alert == Expect::None) {
        EXPECT_TRUE(balloons.empty()) << balloons.front().text;
        return;
    }
    ASSERT_EQ(balloons.size(), 1u);
    const Text& text = balloons[0].text;
    Text tail = c.alert == Expect::Price ? G("】价格变化了！\r\n") : G("】") + G(c.stock) + "\r\n";
    EXPECT_EQ(text.rfind(G("【"), 0), 0u);
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(balloons[0].x, 1910);
    EXPECT_EQ(balloons[0].y, 1050);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckDecision,
    ::testing::Values(
        DecisionCase{"PcBelowExpected", "无货", "9.90", "10.00", "10.00", "10", true, true,
                     Expect::Price},
        DecisionCase{"AllEqualExpected", "无货", "10.00", "10.00", "10.00", "10", true, true,
                     Expect::Price},
        DecisionCase{"AllAboveExpected", "无货", "10.01", "10.01", "10.01", "10", true, true,
                     Expect::None},
        // 10.0000001 reads as 10 in single precision, so it reaches 10.
        DecisionCase{"SinglePrecisionEqual", "无货", "10.0000001", "11", "11", "10", true, true,
                     Expect::Price},
        DecisionCase{"EmptyPriceKeepsPriceAlertOff", "预订", "none", "12.00", "12.00", "15", true,
                     false, Expect::Stock},
        DecisionCase{"EmptyWechatPriceKeepsPriceAlertOff", "无货", "12.00", "12.00", "none", "15",
                     true, true, Expect::None},
        DecisionCase{"OrderableAlertsUnticked", "预订", "20", "20", "20", "10", true, false,
                     Expect::Stock},
        DecisionCase{"InStockNeedsTick", "现货", "20", "20", "20", "10", true, false, Expect::None},
        DecisionCase{"InStockTicked", "现货", "20", "20", "20", "10", true, true, Expect::Stock},
        DecisionCase{"BothDueOnlyPrice", "现货", "9", "9", "9", "10", true, true, Expect::Price},
        DecisionCase{"PriceTestSkippedWhenUnticked", "无货", "9", "9", "9", "10", false, true,
                     Expect::None},
        DecisionCase{"UntickedPriceFallsToStock", "现货", "9", "9", "9", "10", false, true,
                     Expect::Stock},
        DecisionCase{"EmptyExpectedReadsZero", "无货", "0.01", "0.01", "0.01", "", true, true,
                     Expect::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonitorFixture, CheckWritesCellsInOrderThenHaltsBeforeSound) {
    AlertSwitches s = QuietSwitches();
    s.stockAlert = s.stockHalt = s.soundAlert = true;
    port->SetSwitches(s);
    SetProduct("200", "现货", "19.90", "18.80", "17.70");
    AddRow("200", "5");
    std::vector<int> columns;
    std::mutex mutex;
    list->SetListener([&](const ListChange& change) {
        std::lock_guard lock(mutex);
        if (change.kind == ListChange::CellChanged) columns.push_back(change.column);
    });

    CheckItem(*context, 1);

    EXPECT_EQ(columns,
              (std::vector<int>{ColStatus, ColPricePc, ColPriceMobile, ColPriceWechat, ColStatus}));
    EXPECT_EQ(list->ListGetCell(0, ColStatus), G("现货"));
    EXPECT_EQ(list->ListGetCell(0, ColPricePc), "19.90");
    EXPECT_EQ(list->ListGetCell(0, ColPriceWechat), "17.70");
    std::string sound = "sound:" + (dir.Path() / "autio.mp3").string();
    EXPECT_EQ(log.Events(), (std::vector<std::string>{"balloon", "timer:0", sound}));
    EXPECT_EQ(monitoringActive.load(), 0);
}

TEST_F(MonitorFixture, InactiveCheckSendsNothingAndTouchesNothing) {
    AddRow("300", "5");
    list->ListSetCell(0, ColStatus, G("导入记录"));
    int changes = 0;
    list->SetListener([&](const ListChange&) { ++changes; });
    monitoringActive = 0;

    CheckItem(*context, 1);

    EXPECT_EQ(AllStockRequests(), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(list->ListGetCell(0, ColStatus), G("导入记录"));
    EXPECT_TRUE(log.Events().empty());
}

TEST_F(MonitorFixture, NoStockStateKeepsCheckingTextAndOldPrices) {
    port->SetSwitches(AlertSwitches());  // every switch ticked
    SetProduct("400", "none", "1.00", "1.00", "1.00");
    AddRow("400", "5");
    list->ListSetCell(0, ColPricePc, "8.00");
    list->ListSetCell(0, ColPriceWechat, "7.00");

    CheckItem(*context, 1);

    EXPECT_EQ(StockRequests("400"), 1);
    EXPECT_EQ(list->ListGetCell(0, ColStatus), G("正在监控"));
    EXPECT_EQ(list->ListGetCell(0, ColPricePc), "8.00");
    EXPECT_EQ(list->ListGetCell(0, ColPriceWechat), "7.00");
    EXPECT_TRUE(log.Events().empty());
}

TEST_F(MonitorFixture, RowNumberPastTheEndDoesNothing) {
    AddRow("500", "5");
    CheckItem(*context, 2);
    CheckItem(*context, 0);
    EXPECT_EQ(AllStockRequests(), 0);
    EXPECT_TRUE(list->ListGetCell(0, ColStatus).empty());
}

// Rows deleted while a check waits for the store: the results follow the
// product, never the position.
struct DeletionCase {
    const char* name;
    int deleteRow;  // 0-based, deleted while row 2 (1-based) is being checked
};

class CheckDeletion : public MonitorFixture, public ::testing::WithParamInterface<DeletionCase> {};

TEST_P(CheckDeletion, ResultsNeverLandInAnotherProductsRow) {
    AlertSwitches s = QuietSwitches();
    s.stockAlert = true;
    port->SetSwitches(s);
    for (const char* sku : {"601", "602", "603"}) {
        SetProduct(sku, "现货", std::string(sku) + ".00", "1", "1");
        AddRow(sku, "0");
    }
    // The price answer trickles, so the check is still waiting when the row goes.
    ASSERT_FALSE(HttpGet(store.Base() + "/__admin/mode?path=/prices/get&mode=trickle&interval_ms=4")
                     .empty());
    std::thread worker([&] { CheckItem(*context, 2); });
    ASSERT_TRUE(WaitUntil([&] { return list->ListGetCell(1, ColStatus) == G("正在监控"); }));
    list->ListDeleteRow(GetParam().deleteRow);
    worker.join();

    for (int row = 0; row < list->ListRowCount(); ++row) {
        Text sku = list->ListGetCell(row, ColSku);
        Text pc = list->ListGetCell(row, ColPricePc);
        if (sku == "602") {
            EXPECT_EQ(pc, "602.00");
            EXPECT_EQ(list->ListGetCell(row, ColStatus), G("现货"));
        } else {
            EXPECT_TRUE(pc.empty()) << "row of " << sku << " got " << pc;
            EXPECT_TRUE(list->ListGetCell(row, ColStatus).empty());
        }
    }
    // A deleted product raises no alert.
    EXPECT_EQ(port->Balloons().size(), GetParam().deleteRow == 1 ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Table, CheckDeletion,
                         ::testing::Values(DeletionCase{"RowBefore", 0},
                                           DeletionCase{"CheckedRow", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::testing
