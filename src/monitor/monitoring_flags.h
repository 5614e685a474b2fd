// The three process-wide monitoring flags, shared by the window's thread and
// every worker. They are 0 when the program starts.
#pragma once

#include <atomic>

namespace velmora {

// 1 while monitoring is on; read once by each check at its start.
extern std::atomic<int> monitoringActive;
// 1 once this start of monitoring has sent its alert mail or used up its attempts.
extern std::atomic<int> mailDone;
// Alert-mail attempts since the last start, held at 10.
extern std::atomic<int> mailAttempts;

}  // namespace velmora
