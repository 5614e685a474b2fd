// The main window: its controls are the program's user interface and its
// working store. Every file lives in the program directory given at
// construction (the executable's directory in the program, a temporary one in
// tests). Construction runs the whole start-up.
#pragma once

#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/endpoints.h"
#include "core/text.h"
#include "monitor/monitor_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QMediaPlayer;
class QAudioOutput;
class QPushButton;
class QSystemTrayIcon;
class QTimer;

namespace velmora {

class BalloonTip;
class ColourHolder;
class ControlPort;
class MonitorModel;
class MonitorView;
class MonitoringEngine;
class PictureBox;
class PictureButton;
class QrWindow;
class WorkerPort;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    using UrlOpener = std::function<void(const Text& url)>;

    explicit MainWindow(std::filesystem::path programDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Every page the program opens goes through here.
    void OpenInBrowser(const Text& url);
    // Replaces how pages are opened (the desktop's browser by default).
    void SetUrlOpener(UrlOpener opener);

    MonitorList& List() { return *list_; }
    const Endpoints& EndpointsInUse() const { return endpoints_; }
    const std::filesystem::path& ProgramDirectory() const { return programDir_; }
    QrWindow* OpenQrWindow() const;
    // What monitoring workers see of the window.
    WorkerPort& WorkerSide() { return *workerPort_; }

    // The window's side of the start/stop control.
    Text MonitorButtonCaption() const;
    void ShowRunningButton(bool running);
    Text IntervalText() const;
    void SaveSettings();

    // Handlers, public so that each can be reached the way the user does.
    void OnAddClicked();
    void OnListDoubleClick(int row, int column);
    void DeleteTickedRows();
    void DeleteAllRows();
    void OnMonitorButtonClicked();
    void OnTimerFired();

signals:
    // The window was closed (close box or Escape): the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildInputRow(QWidget* frame);
    void BuildListFrame(QWidget* frame);
    void BuildCommandFrame(QWidget* frame);
    void BuildHiddenFields();
    void ConnectHandlers();
    void RunStartUp();
    void LoadBanner();
    void PutTrayIcon();
    void WriteDefaultSound();
    void LoadSettings();
    void UpdateSwitchSnapshot();
    void UpdateMailSnapshot();
    void SetTimerPeriod(int milliseconds);
    void ShowBalloonAt(const QString& text, QPoint lowerRight);
    void PlaySoundFile(const std::filesystem::path& mp3);
    void StopSound();
    void ShowQr(const Text& pageUrl);
    void ShowListMenu(const QPoint& at);
    void OnDistrictChosen(QComboBox* source, QComboBox* target);
    void SaveRecords();

    std::filesystem::path programDir_;
    Endpoints endpoints_;
    std::shared_ptr<MonitorList> list_;
    std::shared_ptr<WorkerPort> workerPort_;
    std::unique_ptr<ControlPort> controlPort_;
    std::unique_ptr<MonitoringEngine> engine_;
    UrlOpener opener_;

    // Controls the handlers use; every one also carries its objectName.
    QLineEdit* skuEdit_ = nullptr;
    QComboBox* provinceCombo_ = nullptr;
    QComboBox* cityCombo_ = nullptr;
    QComboBox* areaCombo_ = nullptr;
    QLineEdit* priceEdit_ = nullptr;
    QCheckBox* priceAlertBox_ = nullptr;
    QCheckBox* stockAlertBox_ = nullptr;
    QPushButton* addButton_ = nullptr;
    MonitorView* listView_ = nullptr;
    MonitorModel* model_ = nullptr;
    PictureBox* banner_ = nullptr;
    QTimer* monitorTimer_ = nullptr;
    BalloonTip* balloon_ = nullptr;
    QLineEdit* intervalEdit_ = nullptr;
    QCheckBox* mailAlertBox_ = nullptr;
    QCheckBox* soundAlertBox_ = nullptr;
    QCheckBox* stockHaltBox_ = nullptr;
    QCheckBox* keepRecordsBox_ = nullptr;
    PictureButton* monitorButton_ = nullptr;
    PictureButton* moreDealsButton_ = nullptr;
    PictureButton* feedbackButton_ = nullptr;
    QLineEdit* mailAccountEdit_ = nullptr;
    QLineEdit* mailPasswordEdit_ = nullptr;
    QLineEdit* mailRecipientEdit_ = nullptr;
    QLineEdit* venderIdEdit_ = nullptr;
    QLineEdit* catEdit_ = nullptr;
    ColourHolder* backgroundColour_ = nullptr;
    ColourHolder* foregroundColour_ = nullptr;
    ColourHolder* gradientColour_ = nullptr;
    ColourHolder* outerLocatorColour_ = nullptr;
    ColourHolder* innerLocatorColour_ = nullptr;
    QMenu* listMenu_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_ = nullptr;
    QPointer<QrWindow> qrWindow_;
};

}  // namespace velmora
