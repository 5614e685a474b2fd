// The endpoints file reader: every setting is its default or a non-empty value
// without a trailing "/", and the mail server's port is always usable.
#include "core/endpoints.h"
#include "fuzz_support.h"
#include "storage/endpoints_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    FuzzInput in(data, size);
    const Text account = in.NextText();
    const Bytes content = in.Rest();

    const Endpoints e = ParseEndpoints(content);
    const Endpoints d;
    const std::pair<const Text*, const Text*> fields[] = {
        {&e.stockServiceBase, &d.stockServiceBase},
        {&e.priceServiceBase, &d.priceServiceBase},
        {&e.promoServiceBase, &d.promoServiceBase},
        {&e.mobilePriceServiceBase, &d.mobilePriceServiceBase},
        {&e.productPageBase, &d.productPageBase},
        {&e.mobilePageBase, &d.mobilePageBase},
        {&e.wechatShopBase, &d.wechatShopBase},
        {&e.districtServiceBase, &d.districtServiceBase},
        {&e.qrServiceBase, &d.qrServiceBase},
        {&e.mailServerHost, &d.mailServerHost},
        {&e.makerHomeUrl, &d.makerHomeUrl},
        {&e.makerFeedbackUrl, &d.makerFeedbackUrl},
        {&e.bannerImageUrl, &d.bannerImageUrl},
    };
    for (const auto& [value, fallback] : fields) {
        if (*value == *fallback) continue;
        FUZZ_CHECK(!value->empty() && value->back() != '/' && !HasZeroByte(*value));
    }

    for (const Endpoints& ep : {e, d}) {
        const MailServer server = MailServerFor(ep, account);
        FUZZ_CHECK(server.port >= 1 && server.port <= 65535);
    }
    return 0;
}
