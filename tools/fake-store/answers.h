// The bodies of the store's answers, in the shapes the program cuts apart.
#pragma once

#include <string>

#include "products.h"

namespace fakestore {

// Product page, code page 936 bytes: "venderId:<id>,", "cat: [<cat>],", and the
// name as the alt text of the picture inside the "product-intro" block.
std::string ProductPage(const std::string& sku, const Product& p);
// getStockCallback({"stock":{... "StockStateName":"<\u escapes>", ...}})
std::string StockAnswer(const std::string& sku, const std::string& area, const Product& p);
// cnp([{"id":"J_<sku>","p":"<pc>","m":"..","op":".."}]);
std::string PriceAnswer(const std::string& sku, const Product& p);
// Promotions.set({..."mpt":"<mobile>",...}); without "mpt" when there is no mobile price.
std::string PromotionAnswer(const std::string& sku, const Product& p);
// singlePrice([{"id":"<sku>","p":"<wechat>","m":".."}])
std::string MobilePriceAnswer(const std::string& sku, const Product& p);
// Small UTF-8 pages: the maker's home and feedback pages, the mobile and WeChat pages.
std::string SimplePage(const std::string& title, const std::string& text);

}  // namespace fakestore
