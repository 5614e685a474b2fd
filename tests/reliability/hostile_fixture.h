// The real main window (offscreen) in a temporary program directory, against
// the simulated store, with monitoring driven through its button and the
// process's threads and memory read from /proc.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "net/http_get.h"
#include "proc_status.h"
#include "storage/record_file.h"
#include "store_process.h"
#include "ui/main_window.h"

namespace velmora::testing {

inline QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// The paths of the four answers every check fetches.
inline const std::vector<std::string> kCheckPaths = {"/stock", "/prices/get", "/promoinfo/get",
                                                     "/prices/pcpmgets"};

// Notes the longest gap between firings of a 20 ms timer: how long the
// window's thread did not run its event loop.
class LagProbe {
public:
    LagProbe() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { worst_ = std::max(worst_, clock_.restart()); });
        clock_.start();
        timer_.start();
    }
    qint64 WorstMs() const { return std::max(worst_, clock_.elapsed()); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 worst_ = 0;
};

class HostileWindow : public ::testing::Test {
protected:
    void SetUp() override {
        store_ = std::make_unique<StoreProcess>(logDir_.path() / "store.log");
        store_->WriteEndpoints(dir());
    }
    void TearDown() override {
        if (window_ && Running()) ClickMonitor();
        window_.reset();
        QApplication::processEvents();
    }

    const std::filesystem::path& dir() const { return programDir_.path(); }
    StoreProcess& store() { return *store_; }
    std::string StoreLog() const { return ReadWhole(logDir_.path() / "store.log"); }
    MainWindow& window() { return *window_; }

    void WriteRecords(const std::vector<RecordRow>& rows) {
        WriteWhole(dir() / kRecordFileName, FormatRecordFile(rows));
    }
    static RecordRow Row(const Text& sku) {
        return {sku,    Cp936FromUtf8("商品"), Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"), "0",
                "1000", "9987,653,655"};
    }

    // Starts the window with no alert that could halt monitoring or reach
    // for sound or mail, and a 1 s interval.
    MainWindow& Start() {
        window_ = std::make_unique<MainWindow>(dir());
        window_->SetUrlOpener([](const Text&) {});
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        for (const char* name : {"选择框降价提醒", "选择框有货提醒", "选择框有货停止",
                                 "选择框邮件提醒", "选择框音乐提醒"}) {
            auto* box = Find<QCheckBox>(name);
            if (box->isChecked()) QTest::mouseClick(box, Qt::LeftButton);
        }
        Find<QLineEdit>("编辑框监控间隔")->setText(Q("1"));
        return *window_;
    }

    template <class Widget>
    Widget* Find(const char* name) {
        auto* widget = window_->findChild<Widget*>(Q(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QAbstractButton* MonitorButton() { return Find<QAbstractButton>("按钮商品监控"); }
    bool Running() { return MonitorButton()->text() == Q("停止监控"); }
    void ClickMonitor() { QTest::mouseClick(MonitorButton(), Qt::LeftButton); }
    void StartMonitoring() {
        ASSERT_FALSE(Running());
        ClickMonitor();
        ASSERT_TRUE(Running());
    }
    void StopMonitoring() {
        ASSERT_TRUE(Running());
        ClickMonitor();
        ASSERT_FALSE(Running());
    }

    // The add flow as the user drives it; true when a row was added.
    bool AddThroughTheButton(const char* sku) {
        const int before = window_->List().ListRowCount();
        Find<QLineEdit>("编辑框商品编号")->setText(Q(sku));
        Find<QComboBox>("组合框省份")->setEditText(Q("北京-1"));
        Find<QComboBox>("组合框城市")->setEditText(Q("朝阳区-72"));
        Find<QComboBox>("组合框地区")->setEditText(Q("三环以内-2799"));
        QTest::mouseClick(Find<QPushButton>("按钮商品添加"), Qt::LeftButton);
        return window_->List().ListRowCount() == before + 1;
    }

    // Tells the store how to answer requests under each of the paths.
    void SetMode(const std::vector<std::string>& paths, const std::string& modeQuery) {
        for (const std::string& path : paths) {
            ASSERT_FALSE(
                HttpGet(store_->base() + "/__admin/mode?path=" + path + "&mode=" + modeQuery)
                    .empty())
                << path << " " << modeQuery;
        }
    }

    void ClearResults() {
        MonitorList& list = window_->List();
        for (int row = 0; row < list.ListRowCount(); ++row) {
            for (Column column : {ColStatus, ColPricePc, ColPriceMobile, ColPriceWechat}) {
                list.ListSetCell(row, column, "");
            }
        }
    }
    bool AnyPriceFilled() {
        MonitorList& list = window_->List();
        for (int row = 0; row < list.ListRowCount(); ++row) {
            if (!list.ListGetCell(row, ColPricePc).empty()) return true;
        }
        return false;
    }
    // Every row shows its stock state and all three prices.
    bool AllRowsChecked() {
        MonitorList& list = window_->List();
        for (int row = 0; row < list.ListRowCount(); ++row) {
            if (list.ListGetCell(row, ColStatus) != Cp936FromUtf8("现货")) return false;
            for (Column column : {ColPricePc, ColPriceMobile, ColPriceWechat}) {
                if (list.ListGetCell(row, column).empty()) return false;
            }
        }
        return true;
    }

    // Waits, with the event loop running, until the process has no more
    // threads than `most`; how long that took, or -1 when it never did.
    static qint64 WaitForThreadsAtMost(long most, int limitMs) {
        QElapsedTimer clock;
        clock.start();
        const bool done =
            QTest::qWaitFor([&] { return soak::ReadProcStatus().threads <= most; }, limitMs);
        return done ? clock.elapsed() : -1;
    }

private:
    TempDir programDir_;
    TempDir logDir_;
    std::unique_ptr<StoreProcess> store_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace velmora::testing
