#include "monitor/monitoring_control.h"

#include <cmath>
#include <limits>
#include <system_error>
#include <thread>

#include "monitor/alert_notify.h"
#include "monitor/check_item.h"
#include "monitor/monitoring_flags.h"

namespace velmora {

namespace {

const Text kCaptionStart = "\xbf\xaa\xca\xbc\xbc\xe0\xbf\xd8";  // 开始监控

void LaunchPass(const std::shared_ptr<MonitorContext>& context, ControlWindowPort& control,
                int waitMs) {
    int n = context->list->ListRowCount();
    for (int i = 1; i <= n; ++i) {
        StartCheckWorker(context, i);
        control.WaitDispatchingEvents(waitMs);
        control.DispatchPendingEvents();
    }
}

}  // namespace

int TimerPeriodFor(const Text& intervalText) {
    double ms = TextToNumber(intervalText) * 1000.0;
    // NaN and everything below 1 ms stop the timer; infinity and huge values
    // would overflow the conversion, so they are held at the largest period.
    if (!(ms >= 1.0)) return 0;
    if (ms >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(std::trunc(ms));
}

void ToggleMonitoring(const std::shared_ptr<MonitorContext>& context, ControlWindowPort& control) {
    if (CompareText(control.MonitorButtonCaption(), kCaptionStart) == 0) {
        monitoringActive.store(1);
        mailDone.store(0);
        mailAttempts.store(0);
        control.ShowRunningButton(true);
        context->window->SetTimerPeriod(TimerPeriodFor(control.IntervalText()));
        LaunchPass(context, control, 100);
    } else {
        context->window->SetTimerPeriod(0);
        control.ShowRunningButton(false);
        monitoringActive.store(0);
        StopAlertSound(*context);
    }
    RenumberRows(*context->list);
    control.SaveSettings();
}

void RunCheckPass(const std::shared_ptr<MonitorContext>& context, ControlWindowPort& control) {
    LaunchPass(context, control, 10);
}

bool StartCheckWorker(const std::shared_ptr<MonitorContext>& context, int rowNumber) {
    try {
        std::thread([context, rowNumber] { CheckItem(*context, rowNumber); }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void RenumberRows(MonitorList& list) {
    int n = list.ListRowCount();
    for (int i = 1; i <= n; ++i) list.ListSetCell(i - 1, ColIndex, IntToText(i));
}

}  // namespace velmora
