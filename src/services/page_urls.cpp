#include "services/page_urls.h"

#include "services/product_lookup.h"

namespace velmora {

Text MobilePageUrl(const Text& sku, const Endpoints& endpoints) {
    return endpoints.mobilePageBase + "/product/" + sku + ".html";
}

Text WechatShopUrl(const Text& sku, const Endpoints& endpoints) {
    return endpoints.wechatShopBase + "/item/view?sku=" + sku;
}

Text ProductPageUrl(const Text& sku, const Endpoints& endpoints) {
    // The page the browser opens is the one the lookup reads.
    return ProductPageRequestUrl(sku, endpoints);
}

}  // namespace velmora
