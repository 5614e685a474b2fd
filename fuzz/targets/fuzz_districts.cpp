// The district answer parser: every item is a non-blank name without a
// quote (at a character start), "-", and a decimal id, and the name stands in the answer.
#include "fuzz_support.h"
#include "services/region_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    FuzzInput in(data, size);
    const Text answer = BytesToText(in.All());
    for (const Text& item : ParseDistricts(answer)) {
        const size_t dash = item.rfind('-');
        FUZZ_CHECK(dash != Text::npos && dash > 0 && dash + 1 < item.size());
        const Text name = item.substr(0, dash);
        const Text id = item.substr(dash + 1);
        for (char c : id) FUZZ_CHECK(c >= '0' && c <= '9');
        FUZZ_CHECK(FindText(name, "\"") == -1);  // no quote at a character start
        FUZZ_CHECK(Contains(answer, name));
        FUZZ_CHECK(Contains(answer, id));
    }
    return 0;
}
