// The stock, price, promotion and mobile price answers: no state means no
// other value, and every value is cut out of its own answer.
#include "core/escape.h"
#include "fuzz_support.h"
#include "services/item_query.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    FuzzInput in(data, size);
    const Text stock = in.NextText();
    const Text price = in.NextText();
    const Text promo = in.NextText();
    const Text mobile = in.NextText();

    // As fetched: the stock answer's escapes are decoded first.
    for (const Text& stockText : {stock, DecodeUnicodeEscapes(stock)}) {
        const ItemQuery q = ParseItemAnswers(stockText, price, promo, mobile);
        if (q.stockState.empty()) {
            FUZZ_CHECK(q.combinedStatus.empty() && q.pricePc.empty() && q.priceMobile.empty() &&
                       q.priceWechat.empty());
            continue;
        }
        FUZZ_CHECK(Contains(stockText, q.stockState));
        FUZZ_CHECK(q.combinedStatus.compare(0, q.stockState.size(), q.stockState) == 0);
        FUZZ_CHECK(Contains(q.combinedStatus, q.pricePc));
        FUZZ_CHECK(Contains(q.combinedStatus, q.priceMobile));
        FUZZ_CHECK(Contains(mobile, q.priceWechat));
    }
    return 0;
}
