#include "core/pending_events.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace velmora {
namespace {

std::mutex hookMutex;
std::shared_ptr<const std::function<void()>> installedHook;
// Lets the frequent call without a hook skip the lock.
std::atomic<bool> hookInstalled{false};

}  // namespace

void SetPendingEventsHook(std::function<void()> hook) {
    auto next = hook ? std::make_shared<const std::function<void()>>(std::move(hook)) : nullptr;
    std::lock_guard lock(hookMutex);
    installedHook = std::move(next);
    hookInstalled.store(installedHook != nullptr, std::memory_order_release);
}

void ProcessPendingEvents() {
    if (!hookInstalled.load(std::memory_order_acquire)) return;
    std::shared_ptr<const std::function<void()>> hook;
    {
        std::lock_guard lock(hookMutex);
        hook = installedHook;
    }
    // Called outside the lock: the hook may run handlers that install another.
    if (hook) (*hook)();
}

}  // namespace velmora
