#include "ui/monitoring_engine.h"

#include "monitor/monitor_context.h"
#include "monitor/monitoring_control.h"

namespace velmora {

MonitoringEngine::MonitoringEngine(std::shared_ptr<MonitorList> list, const Endpoints& endpoints,
                                   std::shared_ptr<WorkerWindowPort> worker,
                                   ControlWindowPort& control,
                                   const std::filesystem::path& programDir)
    : context_(MakeMonitorContext(std::move(list), endpoints, std::move(worker), programDir)),
      control_(control) {}

void MonitoringEngine::ToggleMonitoring() { velmora::ToggleMonitoring(context_, control_); }

void MonitoringEngine::RunCheckPass() { velmora::RunCheckPass(context_, control_); }

}  // namespace velmora
