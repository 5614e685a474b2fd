// What the store says about each product: page data (name, vendor id, category)
// and the changing state (stock state name, PC, mobile and WeChat-shop prices).
// Unknown products get a generated, deterministic default; changes come from the
// scenario file and the admin calls. Thread-safe.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace fakestore {

// Texts are UTF-8. An empty optional means the answer leaves that field out.
struct Product {
    std::string name;
    std::string venderId;
    std::string cat;                    // the numbers between "cat: [" and "],"
    std::optional<std::string> stock;   // stock state name, e.g. 现货
    std::optional<std::string> pc;      // "p" of the price answer
    std::optional<std::string> mobile;  // "mpt" of the promotion answer
    std::optional<std::string> wechat;  // "p" of the mobile price answer
};

// One change: key=value pairs as in the scenario file and the admin call.
// Keys: stock, pc, mobile, wechat, name, vender, cat; the value "none" leaves the
// field out of its answer. Returns false (and changes nothing) for an unknown key.
bool ApplyChange(Product& p, const std::string& key, const std::string& value);

// The stock state number the store pairs with a state name (33 for 现货).
int StockStateCode(const std::string& name);

class ProductStore {
public:
    Product Get(const std::string& sku);
    // Applies the pairs to the product (created from its default first).
    bool Change(const std::string& sku, const std::map<std::string, std::string>& pairs);
    void Reset();

private:
    std::mutex mutex_;
    std::map<std::string, Product> products_;
};

Product DefaultProduct(const std::string& sku);

}  // namespace fakestore
