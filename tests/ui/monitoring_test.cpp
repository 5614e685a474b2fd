// The start/stop button and the timer driving the monitoring engine through
// the real window, against the simulated store.
#include <QCheckBox>
#include <QTimer>

#include "core/codepage.h"
#include "net/http_get.h"
#include "storage/record_file.h"
#include "storage/settings_file.h"
#include "ui/balloon_tip.h"
#include "ui/picture_widgets.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

class Monitoring : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        const RecordRow row{
            "1743535", Cp936FromUtf8("商品"), Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"), "0",
            "1000",    "9987,653,655"};
        WriteWhole(dir() / kRecordFileName, FormatRecordFile({row, row}));
    }
    void TearDown() override {
        // The flags are the process's: leave monitoring stopped for the next test.
        if (button() && button()->text() != Q("开始监控")) Click();
        WindowTest::TearDown();
    }
    QAbstractButton* button() { return window().findChild<QAbstractButton*>(Q("按钮商品监控")); }
    QTimer* timer() { return window().findChild<QTimer*>(Q("时钟商品监控")); }
    void Click() { QTest::mouseClick(button(), Qt::LeftButton); }
    void Untick(const char* name) {
        auto* box = Find<QCheckBox>(name);
        if (box->isChecked()) QTest::mouseClick(box, Qt::LeftButton);
    }
};

TEST_F(Monitoring, StartAndStopSwitchTheButtonTimerAndSaveTheSettings) {
    MainWindow& w = Start();
    Untick("选择框有货提醒");
    Untick("选择框降价提醒");
    Find<QLineEdit>("编辑框监控间隔")->setText(Q("2.5"));
    w.List().ListSetCell(0, ColIndex, "");

    Click();
    EXPECT_EQ(button()->text(), Q("停止监控"));
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 2500);
    EXPECT_EQ(w.List().ListGetCell(0, ColIndex), "1");
    ASSERT_TRUE(std::filesystem::exists(dir() / kSettingsFileName));
    EXPECT_EQ(LoadSettingsFile(dir() / kSettingsFileName)->sku, "1743535");
    // The first pass queries both rows.
    EXPECT_TRUE(QTest::qWaitFor([&] { return store().CountRequests("GET /stock") >= 2; }, 5000));

    Click();
    EXPECT_EQ(button()->text(), Q("开始监控"));
    EXPECT_FALSE(timer()->isActive());
}

TEST_F(Monitoring, AnAlertShowsTheBalloonAndHaltsTheTimer) {
    MainWindow& w = Start();
    Untick("选择框音乐提醒");
    Untick("选择框邮件提醒");
    // Expected price 0 is never reached; an in-stock answer with "有货提醒"
    // and "有货停止" ticked raises a stock alert that halts monitoring.
    ASSERT_FALSE(
        HttpGet(store().base() + "/__admin/set?sku=1743535&stock=%E7%8E%B0%E8%B4%A7").empty());
    Find<QLineEdit>("编辑框监控间隔")->setText(Q("1"));
    Click();
    auto* balloon = w.findChild<BalloonTip*>(Q("气球提示框"));
    ASSERT_NE(balloon, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return balloon->isVisible(); }, 8000));
    EXPECT_TRUE(balloon->text().startsWith(Q("【")));
    EXPECT_TRUE(balloon->text().endsWith(Q("】现货")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !timer()->isActive(); }, 2000));
    // Halted: the button still offers to stop.
    EXPECT_EQ(button()->text(), Q("停止监控"));
    EXPECT_EQ(w.List().ListGetCell(0, ColStatus), Cp936FromUtf8("现货"));
}

}  // namespace
}  // namespace velmora::testing
