// The start-up sequence, run once when the window has been built: colour
// holders, banner, tray icon, default alarm sound, settings, records.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QThread>
#include <system_error>

#include "core/atomic_file.h"
#include "core/escape.h"
#include "core/pending_events.h"
#include "monitor/record_sync.h"
#include "net/http_get.h"
#include "storage/record_file.h"
#include "storage/settings_file.h"
#include "ui/colour_holder.h"
#include "ui/main_window.h"
#include "ui/picture_widgets.h"
#include "ui/qt_text.h"
#include "ui/resource_names.h"
#include "ui/window_ports.h"

namespace velmora {

namespace {

constexpr char kSoundFileName[] = "autio.mp3";

// Long text work on the window's thread lets the window breathe; on any other
// thread there is nothing to dispatch.
void InstallPendingEventsHook() {
    SetPendingEventsHook([] {
        QCoreApplication* app = QCoreApplication::instance();
        if (app && QThread::currentThread() == app->thread()) QCoreApplication::processEvents();
    });
}

}  // namespace

void MainWindow::RunStartUp() {
    InstallPendingEventsHook();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect whole = screen->geometry();
        workerPort_->SetScreen(ScreenSize{whole.width(), whole.height()});
    }

    const int32_t white = static_cast<int32_t>(HexToNumber("FFFFFF"));
    backgroundColour_->SetFirst(white);
    backgroundColour_->SetSecond(white);
    foregroundColour_->SetFirst(white);
    gradientColour_->SetFirst(white);
    innerLocatorColour_->SetFirst(white);
    outerLocatorColour_->SetFirst(white);

    LoadBanner();
    PutTrayIcon();
    WriteDefaultSound();
    LoadSettings();
    LoadRecordFileInto(*list_, programDir_ / kRecordFileName);
}

void MainWindow::LoadBanner() {
    banner_->SetPicture(DecodePicture(HttpGet(endpoints_.bannerImageUrl)));
}

void MainWindow::PutTrayIcon() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    tray_ = new QSystemTrayIcon(QIcon(kTrayIconResource), this);
    tray_->show();
}

void MainWindow::WriteDefaultSound() {
    const std::filesystem::path path = programDir_ / kSoundFileName;
    std::error_code error;
    // Whatever is stored under that name is what alerts play: never replaced.
    if (std::filesystem::exists(path, error) || error) return;
    QFile sound(kAlarmSoundResource);
    if (!sound.open(QIODevice::ReadOnly)) return;
    QByteArray bytes = sound.readAll();
    WriteFileAtomically(path, Bytes(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void MainWindow::LoadSettings() {
    std::optional<Settings> settings = LoadSettingsFile(programDir_ / kSettingsFileName);
    if (!settings) return;
    skuEdit_->setText(ToQString(settings->sku));
    // The edit fields only: no item is chosen, so no list is refilled.
    provinceCombo_->setEditText(ToQString(settings->province));
    cityCombo_->setEditText(ToQString(settings->city));
    areaCombo_->setEditText(ToQString(settings->area));
    mailAccountEdit_->setText(ToQString(settings->mailAccount));
    mailPasswordEdit_->setText(ToQString(settings->mailPassword));
    mailRecipientEdit_->setText(ToQString(settings->mailRecipient));
}

void MainWindow::SaveSettings() {
    Settings settings;
    settings.sku = ToText(skuEdit_->text());
    settings.province = ToText(provinceCombo_->currentText());
    settings.city = ToText(cityCombo_->currentText());
    settings.area = ToText(areaCombo_->currentText());
    settings.mailAccount = ToText(mailAccountEdit_->text());
    settings.mailPassword = ToText(mailPasswordEdit_->text());
    settings.mailRecipient = ToText(mailRecipientEdit_->text());
    SaveSettingsFile(programDir_ / kSettingsFileName, settings);
}

}  // namespace velmora
