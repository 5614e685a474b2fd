#include "hostile.h"

namespace fakestore {

std::optional<Mode> ModeFromName(const std::string& name) {
    static const std::map<std::string, Mode> names = {
        {"normal", Mode::Normal},     {"stall", Mode::Stall},
        {"trickle", Mode::Trickle},   {"huge", Mode::Huge},
        {"garbage", Mode::Garbage},   {"junk", Mode::Junk},
        {"truncate", Mode::Truncate}, {"redirectloop", Mode::RedirectLoop},
        {"reset", Mode::Reset},       {"bomb", Mode::Bomb}};
    auto it = names.find(name);
    if (it == names.end()) return std::nullopt;
    return it->second;
}

void HostileModes::Set(const std::string& prefix, const ModeRule& rule) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (rule.mode == Mode::Normal) rules_.erase(prefix);
    else rules_[prefix] = rule;
}

std::optional<ModeRule> HostileModes::Take(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto best = rules_.end();
    for (auto it = rules_.begin(); it != rules_.end(); ++it)
        if (path.compare(0, it->first.size(), it->first) == 0 &&
            (best == rules_.end() || it->first.size() > best->first.size()))
            best = it;
    if (best == rules_.end()) return std::nullopt;
    ModeRule rule = best->second;
    if (best->second.times > 0 && --best->second.times == 0) rules_.erase(best);
    return rule;
}

void HostileModes::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    rules_.clear();
}

}  // namespace fakestore
