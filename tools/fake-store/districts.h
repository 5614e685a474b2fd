// The district service's answers: the children of a district id, as a list of
// objects each ending with its "id" then its "aname" and the closing brace.
#pragma once

#include <string>

namespace fakestore {

// The answer for parent id pid: cities of provinces 1-35, areas of those cities,
// "[]" for any other id. Deterministic.
std::string DistrictAnswer(const std::string& pid);

}  // namespace fakestore
