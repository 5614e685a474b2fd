// What monitoring needs of the main window, and nothing more. The window (ui/)
// implements it; tests implement it without widgets.
#pragma once

#include <filesystem>

#include "core/text.h"

namespace velmora {

// The five alert check boxes, read at the moment each is needed.
struct AlertSwitches {
    bool priceAlert = true;   // 选择框降价提醒
    bool stockAlert = true;   // 选择框有货提醒
    bool stockHalt = true;    // 选择框有货停止
    bool soundAlert = true;   // 选择框音乐提醒
    bool mailAlert = true;    // 选择框邮件提醒
};

// The three mail edits, read at every mail attempt.
struct MailSettings {
    Text account;
    Text password;
    Text recipient;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Calls a worker may make from any thread. Reads come from a snapshot the
// window's thread keeps current; the other calls are carried out later on the
// window's thread (queued), so a worker never waits on the window.
class WorkerWindowPort {
public:
    virtual ~WorkerWindowPort() = default;
    virtual AlertSwitches Switches() const = 0;
    virtual MailSettings Mail() const = 0;
    virtual ScreenSize PrimaryScreen() const = 0;
    virtual void SetTimerPeriod(int milliseconds) = 0;       // 0 or less stops the timer
    virtual void ShowBalloon(const Text& text, int x, int y) = 0;  // hides itself after 5000 ms
    virtual void PlaySound(const std::filesystem::path& mp3) = 0;  // restarts from the beginning
    virtual void StopSound() = 0;
};

// Calls made on the window's thread only, by the start/stop control.
class ControlWindowPort {
public:
    virtual ~ControlWindowPort() = default;
    virtual Text MonitorButtonCaption() const = 0;           // "开始监控" or "停止监控"
    virtual void ShowRunningButton(bool running) = 0;        // caption and picture together
    virtual Text IntervalText() const = 0;                   // 编辑框监控间隔
    virtual void WaitDispatchingEvents(int milliseconds) = 0;
    virtual void DispatchPendingEvents() = 0;
    virtual void SaveSettings() = 0;
};

}  // namespace velmora
