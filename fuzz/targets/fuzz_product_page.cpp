// The product page parser: every field it returns is cut out of the page.
#include "fuzz_support.h"
#include "services/product_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    FuzzInput in(data, size);
    const Text page = BytesToText(in.All());
    const ProductInfo info = ParseProductPage(page);
    FUZZ_CHECK(Contains(page, info.vendorId));
    FUZZ_CHECK(Contains(page, info.category));
    FUZZ_CHECK(Contains(page, info.productName));
    if (!info.productName.empty()) {
        FUZZ_CHECK(Contains(page, "\" alt=\"" + info.productName + "\"/>"));
    }
    return 0;
}
