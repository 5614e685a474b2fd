// Starting, stopping and driving monitoring: the start/stop button's handler,
// the timer's handler and the per-row worker threads.
#pragma once

#include <memory>

#include "monitor/monitor_context.h"
#include "monitor/window_port.h"

namespace velmora {

// Handler of the start/stop button. Starts when the caption reads "开始监控"
// (flags reset, timer period set, a first pass with 100 ms between workers),
// else stops (timer 0, button, flag, sound). Both then renumber the rows and
// save the settings. The timer period is written through the context's
// WorkerWindowPort, called here from the window's thread.
void ToggleMonitoring(const std::shared_ptr<MonitorContext>& context, ControlWindowPort& control);

// Handler of the timer: one worker per row, 10 ms apart.
void RunCheckPass(const std::shared_ptr<MonitorContext>& context, ControlWindowPort& control);

// Starts one detached thread running CheckItem(rowNumber); false when the
// thread could not be created (the row is skipped).
bool StartCheckWorker(const std::shared_ptr<MonitorContext>& context, int rowNumber);

// Writes "1" to "n" into every row's ColIndex.
void RenumberRows(MonitorList& list);

// The timer period for an interval text: seconds times 1000, truncated; 0
// (stopped) below 1 ms, and held within int range.
int TimerPeriodFor(const Text& intervalText);

}  // namespace velmora
