// What the window and every monitoring worker share. Workers are detached and
// hold the context by shared_ptr, so nothing they use goes away under them.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>

#include "core/endpoints.h"
#include "monitor/monitor_list.h"
#include "monitor/window_port.h"

namespace velmora {

struct MonitorContext {
    std::shared_ptr<MonitorList> list;
    Endpoints endpoints;
    std::shared_ptr<WorkerWindowPort> window;
    std::filesystem::path programDir;
    // Held for a whole alert-mail loop, so the mail limits hold under any
    // number of alerts at once.
    std::mutex mailMutex;
};

std::shared_ptr<MonitorContext> MakeMonitorContext(std::shared_ptr<MonitorList> list,
                                                   Endpoints endpoints,
                                                   std::shared_ptr<WorkerWindowPort> window,
                                                   std::filesystem::path programDir);

}  // namespace velmora
