// Window ports for tests: they record every call in one shared event log, so a
// test can check what monitoring did to the window and in which order.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/codepage.h"
#include "monitor/window_port.h"

namespace velmora::testing {

inline Text G(const char* utf8) { return Cp936FromUtf8(utf8); }

// Polls until `done` holds or `timeoutMs` has passed; the result of the last poll.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class EventLog {
public:
    void Add(std::string event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> Events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    int Count(const std::string& prefix) const {
        std::lock_guard lock(mutex_);
        int n = 0;
        for (const auto& e : events_) n += e.rfind(prefix, 0) == 0;
        return n;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        events_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

struct Balloon {
    Text text;
    int x = 0;
    int y = 0;
};

// Events: "timer:<ms>", "balloon", "sound:<path>", "stop-sound".
class RecordingWorkerPort : public WorkerWindowPort {
public:
    explicit RecordingWorkerPort(EventLog& log) : log_(log) {}

    void SetSwitches(const AlertSwitches& s) {
        std::lock_guard lock(mutex_);
        switches_ = s;
    }
    void SetMail(const MailSettings& m) {
        std::lock_guard lock(mutex_);
        mail_ = m;
    }
    std::vector<Balloon> Balloons() const {
        std::lock_guard lock(mutex_);
        return balloons_;
    }
    std::vector<int> TimerPeriods() const {
        std::lock_guard lock(mutex_);
        return periods_;
    }

    AlertSwitches Switches() const override {
        std::lock_guard lock(mutex_);
        return switches_;
    }
    MailSettings Mail() const override {
        std::lock_guard lock(mutex_);
        return mail_;
    }
    ScreenSize PrimaryScreen() const override { return {1920, 1080}; }
    void SetTimerPeriod(int ms) override {
        {
            std::lock_guard lock(mutex_);
            periods_.push_back(ms);
        }
        log_.Add("timer:" + std::to_string(ms));
    }
    void ShowBalloon(const Text& text, int x, int y) override {
        {
            std::lock_guard lock(mutex_);
            balloons_.push_back({text, x, y});
        }
        log_.Add("balloon");
    }
    void PlaySound(const std::filesystem::path& mp3) override { log_.Add("sound:" + mp3.string()); }
    void StopSound() override { log_.Add("stop-sound"); }

private:
    EventLog& log_;
    mutable std::mutex mutex_;
    AlertSwitches switches_;
    MailSettings mail_;
    std::vector<Balloon> balloons_;
    std::vector<int> periods_;
};

// Events: "button:running" / "button:stopped", "wait:<ms>", "dispatch", "save".
// The caption follows the button like the real one.
class RecordingControlPort : public ControlWindowPort {
public:
    explicit RecordingControlPort(EventLog& log) : log_(log), caption_(G("开始监控")) {}

    Text interval = "10";
    bool realWaits = false;           // sleep for the waits, like a window does
    std::function<void(int)> onWait;  // runs inside each wait, like a nested handler
    std::function<void()> onSave;

    Text MonitorButtonCaption() const override { return caption_; }
    void ShowRunningButton(bool running) override {
        caption_ = running ? G("停止监控") : G("开始监控");
        log_.Add(running ? "button:running" : "button:stopped");
    }
    Text IntervalText() const override { return interval; }
    void WaitDispatchingEvents(int ms) override {
        log_.Add("wait:" + std::to_string(ms));
        if (realWaits) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        if (onWait) onWait(ms);
    }
    void DispatchPendingEvents() override { log_.Add("dispatch"); }
    void SaveSettings() override {
        log_.Add("save");
        if (onSave) onSave();
    }

private:
    EventLog& log_;
    Text caption_;
};

}  // namespace velmora::testing
