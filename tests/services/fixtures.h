// Reads a sample answer from tests/fixtures/services.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace velmora::testing {

inline std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(SERVICES_FIXTURE_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velmora::testing
