// The window's handlers: adding a product, the list's mouse actions and menu,
// the region lists, links, and what monitoring asks of the window.
#include <QAudioOutput>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "monitor/record_sync.h"
#include "services/page_urls.h"
#include "services/product_lookup.h"
#include "services/qr_code.h"
#include "services/region_catalogue.h"
#include "storage/record_file.h"
#include "ui/balloon_tip.h"
#include "ui/colour_holder.h"
#include "ui/main_window.h"
#include "ui/monitor_view.h"
#include "ui/monitoring_engine.h"
#include "ui/picture_widgets.h"
#include "ui/qr_window.h"
#include "ui/qt_text.h"
#include "ui/resource_names.h"

namespace velmora {

namespace {

// A region list as the district catalogue sees it.
class ComboDistrictList final : public DistrictList {
public:
    explicit ComboDistrictList(QComboBox* combo) : combo_(combo) {}
    int ChosenIndex() const override { return combo_->currentIndex(); }
    Text CurrentText() const override { return ToText(combo_->currentText()); }
    void AppendItem(const Text& item) override { combo_->addItem(ToQString(item)); }

private:
    QComboBox* combo_;
};

void OpenWithDesktop(const Text& url) {
    // Handed over as it stands; what the desktop makes of it is its affair.
    QDesktopServices::openUrl(QUrl(ToQString(url), QUrl::TolerantMode));
}

}  // namespace

void MainWindow::OpenInBrowser(const Text& url) {
    if (opener_) {
        opener_(url);
    } else {
        OpenWithDesktop(url);
    }
}

void MainWindow::SetUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }

void MainWindow::SaveRecords() { SaveRecordFileFrom(*list_, programDir_ / kRecordFileName); }

void MainWindow::OnAddClicked() {
    Text sku = ToText(skuEdit_->text());
    if (sku.empty() || areaCombo_->currentText().isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("错误"),
                              QStringLiteral("请输入完整商品信息！"), QMessageBox::Ok);
        return;
    }
    ProductInfo info = LookupProduct(sku, endpoints_);
    venderIdEdit_->setText(ToQString(info.vendorId));
    catEdit_->setText(ToQString(info.category));

    const int row = list_->ListInsertRow();
    const Text qrCell = Cp936FromUtf8("二维码");
    list_->ListSetCell(row, ColSku, ToText(skuEdit_->text()));
    list_->ListSetCell(row, ColName, info.productName);
    list_->ListSetCell(row, ColQrMobile, qrCell);
    list_->ListSetCell(row, ColQrWechat, qrCell);
    list_->ListSetCell(row, ColRegion,
                       ToText(provinceCombo_->currentText()) + "#" +
                           ToText(cityCombo_->currentText()) + "+" +
                           ToText(areaCombo_->currentText()));
    list_->ListSetCell(row, ColExpectedPrice, ToText(priceEdit_->text()));
    list_->ListSetCell(row, ColVenderId, ToText(venderIdEdit_->text()));
    list_->ListSetCell(row, ColCat, ToText(catEdit_->text()));
    SaveRecords();
}

void MainWindow::OnListDoubleClick(int row, int column) {
    const Text sku = list_->ListGetCell(row, ColSku);
    Text address;
    if (column == ColQrMobile) {
        address = MobilePageUrl(sku, endpoints_);
        ShowQr(address);
    } else if (column == ColQrWechat) {
        address = WechatShopUrl(sku, endpoints_);
        ShowQr(address);
    } else {
        address = ProductPageUrl(sku, endpoints_);
        OpenInBrowser(address);
    }
    QGuiApplication::clipboard()->setText(ToQString(address));
}

void MainWindow::ShowQr(const Text& pageUrl) {
    QrColours colours;
    colours.background = backgroundColour_->Second();
    colours.foreground = foregroundColour_->Second();
    colours.gradient = gradientColour_->Second();
    colours.outerLocator = outerLocatorColour_->Second();
    colours.innerLocator = innerLocatorColour_->Second();
    ShowQrCode(pageUrl, colours, endpoints_, programDir_,
               [this](const std::filesystem::path& picture) {
                   // One QR window at a time: a second request shows its code
                   // in the window already open.
                   if (!qrWindow_) qrWindow_ = new QrWindow(picture, this);
                   qrWindow_->ShowFile();
                   qrWindow_->show();
                   qrWindow_->raise();
               });
}

void MainWindow::ShowListMenu(const QPoint& at) {
    listMenu_->popup(listView_->viewport()->mapToGlobal(at));
}

void MainWindow::DeleteTickedRows() {
    // From the last row up, so the rows not yet visited keep their indexes.
    for (int row = list_->ListRowCount() - 1; row >= 0; --row) {
        if (list_->ListIsTicked(row)) list_->ListDeleteRow(row);
    }
    SaveRecords();
}

void MainWindow::DeleteAllRows() {
    list_->ListDeleteAll();
    SaveRecords();
}

void MainWindow::OnDistrictChosen(QComboBox* source, QComboBox* target) {
    ComboDistrictList from(source);
    ComboDistrictList to(target);
    FillChildDistricts(from, to, endpoints_);
}

void MainWindow::OnMonitorButtonClicked() { engine_->ToggleMonitoring(); }

void MainWindow::OnTimerFired() { engine_->RunCheckPass(); }

Text MainWindow::MonitorButtonCaption() const { return ToText(monitorButton_->text()); }

void MainWindow::ShowRunningButton(bool running) {
    monitorButton_->setText(running ? QStringLiteral("停止监控") : QStringLiteral("开始监控"));
    monitorButton_->SetPicture(QPixmap(running ? kRunningButtonPicture : kStoppedButtonPicture));
}

Text MainWindow::IntervalText() const { return ToText(intervalEdit_->text()); }

void MainWindow::SetTimerPeriod(int milliseconds) {
    if (milliseconds <= 0) {
        monitorTimer_->stop();
        return;
    }
    if (monitorTimer_->isActive() && monitorTimer_->interval() == milliseconds) return;
    monitorTimer_->start(milliseconds);
}

void MainWindow::ShowBalloonAt(const QString& text, QPoint lowerRight) {
    balloon_->ShowAt(text, lowerRight);
}

void MainWindow::PlaySoundFile(const std::filesystem::path& mp3) {
    // Made on first use: the media back end is slow to start and most runs
    // never sound an alert.
    if (!player_) {
        player_ = new QMediaPlayer(this);
        audio_ = new QAudioOutput(this);
        player_->setAudioOutput(audio_);
    }
    player_->stop();
    player_->setSource(QUrl::fromLocalFile(QString::fromStdString(mp3.string())));
    player_->setPosition(0);
    player_->play();
}

void MainWindow::StopSound() {
    if (player_) player_->stop();
}

}  // namespace velmora
