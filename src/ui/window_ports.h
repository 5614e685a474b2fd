// The window's side of monitoring. Workers read a snapshot of the alert check
// boxes, the mail edits and the screen size that the window's thread keeps
// current; what they change (timer, balloon, sound) is carried out on the
// window's thread. Workers hold the port by shared_ptr and may outlive the
// window: once the window has detached, their calls do nothing.
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <mutex>

#include "monitor/window_port.h"

namespace velmora {

class WorkerPort final : public WorkerWindowPort {
public:
    // What the window does for workers, always called on the window's thread.
    struct Actions {
        std::function<void(int)> setTimerPeriod;
        std::function<void(const QString&, QPoint)> showBalloon;
        std::function<void(const std::filesystem::path&)> playSound;
        std::function<void()> stopSound;
    };

    WorkerPort(QObject* window, Actions actions);
    // The window is going away: later calls do nothing.
    void Detach();

    void SetSwitches(const AlertSwitches& switches);
    void SetMail(const MailSettings& mail);
    void SetScreen(const ScreenSize& screen);

    AlertSwitches Switches() const override;
    MailSettings Mail() const override;
    ScreenSize PrimaryScreen() const override;
    void SetTimerPeriod(int milliseconds) override;
    void ShowBalloon(const Text& text, int x, int y) override;
    void PlaySound(const std::filesystem::path& mp3) override;
    void StopSound() override;

private:
    void OnWindowThread(std::function<void(const Actions&)> work);
    void RunNow(const std::function<void(const Actions&)>& work);

    mutable std::mutex mutex_;
    QObject* window_;
    Actions actions_;
    AlertSwitches switches_;
    MailSettings mail_;
    ScreenSize screen_;
};

class MainWindow;

// The start/stop control's calls, on the window's thread only.
class ControlPort final : public ControlWindowPort {
public:
    explicit ControlPort(MainWindow& window) : window_(window) {}
    Text MonitorButtonCaption() const override;
    void ShowRunningButton(bool running) override;
    Text IntervalText() const override;
    void WaitDispatchingEvents(int milliseconds) override;
    void DispatchPendingEvents() override;
    void SaveSettings() override;

private:
    MainWindow& window_;
};

// Dispatches the window's events until `milliseconds` have passed on a steady
// clock, sleeping while no event is pending.
void WaitDispatchingEvents(int milliseconds);

}  // namespace velmora
