#include "services/product_lookup.h"

#include "net/http_get.h"

namespace velmora {

Text ProductPageRequestUrl(const Text& sku, const Endpoints& endpoints) {
    return endpoints.productPageBase + "/" + sku + ".html";
}

ProductInfo ParseProductPage(const Text& page) {
    ProductInfo info;
    info.vendorId = TrimSpaces(TextBetween(page, "venderId:", ","));
    info.category = TrimSpaces(TextBetween(page, "cat: [", "],"));
    // The name is the picture's alt text inside the product's intro block;
    // it is kept as written, spaces included.
    const Text block = TextBetween(page, "product-intro", "</div>");
    info.productName = TextBetween(block, "\" alt=\"", "\"/>");
    return info;
}

ProductInfo LookupProduct(const Text& sku, const Endpoints& endpoints) {
    return ParseProductPage(BytesToText(HttpGet(ProductPageRequestUrl(sku, endpoints))));
}

}  // namespace velmora
