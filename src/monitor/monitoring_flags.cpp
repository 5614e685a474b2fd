#include "monitor/monitoring_flags.h"

namespace velmora {

std::atomic<int> monitoringActive{0};
std::atomic<int> mailDone{0};
std::atomic<int> mailAttempts{0};

}  // namespace velmora
