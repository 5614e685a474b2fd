// A monitoring context over a real MonitorList, the simulated store on
// loopback and recording window ports.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "monitor/monitor_context.h"
#include "monitor/monitoring_flags.h"
#include "net/http_get.h"
#include "services/fake_store_process.h"
#include "services/temp_dir.h"
#include "test_check_fakes.h"

namespace velmora::testing {

// Off by default, so each test switches on only what it looks at.
inline AlertSwitches QuietSwitches() {
    AlertSwitches s;
    s.priceAlert = s.stockAlert = s.stockHalt = s.soundAlert = s.mailAlert = false;
    return s;
}

// One simulated store per test suite: starting and ending it per test would
// cost seconds each. Every test resets its products and modes, and counts only
// the requests made since it began.
class MonitorFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        storeDir_ = new TempDir();
        store_ = new FakeStoreProcess(storeDir_->Path());
    }
    static void TearDownTestSuite() {
        delete store_;
        delete storeDir_;
        store_ = nullptr;
        storeDir_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(store.Started()) << "simulated store did not start";
        ASSERT_FALSE(HttpGet(store.Base() + "/__admin/reset").empty());
        requestsBefore_ = store.Requests().size();
        list = std::make_shared<MonitorList>();
        port = std::make_shared<RecordingWorkerPort>(log);
        port->SetSwitches(QuietSwitches());
        Endpoints endpoints = store.StoreEndpoints();
        endpoints.makerHomeUrl = "http://127.0.0.1:1/home";
        context = MakeMonitorContext(list, endpoints, port, dir.Path());
        monitoringActive = 1;
        mailDone = 0;
        mailAttempts = 0;
    }
    void TearDown() override {
        // Detached workers hold the context; none may outlive its test.
        EXPECT_TRUE(WorkersDone()) << "workers still running";
        monitoringActive = 0;
    }

    bool WorkersDone(int timeoutMs = 20000) {
        return !context || WaitUntil([&] { return context.use_count() == 1; }, timeoutMs);
    }

    // Appends a product row; the region and ids are what an added row holds.
    int AddRow(const std::string& sku, const std::string& expected) {
        int row = list->ListInsertRow();
        list->ListSetCell(row, ColSku, sku);
        list->ListSetCell(row, ColRegion, G("北京-1#朝阳区-72+三环以内-2799"));
        list->ListSetCell(row, ColExpectedPrice, expected);
        list->ListSetCell(row, ColVenderId, "1000" + sku);
        list->ListSetCell(row, ColCat, "670,671,672");
        return row;
    }

    // Stock state in UTF-8; "none" leaves a field out of its answer.
    void SetProduct(const std::string& sku, const std::string& stock, const std::string& pc,
                    const std::string& mobile, const std::string& wechat) {
        ASSERT_TRUE(store.Set(sku, "stock=" + PercentEncoded(stock) + "&pc=" + pc +
                                       "&mobile=" + mobile + "&wechat=" + wechat));
    }

    // Stock requests the store received for this product during this test.
    int StockRequests(const std::string& sku) const {
        return CountRequests("/stock?skuId=" + sku + "&");
    }
    int AllStockRequests() const { return CountRequests("/stock?"); }

    int CountRequests(const std::string& piece) const {
        std::vector<LoggedRequest> requests = store.Requests();
        int n = 0;
        for (size_t i = requestsBefore_; i < requests.size(); ++i)
            n += requests[i].requestLine.find(piece) != std::string::npos;
        return n;
    }

    static inline TempDir* storeDir_ = nullptr;
    static inline FakeStoreProcess* store_ = nullptr;
    size_t requestsBefore_ = 0;

    TempDir dir;  // the program directory of this test
    FakeStoreProcess& store = *store_;
    EventLog log;
    std::shared_ptr<MonitorList> list;
    std::shared_ptr<RecordingWorkerPort> port;
    std::shared_ptr<MonitorContext> context;
};

}  // namespace velmora::testing
