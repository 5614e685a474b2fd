// A scenario: timed product changes, one a line:
//   <sku> <seconds-from-start> key=value ...
// Blank lines and lines starting with "#" are skipped. A change takes effect once
// its time has passed (checked before every request is answered).
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "products.h"

namespace fakestore {

struct ScenarioStep {
    std::string sku;
    double atSeconds = 0;
    std::map<std::string, std::string> pairs;
};

class Scenario {
public:
    // Reads the file; on a bad line, returns false with the line number in error.
    bool Load(const std::string& path, std::string& error);
    // Parses scenario text (used by Load and by tests of the format).
    bool Parse(const std::string& text, std::string& error);
    // Applies every step whose time has passed since Start() and not yet applied.
    void ApplyDue(ProductStore& store);
    void Start() { start_ = std::chrono::steady_clock::now(); }

private:
    std::mutex mutex_;
    std::vector<ScenarioStep> steps_;  // sorted by time, stable for equal times
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace fakestore
