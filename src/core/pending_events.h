// A hook through which long text work on the window's thread lets the window
// dispatch its pending events. Without an installed hook it does nothing.
#pragma once

#include <functional>

namespace velmora {

// Installed once by the window at start; the hook itself decides whether the
// calling thread has events to process (worker threads have none).
void SetPendingEventsHook(std::function<void()> hook);
void ProcessPendingEvents();

}  // namespace velmora
