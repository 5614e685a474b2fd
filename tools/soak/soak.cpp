// Soak run: the real main window (offscreen) with a long list against the
// simulated store, a 1 s monitoring interval, rows added through the add
// button and deleted through the list menu, monitoring stopped and started
// every half minute. Every 10 s it prints live threads and resident memory.
// Exits non-zero when the window stops answering, checks stop producing
// results, workers outlive monitoring, or memory keeps growing.
//
//   soak [--seconds N] [--rows N]
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "core/codepage.h"
#include "proc_status.h"
#include "storage/record_file.h"
#include "store_process.h"
#include "ui/main_window.h"

namespace velmora::soak {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

struct Options {
    int seconds = 600;
    int rows = 200;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) options.seconds = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--rows") == 0) options.rows = std::atoi(argv[i + 1]);
    }
    return options;
}

constexpr int kCycleSeconds = 30;   // monitoring runs this long, then stops
constexpr int kPauseSeconds = 2;    // and stays stopped this long
constexpr int kWarmUpSeconds = 60;  // memory and threads are compared from here
constexpr qint64 kMaxLagMs = 5000;  // the window must answer within this
constexpr int kDrainSeconds = 150;  // workers must end this long after the last stop
constexpr long kSpareThreads = 4;   // threads Qt may start lazily on its own

class Soak {
public:
    Soak(MainWindow& window, const Options& options)
        : window_(window), options_(options), random_(12345) {
        button_ = window_.findChild<QAbstractButton*>(Q("按钮商品监控"));
        addButton_ = window_.findChild<QPushButton*>(Q("按钮商品添加"));
        skuEdit_ = window_.findChild<QLineEdit*>(Q("编辑框商品编号"));
        view_ = window_.findChild<QAbstractItemView*>(Q("超级列表框监控"));
        menu_ = window_.findChild<QMenu*>(Q("菜单监控"));
        for (QAction* action : menu_->actions()) {
            if (action->text() == Q("删除选中")) deleteTicked_ = action;
        }
        inStock_ = Cp936FromUtf8("现货");
    }

    int Run() {
        baseline_ = ReadProcStatus();
        std::printf("soak: %d rows, %d s, baseline %ld threads, %ld MiB\n", options_.rows,
                    options_.seconds, baseline_.threads, baseline_.rssKiB / 1024);
        std::printf("%6s %8s %8s %9s %5s %8s %8s %s\n", "t(s)", "threads", "rss(MiB)", "peak(MiB)",
                    "rows", "checked", "lag(ms)", "monitoring");
        std::fflush(stdout);

        // The probe only notes when it ran: it fires inside the handlers'
        // nested event loops too, so its gaps are how long the window was deaf.
        probe_.setInterval(50);
        QObject::connect(&probe_, &QTimer::timeout, [this] { NoteProbe(); });
        schedule_.setInterval(250);
        QObject::connect(&schedule_, &QTimer::timeout, [this] { Step(); });
        clock_.start();
        lastProbe_ = clock_.elapsed();
        probe_.start();
        schedule_.start();
        Later([this] { ClickMonitor(); });
        QApplication::exec();
        return Finish();
    }

private:
    static void Later(std::function<void()> action) {
        QTimer::singleShot(0, qApp, std::move(action));
    }

    void NoteProbe() {
        const qint64 now = clock_.elapsed();
        lag_ = std::max(lag_, now - lastProbe_);
        lastProbe_ = now;
    }

    bool Running() const { return button_->text() == Q("停止监控"); }

    void ClickMonitor() {
        runningSince_ = clock_.elapsed();
        ++clickDepth_;
        QTest::mouseClick(button_, Qt::LeftButton);
        --clickDepth_;
    }

    void Step() {
        const int t = static_cast<int>(clock_.elapsed() / 1000);
        if (draining_) {
            Drain(t);
            return;
        }
        if (t >= options_.seconds) {
            draining_ = true;
            drainStart_ = t;
            if (Running()) Later([this] { ClickMonitor(); });
            return;
        }
        if (t != lastSecond_) {
            lastSecond_ = t;
            EverySecond(t);
        }
    }

    void EverySecond(int t) {
        const int inCycle = t % (kCycleSeconds + kPauseSeconds);
        if (inCycle == kCycleSeconds && Running()) Later([this] { ClickMonitor(); });
        // A start launches its rows 100 ms apart inside the click; a stop may
        // come during that, but the next start waits until it has returned,
        // so starts never nest.
        if (inCycle == 0 && t > 0 && !Running() && clickDepth_ == 0)
            Later([this] { ClickMonitor(); });
        if (t % 3 == 0) Later([this] { AddRow(); });
        if (t % 3 == 1) Later([this] { DeleteOneRow(); });
        if (t % 10 == 0) Sample(t);
    }

    void AddRow() {
        const int before = window_.List().ListRowCount();
        skuEdit_->setText(QString::number(5000000 + nextSku_++));
        window_.findChild<QComboBox*>(Q("组合框省份"))->setEditText(Q("北京-1"));
        window_.findChild<QComboBox*>(Q("组合框城市"))->setEditText(Q("朝阳区-72"));
        window_.findChild<QComboBox*>(Q("组合框地区"))->setEditText(Q("三环以内-2799"));
        QTest::mouseClick(addButton_, Qt::LeftButton);
        if (window_.List().ListRowCount() != before + 1) Fail("the add button added no row");
    }

    void DeleteOneRow() {
        const int before = window_.List().ListRowCount();
        if (before == 0) return;
        const int row = std::uniform_int_distribution<int>(0, before - 1)(random_);
        QAbstractItemModel* model = view_->model();
        model->setData(model->index(row, ColIndex), Qt::Checked, Qt::CheckStateRole);
        deleteTicked_->trigger();
        if (window_.List().ListRowCount() != before - 1) Fail("deleting the ticked row failed");
    }

    int CheckedRows() const {
        const MonitorList& list = window_.List();
        int checked = 0;
        for (int row = 0; row < list.ListRowCount(); ++row) {
            checked += list.ListGetCell(row, ColStatus) == inStock_;
        }
        return checked;
    }

    void Sample(int t) {
        const ProcStatus status = ReadProcStatus();
        const int rows = window_.List().ListRowCount();
        const int checked = CheckedRows();
        std::printf("%6d %8ld %8ld %9ld %5d %8d %8lld %s\n", t, status.threads,
                    status.rssKiB / 1024, status.peakRssKiB / 1024, rows, checked,
                    static_cast<long long>(lag_), Running() ? "on" : "off");
        std::fflush(stdout);
        if (lag_ > kMaxLagMs) Fail("the window did not answer for " + std::to_string(lag_) + " ms");
        lag_ = 0;
        if (view_->model()->rowCount() != rows) Fail("the list view and the list disagree");
        // Once a run has had time for a few passes, nearly every row has a result.
        const bool settled = Running() && clock_.elapsed() - runningSince_ > 15000;
        if (settled && checked * 10 < rows * 9) Fail("checks produce no results");
        if (t >= kWarmUpSeconds) {
            if (warm_.rssKiB < 0) warm_ = status;
            last_ = status;
        }
    }

    void Drain(int t) {
        // quit() ends the loop only once the handler it runs inside returns
        // (a start click launches its rows 100 ms apart): note the first
        // quiet moment, not the later ones.
        if (quitting_) return;
        const ProcStatus status = ReadProcStatus();
        const bool quiet = !Running() && status.threads <= baseline_.threads + kSpareThreads;
        if (quiet || t - drainStart_ > kDrainSeconds) {
            drained_ = status;
            drainSeconds_ = t - drainStart_;
            quitting_ = true;
            QApplication::quit();
        }
    }

    int Finish() {
        std::printf("after the last stop: %ld threads after %d s (baseline %ld)\n",
                    drained_.threads, drainSeconds_, baseline_.threads);
        if (drained_.threads > baseline_.threads + kSpareThreads)
            Fail("check workers outlived monitoring");
        if (warm_.rssKiB > 0) {
            std::printf("memory: %ld MiB after warm-up, %ld MiB at the end, peak %ld MiB\n",
                        warm_.rssKiB / 1024, last_.rssKiB / 1024, last_.peakRssKiB / 1024);
            if (last_.rssKiB > warm_.rssKiB * 3 / 2 + 64 * 1024) Fail("memory keeps growing");
        }
        std::printf("soak: %s (%d failure%s)\n", failures_ == 0 ? "passed" : "FAILED", failures_,
                    failures_ == 1 ? "" : "s");
        return failures_ == 0 ? 0 : 1;
    }

    void Fail(const std::string& what) {
        ++failures_;
        std::printf("FAIL at %lld s: %s\n", static_cast<long long>(clock_.elapsed() / 1000),
                    what.c_str());
        std::fflush(stdout);
    }

    MainWindow& window_;
    Options options_;
    std::mt19937 random_;
    QAbstractButton* button_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QLineEdit* skuEdit_ = nullptr;
    QAbstractItemView* view_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* deleteTicked_ = nullptr;
    Text inStock_;

    QTimer probe_;
    QTimer schedule_;
    QElapsedTimer clock_;
    qint64 lastProbe_ = 0;
    qint64 lag_ = 0;
    qint64 runningSince_ = 0;
    int lastSecond_ = -1;
    int nextSku_ = 0;
    bool draining_ = false;
    bool quitting_ = false;
    int clickDepth_ = 0;
    int drainStart_ = 0;
    int drainSeconds_ = 0;
    int failures_ = 0;
    ProcStatus baseline_, warm_, last_, drained_;
};

void WriteRecords(const std::filesystem::path& dir, int rows) {
    std::vector<RecordRow> records;
    for (int i = 0; i < rows; ++i) {
        const Text sku = std::to_string(1000000 + i);
        records.push_back({sku, Cp936FromUtf8("商品") + sku,
                           Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"), "0", "1000",
                           "9987,653,655"});
    }
    velmora::testing::WriteWhole(dir / kRecordFileName, FormatRecordFile(records));
}

void Untick(MainWindow& window, const char* name) {
    auto* box = window.findChild<QCheckBox*>(Q(name));
    if (box && box->isChecked()) QTest::mouseClick(box, Qt::LeftButton);
}

}  // namespace
}  // namespace velmora::soak

int main(int argc, char** argv) {
    using namespace velmora;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const soak::Options options = soak::ParseOptions(argc, argv);

    testing::TempDir dir;
    // The log would grow by hundreds of megabytes; nothing reads it here.
    testing::StoreProcess store("/dev/null");
    store.WriteEndpoints(dir.path());
    soak::WriteRecords(dir.path(), options.rows);

    int result = 1;
    {
        MainWindow window(dir.path());
        window.SetUrlOpener([](const Text&) {});
        window.show();
        // No alert may stop the run or reach for sound or mail.
        for (const char* name : {"选择框降价提醒", "选择框有货提醒", "选择框有货停止",
                                 "选择框邮件提醒", "选择框音乐提醒"}) {
            soak::Untick(window, name);
        }
        window.findChild<QLineEdit*>(soak::Q("编辑框监控间隔"))->setText(soak::Q("1"));
        QApplication::processEvents();
        result = soak::Soak(window, options).Run();
    }
    QApplication::processEvents();
    return result;
}
