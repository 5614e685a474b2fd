#include "ui/window_ports.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <thread>

#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace velmora {

WorkerPort::WorkerPort(QObject* window, Actions actions)
    : window_(window), actions_(std::move(actions)) {}

void WorkerPort::Detach() {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
    actions_ = Actions();
}

void WorkerPort::SetSwitches(const AlertSwitches& switches) {
    std::lock_guard lock(mutex_);
    switches_ = switches;
}

void WorkerPort::SetMail(const MailSettings& mail) {
    std::lock_guard lock(mutex_);
    mail_ = mail;
}

void WorkerPort::SetScreen(const ScreenSize& screen) {
    std::lock_guard lock(mutex_);
    screen_ = screen;
}

AlertSwitches WorkerPort::Switches() const {
    std::lock_guard lock(mutex_);
    return switches_;
}

MailSettings WorkerPort::Mail() const {
    std::lock_guard lock(mutex_);
    return mail_;
}

ScreenSize WorkerPort::PrimaryScreen() const {
    std::lock_guard lock(mutex_);
    return screen_;
}

void WorkerPort::SetTimerPeriod(int milliseconds) {
    OnWindowThread([milliseconds](const Actions& a) { a.setTimerPeriod(milliseconds); });
}

void WorkerPort::ShowBalloon(const Text& text, int x, int y) {
    QString shown = ToQString(text);
    OnWindowThread([shown, x, y](const Actions& a) { a.showBalloon(shown, QPoint(x, y)); });
}

void WorkerPort::PlaySound(const std::filesystem::path& mp3) {
    OnWindowThread([mp3](const Actions& a) { a.playSound(mp3); });
}

void WorkerPort::StopSound() {
    OnWindowThread([](const Actions& a) { a.stopSound(); });
}

void WorkerPort::RunNow(const std::function<void(const Actions&)>& work) {
    Actions actions;
    {
        std::lock_guard lock(mutex_);
        if (!window_) return;
        actions = actions_;
    }
    if (actions.setTimerPeriod) work(actions);
}

void WorkerPort::OnWindowThread(std::function<void(const Actions&)> work) {
    std::unique_lock lock(mutex_);
    if (!window_) return;
    if (QThread::currentThread() == window_->thread()) {
        // Already on the window's thread: run it here, outside the lock.
        Actions actions = actions_;
        lock.unlock();
        work(actions);
        return;
    }
    // Posted while the window exists (the lock keeps Detach out); Qt drops
    // the call if the window is destroyed before it runs, and the window
    // owns this port, so `this` is alive whenever the call runs.
    QMetaObject::invokeMethod(
        window_, [this, work = std::move(work)] { RunNow(work); }, Qt::QueuedConnection);
}

void WaitDispatchingEvents(int milliseconds) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    // The timer only wakes the loop for the remaining time; the clock decides.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
        // Whole milliseconds rounded down, so the wait never overshoots; the
        // last fraction of a millisecond is slept after one more dispatch.
        const auto remaining = std::chrono::floor<std::chrono::milliseconds>(deadline - now);
        if (remaining.count() < 1) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_until(deadline);
            break;
        }
        wake.start(static_cast<int>(remaining.count()));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents();
}

Text ControlPort::MonitorButtonCaption() const { return window_.MonitorButtonCaption(); }
void ControlPort::ShowRunningButton(bool running) { window_.ShowRunningButton(running); }
Text ControlPort::IntervalText() const { return window_.IntervalText(); }
void ControlPort::WaitDispatchingEvents(int milliseconds) {
    velmora::WaitDispatchingEvents(milliseconds);
}
void ControlPort::DispatchPendingEvents() { QCoreApplication::processEvents(); }
void ControlPort::SaveSettings() { window_.SaveSettings(); }

}  // namespace velmora
