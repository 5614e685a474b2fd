// The price and stock queries of one monitored product in one delivery
// region: four requests to the store's services and the values cut out of
// their answers.
#pragma once

#include "core/endpoints.h"
#include "core/text.h"

namespace velmora {

// The cells of a row that a query reads.
struct ItemCells {
    Text sku;
    Text region;  // province item "#" city item "+" area item
    Text venderId;
    Text cat;
};

// The three ids of a region cell joined by "_"; an id is what follows the
// last "-" of its item, empty when the item has none.
Text RegionCode(const Text& regionCell);

struct ItemQueryUrls {
    Text stock;
    Text price;
    Text promo;
    Text mobile;
};
// The cells go into the addresses exactly as they are, nothing escaped.
ItemQueryUrls BuildItemQueryUrls(const ItemCells& cells, const Endpoints& endpoints);

struct ItemQuery {
    Text stockState;      // empty: the stock answer held no state, and nothing else is set
    Text combinedStatus;  // stockState " |当前价格：" first price "/" second price
    Text pricePc;
    Text priceMobile;
    Text priceWechat;
};
// The answers as text; the stock text with its escapes already decoded.
ItemQuery ParseItemAnswers(const Text& stockText, const Text& priceText, const Text& promoText,
                           const Text& mobileText);
// Fetches the four answers one after the other, then parses them.
ItemQuery QueryItem(const ItemCells& cells, const Endpoints& endpoints);

}  // namespace velmora
