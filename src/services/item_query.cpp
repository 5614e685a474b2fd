#include "services/item_query.h"

#include "core/escape.h"
#include "net/http_get.h"

namespace velmora {

namespace {

// " |当前价格：" in code page 936.
const Text kPriceLabel = " |\xB5\xB1\xC7\xB0\xBC\xDB\xB8\xF1\xA3\xBA";

// The four answers of a check are a few hundred bytes each. Every row's check
// runs at once, so the general 16 MiB body limit would let a hostile store
// hold 16 MiB per row in flight; a check answer gets 1 MiB at most.
HttpLimits CheckAnswerLimits() {
    HttpLimits limits;
    limits.maxBodyBytes = 1024 * 1024;
    return limits;
}

// Drops one double quote that ends a value cut at a bare comma.
Text WithoutClosingQuote(const Text& value) {
    return TextRight(value, 1) == "\"" ? TextLeft(value, TextLength(value) - 1) : value;
}

}  // namespace

Text RegionCode(const Text& regionCell) {
    const Text province = TextAfterLast(TextBefore(regionCell, "#"), "-");
    const Text city = TextAfterLast(TextBetween(regionCell, "#", "+"), "-");
    const Text area = TextAfterLast(TextAfterLast(regionCell, "+"), "-");
    return province + "_" + city + "_" + area;
}

ItemQueryUrls BuildItemQueryUrls(const ItemCells& cells, const Endpoints& endpoints) {
    const Text region = RegionCode(cells.region);
    ItemQueryUrls urls;
    urls.stock = endpoints.stockServiceBase + "/stock?skuId=" + cells.sku +
                 "&venderId=" + cells.venderId + "&cat=" + cells.cat + "&area=" + region +
                 "_0&buyNum=1&extraParam={%22originid%22:%221%22}&ch=1&callback=getStockCallback";
    urls.price = endpoints.priceServiceBase + "/prices/get?skuid=J_" + cells.sku +
                 "&type=1&area=" + region + "&callback=cnp";
    urls.promo = endpoints.promoServiceBase + "/promoinfo/get?id=" + cells.sku + "&area=" + region +
                 "_0&origin=1&callback=Promotions.set";
    urls.mobile = endpoints.mobilePriceServiceBase + "/prices/pcpmgets?skuids=" + cells.sku +
                  "&origin=4&source=wxsq&area=" + region + "&callback=singlePrice&g_ty=ls";
    return urls;
}

ItemQuery ParseItemAnswers(const Text& stockText, const Text& priceText, const Text& promoText,
                           const Text& mobileText) {
    ItemQuery query;
    query.stockState = TextBetween(stockText, "StockStateName\":\"", "\",");
    if (query.stockState.empty()) return query;

    const Text firstPrice = TextBetween(priceText, "\"p\":\"", "\",");
    // The promotion answer's mobile price runs to the next comma; the closing
    // quote of its field is not part of the price. Without the marker the PC
    // price stands in.
    const Text secondPrice = FindText(promoText, "\"mpt\":\"") != -1
                                 ? WithoutClosingQuote(TextBetween(promoText, "\"mpt\":\"", ","))
                                 : firstPrice;
    query.combinedStatus = query.stockState + kPriceLabel + firstPrice + "/" + secondPrice;

    const Text tail = TextAfterLast(query.combinedStatus, kPriceLabel);
    query.pricePc = TextBefore(tail, "/");
    query.priceMobile = TextAfterLast(tail, "/");
    query.priceWechat = TextBetween(mobileText, "\"p\":\"", "\",");
    return query;
}

ItemQuery QueryItem(const ItemCells& cells, const Endpoints& endpoints) {
    const ItemQueryUrls urls = BuildItemQueryUrls(cells, endpoints);
    // Every answer is fetched before any is looked at, in this order.
    const HttpLimits limits = CheckAnswerLimits();
    const Text stockText = BytesToText(HttpGet(urls.stock, limits));
    const Text priceText = BytesToText(HttpGet(urls.price, limits));
    const Text promoText = BytesToText(HttpGet(urls.promo, limits));
    const Text mobileText = BytesToText(HttpGet(urls.mobile, limits));
    return ParseItemAnswers(DecodeUnicodeEscapes(stockText), priceText, promoText, mobileText);
}

}  // namespace velmora
