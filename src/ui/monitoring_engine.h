// The monitoring engine as the window drives it: the start/stop button and
// the timer's firings, over the context that every worker shares.
#pragma once

#include <filesystem>
#include <memory>

#include "core/endpoints.h"
#include "monitor/monitor_list.h"
#include "monitor/window_port.h"

namespace velmora {

struct MonitorContext;

class MonitoringEngine {
public:
    MonitoringEngine(std::shared_ptr<MonitorList> list, const Endpoints& endpoints,
                     std::shared_ptr<WorkerWindowPort> worker, ControlWindowPort& control,
                     const std::filesystem::path& programDir);
    void ToggleMonitoring();
    void RunCheckPass();

private:
    std::shared_ptr<MonitorContext> context_;
    ControlWindowPort& control_;
};

}  // namespace velmora
