// The product page lookup: the vendor id, category and name of a product,
// cut out of its page on the store's product page site.
#pragma once

#include "core/endpoints.h"
#include "core/text.h"

namespace velmora {

struct ProductInfo {
    Text vendorId;
    Text category;
    Text productName;
};

// The address of a product's page: ProductPageBase + "/" + sku + ".html".
Text ProductPageRequestUrl(const Text& sku, const Endpoints& endpoints);
// Every field that cannot be found is empty; the fields are independent.
ProductInfo ParseProductPage(const Text& page);
// One GET of the product page; all fields empty when it fails.
ProductInfo LookupProduct(const Text& sku, const Endpoints& endpoints);

}  // namespace velmora
