// The balloon and the sound of an alert, delivered through the window port.
#pragma once

#include "monitor/alert_texts.h"
#include "monitor/monitor_context.h"
#include "services/item_query.h"

namespace velmora {

// Shows the alert text near the lower right corner of the primary screen
// (width - 10, height - 30), with the current local time of day.
void ShowAlertBalloon(MonitorContext& context, AlertKind kind, const ItemQuery& query);
// Plays programDir/autio.mp3 once from its beginning.
void PlayAlertSound(MonitorContext& context);
void StopAlertSound(MonitorContext& context);

}  // namespace velmora
