// The window as it opens: every control in place with its initial state, and
// the start-up's files written in the program directory.
#include <unistd.h>

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>

#include "net/http_get.h"
#include "ui/colour_holder.h"
#include "ui/picture_widgets.h"
#include "ui/resource_names.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

struct ControlCase {
    const char* name;
    const char* kind;
    const char* parent;
    QRect geometry;
    const char* text;  // nullptr: not a text control
};

const ControlCase kControls[] = {
    {"分组框2", "QGroupBox", "MainWindow", {8, 8, 904, 64}, ""},
    {"分组框1", "QGroupBox", "MainWindow", {8, 72, 904, 520}, ""},
    {"分组框3", "QGroupBox", "MainWindow", {920, 8, 232, 584}, ""},
    {"venderId", "QLineEdit", "MainWindow", {1192, 112, 80, 24}, ""},
    {"cat", "QLineEdit", "MainWindow", {1195, 160, 80, 24}, ""},
    {"标签商品编号", "QLabel", "分组框2", {8, 16, 64, 32}, "商品编号："},
    {"编辑框商品编号", "velmora::WholeNumberEdit", "分组框2", {64, 16, 80, 32}, "1743535"},
    {"标签省份", "QLabel", "分组框2", {150, 16, 32, 32}, "省份："},
    {"组合框省份", "QComboBox", "分组框2", {185, 24, 79, 20}, ""},
    {"标签省份2", "QLabel", "分组框2", {268, 16, 32, 32}, "城市："},
    {"组合框城市", "QComboBox", "分组框2", {303, 24, 79, 20}, ""},
    {"标签省份1", "QLabel", "分组框2", {394, 16, 32, 32}, "地区："},
    {"组合框地区", "QComboBox", "分组框2", {429, 24, 79, 20}, ""},
    {"标签省份3", "QLabel", "分组框2", {517, 16, 56, 32}, "期望价格："},
    {"编辑框价格监控", "velmora::DecimalEdit", "分组框2", {582, 16, 48, 32}, "5"},
    {"选择框降价提醒", "QCheckBox", "分组框2", {639, 24, 68, 24}, "降价提醒"},
    {"选择框有货提醒", "QCheckBox", "分组框2", {718, 24, 68, 24}, "有货提醒"},
    {"按钮商品添加", "QPushButton", "分组框2", {792, 16, 88, 40}, "添加"},
    {"超级列表框监控", "velmora::MonitorView", "分组框1", {8, 16, 888, 392}, nullptr},
    {"图片框", "velmora::PictureBox", "分组框1", {8, 416, 888, 95}, nullptr},
    {"分组框5", "QGroupBox", "分组框3", {8, 16, 216, 120}, ""},
    {"分组框4", "QGroupBox", "分组框3", {8, 144, 216, 80}, ""},
    {"标签3", "QLabel", "分组框3", {28, 240, 104, 24}, "监控查询间隔(秒):"},
    {"编辑框监控间隔", "QLineEdit", "分组框3", {140, 240, 72, 24}, "10"},
    {"选择框邮件提醒", "QCheckBox", "分组框3", {28, 272, 76, 24}, "邮件提醒"},
    {"选择框音乐提醒", "QCheckBox", "分组框3", {132, 272, 76, 24}, "音乐提醒"},
    {"选择框有货停止", "QCheckBox", "分组框3", {28, 304, 76, 24}, "有货停止"},
    {"选择框保存记录", "QCheckBox", "分组框3", {132, 304, 76, 24}, "保存记录"},
    {"按钮商品监控", "velmora::PictureButton", "分组框3", {43, 344, 165, 50}, "开始监控"},
    {"按钮更多优惠", "velmora::PictureButton", "分组框3", {43, 416, 165, 50}, nullptr},
    {"按钮问题反馈", "velmora::PictureButton", "分组框3", {43, 488, 165, 50}, nullptr},
    {"标签2", "QLabel", "分组框5", {8, 27, 41, 24}, "用户名："},
    {"编辑框发邮件账号", "QLineEdit", "分组框5", {52, 21, 92, 35}, "发邮件设置"},
    {"按钮发邮件", "QPushButton", "分组框5", {152, 18, 52, 35}, "确定"},
    {"标签1", "QLabel", "分组框5", {11, 77, 41, 24}, "密 码："},
    {"编辑框发邮件密码", "QLineEdit", "分组框5", {52, 71, 92, 35}, "发邮件设置"},
    {"按钮清空账号", "QPushButton", "分组框5", {151, 71, 52, 35}, "清除"},
    {"标签4", "QLabel", "分组框4", {8, 27, 41, 24}, "地址："},
    {"编辑框收邮件地址", "QLineEdit", "分组框4", {56, 21, 88, 35}, "收邮件设置"},
    {"按钮确定收邮件", "QPushButton", "分组框4", {152, 24, 52, 35}, "确定"},
};

QString TextOf(QWidget* widget) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    return QStringLiteral("<no text>");
}

using WindowStart = WindowTest;

TEST_F(WindowStart, EveryControlHasItsPlaceKindAndInitialText) {
    MainWindow& w = Start();
    EXPECT_EQ(w.windowTitle(), Q("Velmora"));
    EXPECT_EQ(w.size(), QSize(1164, 628));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    for (const ControlCase& c : kControls) {
        SCOPED_TRACE(c.name);
        QWidget* widget = Find<QWidget>(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), c.kind);
        EXPECT_EQ(widget->parentWidget()->objectName(), Q(c.parent));
        EXPECT_EQ(widget->geometry(), c.geometry);
        if (c.text) {
            EXPECT_EQ(TextOf(widget), Q(c.text));
        }
    }
    EXPECT_EQ(Find<QLineEdit>("编辑框发邮件密码")->echoMode(), QLineEdit::Password);
    const auto boxes = w.findChildren<QCheckBox*>();
    EXPECT_EQ(boxes.size(), 6);
    for (QCheckBox* box : boxes) EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    auto* timer = w.findChild<QTimer*>(Q("时钟商品监控"));
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    EXPECT_NE(w.findChild<QWidget*>(Q("气球提示框")), nullptr);
}

TEST_F(WindowStart, RegionListsStartWithTheirPlaceholders) {
    Start();
    auto* province = Find<QComboBox>("组合框省份");
    ASSERT_EQ(province->count(), 36);
    EXPECT_EQ(province->itemText(0), Q("选择省份"));
    EXPECT_EQ(province->itemText(1), Q("北京-1"));
    EXPECT_EQ(province->itemText(35), Q("钓鱼岛-35"));
    EXPECT_TRUE(province->isEditable());
    for (const char* name : {"组合框城市", "组合框地区"}) {
        auto* combo = Find<QComboBox>(name);
        EXPECT_EQ(combo->count(), 1);
        EXPECT_TRUE(combo->isEditable());
    }
    EXPECT_EQ(Find<QComboBox>("组合框城市")->itemText(0), Q("选择城市"));
    EXPECT_EQ(Find<QComboBox>("组合框地区")->itemText(0), Q("选择地区"));
}

TEST_F(WindowStart, ListViewHasTheThirteenColumns) {
    Start();
    auto* view = Find<QTableView>("超级列表框监控");
    QAbstractItemModel* model = view->model();
    ASSERT_EQ(model->columnCount(), 13);
    EXPECT_EQ(model->rowCount(), 0);
    const char* headers[] = {"序号", "商品编号", "商品名称", "电脑",     "手机", "微信", "手机",
                             "微信", "查询状态", "查询地区", "期望价格", "var",  "cat"};
    const int widths[] = {50, 90, 300, 65, 70, 70, 70, 70, 80, 0, 0, 0, 0};
    const bool left[] = {true, false, false, false, false, false, false,
                         true, false, false, true,  true,  true};
    for (int c = 0; c < 13; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), Q(headers[c]));
        EXPECT_EQ(view->isColumnHidden(c), widths[c] == 0);
        if (widths[c] > 0) {
            EXPECT_EQ(view->columnWidth(c), widths[c]);
        }
        auto align =
            model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(bool(align & Qt::AlignLeft), left[c]);
    }
    EXPECT_TRUE(view->showGrid());
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(view->isSortingEnabled());
}

TEST_F(WindowStart, ColourHoldersHoldWhiteAndTheirFixedSecondColours) {
    Start();
    struct {
        const char* name;
        int second;
    } holders[] = {{"背景颜色", 0xFFFFFF},
                   {"前景颜色", 0},
                   {"渐变颜色", 0},
                   {"定位点颜色外", 0},
                   {"定位点颜色内", 0}};
    for (const auto& h : holders) {
        auto* holder = Find<ColourHolder>(h.name);
        ASSERT_NE(holder, nullptr);
        EXPECT_EQ(holder->First(), 0xFFFFFF) << h.name;
        EXPECT_EQ(holder->Second(), h.second) << h.name;
        EXPECT_GE(holder->x(), 1192);
    }
}

TEST_F(WindowStart, WritesTheAlarmSoundAndFetchesTheBannerWhateverTheWorkingDirectory) {
    TempDir elsewhere;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    Start();
    std::filesystem::current_path(before);

    QFile embedded(kAlarmSoundResource);
    ASSERT_TRUE(embedded.open(QIODevice::ReadOnly));
    const QByteArray sound = embedded.readAll();
    ASSERT_GT(sound.size(), 0);
    const std::string written = ReadWhole(dir() / "autio.mp3");
    EXPECT_EQ(written, sound.toStdString());
    EXPECT_FALSE(std::filesystem::exists(elsewhere.path() / "autio.mp3"));
    EXPECT_EQ(store().CountRequests("GET /banner.png "), 1);
    EXPECT_TRUE(Find<PictureBox>("图片框")->HasPicture());
}

TEST_F(WindowStart, AnExistingAlarmSoundIsNeverReplaced) {
    WriteWhole(dir() / "autio.mp3", "my own alarm");
    Start();
    EXPECT_EQ(ReadWhole(dir() / "autio.mp3"), "my own alarm");
}

TEST_F(WindowStart, WithoutTheBannerTheWindowStillOpens) {
    // Every address points at a closed port: the banner and nothing else fails.
    WriteWhole(dir() / "endpoints.ini",
               "[endpoints]\nBannerImageUrl=http://127.0.0.1:1/banner.png\n");
    Start();
    EXPECT_FALSE(Find<PictureBox>("图片框")->HasPicture());
    EXPECT_EQ(Find<QLineEdit>("编辑框商品编号")->text(), Q("1743535"));
}

TEST_F(WindowStart, AHostileBannerLeavesThePictureBoxEmpty) {
    // Each answer is requested once per start; the window opens all the same.
    for (const char* mode : {"junk", "truncate", "bomb", "huge&size=20000000", "garbage"}) {
        SCOPED_TRACE(mode);
        ASSERT_FALSE(HttpGet(store().base() + "/__admin/mode?path=/banner.png&mode=" + mode).empty());
        MainWindow& w = Start();
        EXPECT_FALSE(Find<PictureBox>("图片框")->HasPicture());
        EXPECT_TRUE(w.isVisible());
    }
    EXPECT_EQ(store().CountRequests("GET /banner.png "), 5);
}

TEST_F(WindowStart, EscapeClosesTheWindow) {
    MainWindow& w = Start();
    QSignalSpy closed(&w, &MainWindow::Closed);
    QTest::keyClick(Find<QLineEdit>("编辑框监控间隔"), Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(WindowStart, BannerAndLinkButtonsOpenTheMakersPages) {
    Start();
    QTest::mouseClick(Find<QWidget>("图片框"), Qt::LeftButton);
    QTest::mouseClick(Find<QWidget>("按钮更多优惠"), Qt::LeftButton);
    QTest::mouseClick(Find<QWidget>("按钮问题反馈"), Qt::LeftButton);
    // The endpoints file names the home page with a trailing "/", which it drops.
    const Text home = store().base();
    EXPECT_EQ(opened_, (std::vector<Text>{home, home, store().base() + "/feedback"}));
}

TEST_F(WindowStart, ButtonsWithoutAFunctionDoNothing) {
    Start();
    for (const char* name : {"按钮发邮件", "按钮清空账号", "按钮确定收邮件"}) {
        QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton);
    }
    QTest::mouseClick(Find<QWidget>("选择框保存记录"), Qt::LeftButton);
    EXPECT_TRUE(opened_.empty());
    EXPECT_FALSE(std::filesystem::exists(dir() / "god.xin"));
    EXPECT_FALSE(std::filesystem::exists(dir() / "京东监控记录.txt"));
    EXPECT_EQ(Find<QLineEdit>("编辑框发邮件账号")->text(), Q("发邮件设置"));
}

}  // namespace
}  // namespace velmora::testing
