// What monitoring workers see of the window and what they make it do, called
// from threads other than the window's.
#include "ui/window_ports.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <thread>

#include "core/codepage.h"
#include "ui/balloon_tip.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

// A port wired to a small window of its own, to watch the calls arrive.
struct PortRig {
    QWidget window;
    QTimer timer;
    BalloonTip balloon{&window};
    std::vector<std::string> sounds;
    std::shared_ptr<WorkerPort> port = std::make_shared<WorkerPort>(
        &window, WorkerPort::Actions{
                     [this](int ms) {
                         if (ms <= 0)
                             timer.stop();
                         else
                             timer.start(ms);
                     },
                     [this](const QString& text, QPoint at) { balloon.ShowAt(text, at); },
                     [this](const std::filesystem::path& p) { sounds.push_back(p.string()); },
                     [this] { sounds.push_back("stop"); },
                 });
};

void FromWorker(const std::function<void()>& work) {
    std::thread worker(work);
    worker.join();
}

TEST(WorkerPort, CallsFromAWorkerRunOnTheWindowThreadInOrder) {
    PortRig rig;
    FromWorker([&] {
        rig.port->SetTimerPeriod(2500);
        rig.port->PlaySound("/x/autio.mp3");
        rig.port->StopSound();
        rig.port->ShowBalloon(Cp936FromUtf8("【9时5分】现货\r\n"), 500, 400);
    });
    // Nothing has run yet: the calls wait for the window's thread.
    EXPECT_FALSE(rig.timer.isActive());
    EXPECT_TRUE(rig.sounds.empty());
    QApplication::processEvents();
    EXPECT_TRUE(rig.timer.isActive());
    EXPECT_EQ(rig.timer.interval(), 2500);
    EXPECT_EQ(rig.sounds, (std::vector<std::string>{"/x/autio.mp3", "stop"}));
    EXPECT_TRUE(rig.balloon.isVisible());
    EXPECT_EQ(rig.balloon.text(), Q("【9时5分】现货"));
    EXPECT_EQ(rig.balloon.frameGeometry().bottomRight(), QPoint(500, 400));

    FromWorker([&] {
        rig.port->SetTimerPeriod(0);
        rig.port->ShowBalloon(Cp936FromUtf8("【9时】价格变化了！\r\n"), 300, 200);
    });
    QApplication::processEvents();
    EXPECT_FALSE(rig.timer.isActive());
    // The new balloon replaces the old one.
    EXPECT_EQ(rig.balloon.text(), Q("【9时】价格变化了！"));
    EXPECT_EQ(rig.balloon.frameGeometry().bottomRight(), QPoint(300, 200));
}

TEST(WorkerPort, TheBalloonHidesItselfAfterFiveSeconds) {
    PortRig rig;
    rig.port->ShowBalloon("x", 100, 100);
    ASSERT_TRUE(rig.balloon.isVisible());
    QTest::qWait(4500);
    EXPECT_TRUE(rig.balloon.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.balloon.isVisible(); }, 1500));
}

TEST(WorkerPort, ADetachedPortIgnoresLateCalls) {
    auto rig = std::make_unique<PortRig>();
    std::shared_ptr<WorkerPort> port = rig->port;
    FromWorker([&] { port->SetTimerPeriod(100); });  // posted before the window goes
    port->Detach();
    FromWorker([&] {
        port->SetTimerPeriod(100);
        port->ShowBalloon("late", 1, 1);
        port->PlaySound("/x");
    });
    QApplication::processEvents();
    EXPECT_FALSE(rig->timer.isActive());
    EXPECT_FALSE(rig->balloon.isVisible());
    EXPECT_TRUE(rig->sounds.empty());
    // Once the window is gone, the port a worker still holds stays harmless.
    rig.reset();
    FromWorker([&] { port->StopSound(); });
    QApplication::processEvents();
}

TEST(WaitDispatchingEvents, DispatchesEventsUntilTheTimeHasPassed) {
    bool ran = false;
    QTimer::singleShot(20, [&] { ran = true; });
    const auto start = std::chrono::steady_clock::now();
    WaitDispatchingEvents(100);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(ran);
    EXPECT_GE(waited, std::chrono::milliseconds(100));
}

using WindowPorts = WindowTest;

TEST_F(WindowPorts, SnapshotFollowsTheCheckBoxesAndMailEdits) {
    MainWindow& w = Start();
    WorkerPort* port = &w.WorkerSide();
    MailSettings mail = port->Mail();
    EXPECT_EQ(mail.account, Cp936FromUtf8("发邮件设置"));
    EXPECT_EQ(mail.recipient, Cp936FromUtf8("收邮件设置"));

    QTest::mouseClick(Find<QCheckBox>("选择框降价提醒"), Qt::LeftButton);
    QTest::mouseClick(Find<QCheckBox>("选择框有货停止"), Qt::LeftButton);
    auto* account = Find<QLineEdit>("编辑框发邮件账号");
    account->clear();
    QTest::keyClicks(account, Q("me@example.com"));
    AlertSwitches seen;
    MailSettings seenMail;
    FromWorker([&] {
        seen = port->Switches();
        seenMail = port->Mail();
    });
    EXPECT_FALSE(seen.priceAlert);
    EXPECT_TRUE(seen.stockAlert);
    EXPECT_FALSE(seen.stockHalt);
    EXPECT_TRUE(seen.soundAlert);
    EXPECT_TRUE(seen.mailAlert);
    EXPECT_EQ(seenMail.account, "me@example.com");
    EXPECT_EQ(seenMail.password, Cp936FromUtf8("发邮件设置"));
    EXPECT_GT(port->PrimaryScreen().width, 0);
}

TEST_F(WindowPorts, TheAlarmPlaysTheFileFromItsBeginningAndStops) {
    MainWindow& w = Start();
    const auto sound = dir() / "autio.mp3";
    FromWorker([&] { w.WorkerSide().PlaySound(sound); });
    QApplication::processEvents();
    auto* player = w.findChild<QMediaPlayer*>();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->source(), QUrl::fromLocalFile(QString::fromStdString(sound.string())));
    EXPECT_EQ(player->position(), 0);
    FromWorker([&] { w.WorkerSide().StopSound(); });
    QApplication::processEvents();
    EXPECT_EQ(player->playbackState(), QMediaPlayer::StoppedState);
}

TEST_F(WindowPorts, RowsChangedByWorkersReachTheView) {
    MainWindow& w = Start();
    auto* view = Find<QAbstractItemView>("超级列表框监控");
    const int row = w.List().ListInsertRow();
    EXPECT_EQ(view->model()->rowCount(), 1);
    FromWorker([&] { w.List().ListSetCell(row, ColStatus, Cp936FromUtf8("现货")); });
    QApplication::processEvents();
    EXPECT_EQ(view->model()->index(row, ColStatus).data().toString(), Q("现货"));
}

}  // namespace
}  // namespace velmora::testing
