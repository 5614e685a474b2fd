// The addresses of a product's pages on the store's three sites, built from
// its product number as it was typed.
#pragma once

#include "core/endpoints.h"
#include "core/text.h"

namespace velmora {

// MobilePageBase + "/product/" + sku + ".html"
Text MobilePageUrl(const Text& sku, const Endpoints& endpoints);
// WechatShopBase + "/item/view?sku=" + sku
Text WechatShopUrl(const Text& sku, const Endpoints& endpoints);
// ProductPageBase + "/" + sku + ".html"
Text ProductPageUrl(const Text& sku, const Endpoints& endpoints);

}  // namespace velmora
