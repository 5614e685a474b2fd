// One check of one monitored row: query the store, write the results into the
// row, and raise at most one alert.
#pragma once

#include "monitor/monitor_context.h"

namespace velmora {

// `rowNumber` is 1-based. Does nothing while monitoringActive is 0. The row is
// resolved to its stable id at the start, so the results land in that
// product's row, or nowhere once it was deleted.
void CheckItem(MonitorContext& context, int rowNumber);

}  // namespace velmora
