// Hostile answer modes for reliability tests: requests whose path starts with a
// prefix are answered badly (stalled, trickled, huge, garbage, cut short,
// redirected in a loop, reset). The longest matching prefix wins. Thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace fakestore {

enum class Mode {
    Normal, Stall, Trickle, Huge, Garbage, Junk, Truncate, RedirectLoop, Reset, Bomb
};

struct ModeRule {
    Mode mode = Mode::Normal;
    int intervalMs = 1000;                    // trickle: pause after each byte
    std::uint64_t size = 64ULL * 1024 * 1024;  // huge: body bytes
    bool withoutLength = false;               // huge: no Content-Length
    int side = 30000;                         // bomb: picture width and height
    int times = 0;                            // how many requests it affects; 0 = all
};

// "stall" -> Mode::Stall ...; empty for an unknown name.
std::optional<Mode> ModeFromName(const std::string& name);

class HostileModes {
public:
    // Mode::Normal removes the rule for that prefix.
    void Set(const std::string& prefix, const ModeRule& rule);
    // The rule for this path, counting one use of it; empty when none applies.
    std::optional<ModeRule> Take(const std::string& path);
    void Clear();

private:
    std::mutex mutex_;
    std::map<std::string, ModeRule> rules_;
};

}  // namespace fakestore
