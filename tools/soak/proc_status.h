// Figures of the running process from /proc/self/status: live threads and
// resident memory, now and at its peak.
#pragma once

#include <fstream>
#include <string>

namespace velmora::soak {

struct ProcStatus {
    long threads = -1;
    long rssKiB = -1;
    long peakRssKiB = -1;
};

inline ProcStatus ReadProcStatus() {
    ProcStatus status;
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        auto value = [&](const char* key) {
            return std::stol(line.substr(std::string(key).size()));
        };
        if (line.rfind("Threads:", 0) == 0) status.threads = value("Threads:");
        if (line.rfind("VmRSS:", 0) == 0) status.rssKiB = value("VmRSS:");
        if (line.rfind("VmHWM:", 0) == 0) status.peakRssKiB = value("VmHWM:");
    }
    return status;
}

}  // namespace velmora::soak
