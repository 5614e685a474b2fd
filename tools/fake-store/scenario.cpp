#include "scenario.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace fakestore {

bool Scenario::Load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), error);
}

bool Scenario::Parse(const std::string& text, std::string& error) {
    std::vector<ScenarioStep> steps;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        ScenarioStep step;
        std::string when;
        if (!(words >> step.sku) || step.sku[0] == '#') continue;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        if (!(words >> when)) return fail("missing seconds");
        std::size_t used = 0;
        try {
            step.atSeconds = std::stod(when, &used);
        } catch (...) {
            used = 0;
        }
        if (used != when.size() || step.atSeconds < 0) return fail("bad seconds '" + when + "'");
        std::string pair;
        while (words >> pair) {
            std::size_t eq = pair.find('=');
            if (eq == std::string::npos) return fail("expected key=value, got '" + pair + "'");
            Product probe;
            std::string key = pair.substr(0, eq), value = pair.substr(eq + 1);
            if (!ApplyChange(probe, key, value)) return fail("unknown key '" + key + "'");
            step.pairs[key] = value;
        }
        steps.push_back(step);
    }
    std::stable_sort(steps.begin(), steps.end(), [](const auto& a, const auto& b) {
        return a.atSeconds < b.atSeconds;
    });
    std::lock_guard<std::mutex> lock(mutex_);
    steps_ = std::move(steps);
    next_ = 0;
    return true;
}

void Scenario::ApplyDue(ProductStore& store) {
    std::lock_guard<std::mutex> lock(mutex_);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    while (next_ < steps_.size() && steps_[next_].atSeconds <= elapsed) {
        store.Change(steps_[next_].sku, steps_[next_].pairs);
        ++next_;
    }
}

}  // namespace fakestore
