#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include "services/region_catalogue.h"
#include "storage/endpoints_file.h"
#include "ui/balloon_tip.h"
#include "ui/colour_holder.h"
#include "ui/monitor_model.h"
#include "ui/monitor_view.h"
#include "ui/monitoring_engine.h"
#include "ui/number_edit.h"
#include "ui/picture_widgets.h"
#include "ui/qr_window.h"
#include "ui/qt_text.h"
#include "ui/resource_names.h"
#include "ui/window_ports.h"

namespace velmora {

namespace {

// Initial second colours of the holders that start-up does not set.
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kBlack = 0x000000;

template <class Widget>
Widget* Place(Widget* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QGroupBox* Group(QWidget* parent, const char* name, int x, int y, int w, int h) {
    return Place(new QGroupBox(QString(), parent), name, x, y, w, h);
}

QLabel* Label(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h) {
    auto* label = Place(new QLabel(QString::fromUtf8(text), parent), name, x, y, w, h);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

template <class Edit = QLineEdit>
Edit* EditBox(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h) {
    auto* edit = Place(new Edit(parent), name, x, y, w, h);
    edit->setText(QString::fromUtf8(text));
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const char* text, int x, int y, int w,
                    int h) {
    auto* box = Place(new QCheckBox(QString::fromUtf8(text), parent), name, x, y, w, h);
    box->setChecked(true);
    return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, int x, int y, int w,
                    int h) {
    return Place(new QPushButton(QString::fromUtf8(text), parent), name, x, y, w, h);
}

QComboBox* RegionCombo(QWidget* parent, const char* name, const TextList& items, int x, int y,
                       int w, int h) {
    auto* combo = Place(new QComboBox(parent), name, x, y, w, h);
    combo->setEditable(true);
    // Typed text stays as typed: no completion, and Return adds no item.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    for (const Text& item : items) combo->addItem(ToQString(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    return combo;
}

}  // namespace

MainWindow::MainWindow(std::filesystem::path programDir, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      programDir_(std::move(programDir)),
      endpoints_(LoadEndpointsFile(programDir_ / kEndpointsFileName)),
      list_(std::make_shared<MonitorList>()) {
    InitResources();
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Velmora"));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    setFont(font);
    setFixedSize(1164, 628);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }

    BuildControls();
    workerPort_ = std::make_shared<WorkerPort>(
        this, WorkerPort::Actions{
                  [this](int ms) { SetTimerPeriod(ms); },
                  [this](const QString& text, QPoint at) { ShowBalloonAt(text, at); },
                  [this](const std::filesystem::path& mp3) { PlaySoundFile(mp3); },
                  [this] { StopSound(); },
              });
    controlPort_ = std::make_unique<ControlPort>(*this);
    engine_ = std::make_unique<MonitoringEngine>(list_, endpoints_, workerPort_, *controlPort_,
                                                 programDir_);
    ConnectHandlers();
    UpdateSwitchSnapshot();
    UpdateMailSnapshot();
    RunStartUp();
}

MainWindow::~MainWindow() {
    // Workers that still hold the port find it detached from here on.
    if (workerPort_) workerPort_->Detach();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit Closed();
}

void MainWindow::BuildControls() {
    QGroupBox* inputFrame = Group(this, "分组框2", 8, 8, 904, 64);
    QGroupBox* listFrame = Group(this, "分组框1", 8, 72, 904, 520);
    QGroupBox* commandFrame = Group(this, "分组框3", 920, 8, 232, 584);
    BuildHiddenFields();
    BuildInputRow(inputFrame);
    BuildListFrame(listFrame);
    BuildCommandFrame(commandFrame);

    listMenu_ = new QMenu(QStringLiteral("菜单监控"), this);
    listMenu_->setObjectName(QStringLiteral("菜单监控"));
    listMenu_->addAction(QStringLiteral("全部删除"), this, &MainWindow::DeleteAllRows);
    listMenu_->addAction(QStringLiteral("删除选中"), this, &MainWindow::DeleteTickedRows);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void MainWindow::BuildHiddenFields() {
    // Named storage outside the visible area; the user never sees them.
    venderIdEdit_ = EditBox(this, "venderId", "", 1192, 112, 80, 24);
    catEdit_ = EditBox(this, "cat", "", 1195, 160, 80, 24);
    venderIdEdit_->setFocusPolicy(Qt::NoFocus);
    catEdit_->setFocusPolicy(Qt::NoFocus);
    backgroundColour_ = Place(new ColourHolder(kWhite, this), "背景颜色", 1192, 216, 250, 20);
    foregroundColour_ = Place(new ColourHolder(kBlack, this), "前景颜色", 1192, 246, 250, 20);
    gradientColour_ = Place(new ColourHolder(kBlack, this), "渐变颜色", 1192, 276, 250, 20);
    outerLocatorColour_ = Place(new ColourHolder(kBlack, this), "定位点颜色外", 1192, 346, 200, 20);
    innerLocatorColour_ = Place(new ColourHolder(kBlack, this), "定位点颜色内", 1192, 382, 200, 20);
}

void MainWindow::BuildInputRow(QWidget* frame) {
    Label(frame, "标签商品编号", "商品编号：", 8, 16, 64, 32);
    skuEdit_ = EditBox<WholeNumberEdit>(frame, "编辑框商品编号", "1743535", 64, 16, 80, 32);
    Label(frame, "标签省份", "省份：", 150, 16, 32, 32);
    provinceCombo_ = RegionCombo(frame, "组合框省份", ProvinceListItems(), 185, 24, 79, 20);
    Label(frame, "标签省份2", "城市：", 268, 16, 32, 32);
    cityCombo_ = RegionCombo(frame, "组合框城市", {kCityPlaceholder}, 303, 24, 79, 20);
    Label(frame, "标签省份1", "地区：", 394, 16, 32, 32);
    areaCombo_ = RegionCombo(frame, "组合框地区", {kAreaPlaceholder}, 429, 24, 79, 20);
    Label(frame, "标签省份3", "期望价格：", 517, 16, 56, 32);
    priceEdit_ = EditBox<DecimalEdit>(frame, "编辑框价格监控", "5", 582, 16, 48, 32);
    priceAlertBox_ = CheckBox(frame, "选择框降价提醒", "降价提醒", 639, 24, 68, 24);
    stockAlertBox_ = CheckBox(frame, "选择框有货提醒", "有货提醒", 718, 24, 68, 24);
    addButton_ = Button(frame, "按钮商品添加", "添加", 792, 16, 88, 40);
}

void MainWindow::BuildListFrame(QWidget* frame) {
    listView_ = Place(new MonitorView(frame), "超级列表框监控", 8, 16, 888, 392);
    model_ = new MonitorModel(list_, this);
    listView_->setModel(model_);
    listView_->ApplyColumnLooks();
    banner_ = Place(new PictureBox(frame), "图片框", 8, 416, 888, 95);

    monitorTimer_ = new QTimer(this);
    monitorTimer_->setObjectName(QStringLiteral("时钟商品监控"));
    balloon_ = new BalloonTip(this);
}

void MainWindow::BuildCommandFrame(QWidget* frame) {
    QGroupBox* sendFrame = Group(frame, "分组框5", 8, 16, 216, 120);
    QGroupBox* receiveFrame = Group(frame, "分组框4", 8, 144, 216, 80);
    Label(frame, "标签3", "监控查询间隔(秒):", 28, 240, 104, 24);
    intervalEdit_ = EditBox(frame, "编辑框监控间隔", "10", 140, 240, 72, 24);
    mailAlertBox_ = CheckBox(frame, "选择框邮件提醒", "邮件提醒", 28, 272, 76, 24);
    soundAlertBox_ = CheckBox(frame, "选择框音乐提醒", "音乐提醒", 132, 272, 76, 24);
    stockHaltBox_ = CheckBox(frame, "选择框有货停止", "有货停止", 28, 304, 76, 24);
    keepRecordsBox_ = CheckBox(frame, "选择框保存记录", "保存记录", 132, 304, 76, 24);

    monitorButton_ = Place(new PictureButton(frame), "按钮商品监控", 43, 344, 165, 50);
    monitorButton_->setText(QStringLiteral("开始监控"));
    monitorButton_->SetPicture(QPixmap(kStoppedButtonPicture));
    moreDealsButton_ = Place(new PictureButton(frame), "按钮更多优惠", 43, 416, 165, 50);
    moreDealsButton_->setText(QStringLiteral("更多优惠"));
    moreDealsButton_->SetPicture(QPixmap(kMoreDealsPicture));
    feedbackButton_ = Place(new PictureButton(frame), "按钮问题反馈", 43, 488, 165, 50);
    feedbackButton_->setText(QStringLiteral("问题反馈"));
    feedbackButton_->SetPicture(QPixmap(kFeedbackPicture));

    Label(sendFrame, "标签2", "用户名：", 8, 27, 41, 24);
    mailAccountEdit_ = EditBox(sendFrame, "编辑框发邮件账号", "发邮件设置", 52, 21, 92, 35);
    Button(sendFrame, "按钮发邮件", "确定", 152, 18, 52, 35);
    Label(sendFrame, "标签1", "密 码：", 11, 77, 41, 24);
    mailPasswordEdit_ = EditBox(sendFrame, "编辑框发邮件密码", "发邮件设置", 52, 71, 92, 35);
    mailPasswordEdit_->setEchoMode(QLineEdit::Password);
    Button(sendFrame, "按钮清空账号", "清除", 151, 71, 52, 35);
    Label(receiveFrame, "标签4", "地址：", 8, 27, 41, 24);
    mailRecipientEdit_ = EditBox(receiveFrame, "编辑框收邮件地址", "收邮件设置", 56, 21, 88, 35);
    Button(receiveFrame, "按钮确定收邮件", "确定", 152, 24, 52, 35);
}

void MainWindow::ConnectHandlers() {
    connect(addButton_, &QPushButton::clicked, this, &MainWindow::OnAddClicked);
    connect(listView_, &MonitorView::CellDoubleClicked, this, &MainWindow::OnListDoubleClick);
    connect(listView_, &QWidget::customContextMenuRequested, this, &MainWindow::ShowListMenu);
    connect(banner_, &PictureBox::LeftButtonReleased, this,
            [this] { OpenInBrowser(endpoints_.makerHomeUrl); });
    connect(moreDealsButton_, &QAbstractButton::clicked, this,
            [this] { OpenInBrowser(endpoints_.makerHomeUrl); });
    connect(feedbackButton_, &QAbstractButton::clicked, this,
            [this] { OpenInBrowser(endpoints_.makerFeedbackUrl); });
    connect(monitorButton_, &QAbstractButton::clicked, this, &MainWindow::OnMonitorButtonClicked);
    connect(monitorTimer_, &QTimer::timeout, this, &MainWindow::OnTimerFired);

    // The handlers run from a posted call once the choice is complete, so the
    // combo's text already is the chosen item's.
    connect(provinceCombo_, &QComboBox::activated, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { OnDistrictChosen(provinceCombo_, cityCombo_); }, Qt::QueuedConnection);
    });
    connect(cityCombo_, &QComboBox::activated, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { OnDistrictChosen(cityCombo_, areaCombo_); }, Qt::QueuedConnection);
    });

    for (QCheckBox* box :
         {priceAlertBox_, stockAlertBox_, stockHaltBox_, soundAlertBox_, mailAlertBox_}) {
        connect(box, &QCheckBox::toggled, this, &MainWindow::UpdateSwitchSnapshot);
    }
    for (QLineEdit* edit : {mailAccountEdit_, mailPasswordEdit_, mailRecipientEdit_}) {
        connect(edit, &QLineEdit::textChanged, this, &MainWindow::UpdateMailSnapshot);
    }
}

void MainWindow::UpdateSwitchSnapshot() {
    AlertSwitches switches;
    switches.priceAlert = priceAlertBox_->isChecked();
    switches.stockAlert = stockAlertBox_->isChecked();
    switches.stockHalt = stockHaltBox_->isChecked();
    switches.soundAlert = soundAlertBox_->isChecked();
    switches.mailAlert = mailAlertBox_->isChecked();
    workerPort_->SetSwitches(switches);
}

void MainWindow::UpdateMailSnapshot() {
    workerPort_->SetMail(MailSettings{ToText(mailAccountEdit_->text()),
                                      ToText(mailPasswordEdit_->text()),
                                      ToText(mailRecipientEdit_->text())});
}

QrWindow* MainWindow::OpenQrWindow() const { return qrWindow_.data(); }

}  // namespace velmora
