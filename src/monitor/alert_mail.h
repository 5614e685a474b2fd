// The alert mail: one accepted mail per start of monitoring, at most 11
// attempts, however many alerts arrive at once.
#pragma once

#include "monitor/alert_texts.h"
#include "monitor/monitor_context.h"
#include "monitor/smtp_send.h"

namespace velmora {

// Tries until mailDone is set: each attempt reads the mail edits, sends the
// mail for `kind` and product number `sku`, waits 1000 ms and counts itself;
// the attempt that finds mailAttempts at 10 is the last. The whole loop runs
// under the context's mail mutex.
void SendAlertMail(MonitorContext& context, AlertKind kind, const Text& sku);

}  // namespace velmora
