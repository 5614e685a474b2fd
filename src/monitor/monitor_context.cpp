#include "monitor/monitor_context.h"

#include <utility>

namespace velmora {

std::shared_ptr<MonitorContext> MakeMonitorContext(std::shared_ptr<MonitorList> list,
                                                   Endpoints endpoints,
                                                   std::shared_ptr<WorkerWindowPort> window,
                                                   std::filesystem::path programDir) {
    auto context = std::make_shared<MonitorContext>();
    context->list = std::move(list);
    context->endpoints = std::move(endpoints);
    context->window = std::move(window);
    context->programDir = std::move(programDir);
    return context;
}

}  // namespace velmora
