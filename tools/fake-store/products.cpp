#include "products.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace fakestore {
namespace {

std::uint64_t Fnv1a(const std::string& s) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

const std::vector<std::string> kBrands = {"星河", "青木", "云帆", "北辰", "晨光", "远山", "白鹭", "知行"};
const std::vector<std::string> kGoods = {
    "无线蓝牙耳机", "机械键盘", "保温杯 500ml", "移动电源 20000mAh", "智能手环",
    "电动牙刷",     "空气炸锅", "双肩背包",     "护眼台灯",           "便携音箱"};
const std::vector<std::string> kCats = {"652,654,832", "670,686,690", "1320,1585,9434",
                                        "737,752,760", "1318,12099,9756", "6196,6197,6199"};

struct Known {
    const char* sku;
    Product product;
};

// A few fixed products, so demos and tests have recognisable names.
const std::vector<Known>& KnownProducts() {
    static const std::vector<Known> known = {
        {"1743535", {"Velmora 演示商品 智能电饭煲 4L", "1000000127", "737,752,753", "现货", "299.00",
                     std::nullopt, "299.00"}},
        {"100012043978", {"青木 机械键盘 87键 茶轴", "1000000904", "670,686,690", "现货", "349.00",
                          "339.00", "345.00"}},
        {"100008348542", {"远山 降噪蓝牙耳机 Pro", "1000001582", "652,828,842", "无货", "899.00",
                          std::nullopt, "899.00"}},
    };
    return known;
}

}  // namespace

Product DefaultProduct(const std::string& sku) {
    for (const auto& k : KnownProducts())
        if (sku == k.sku) return k.product;
    std::uint64_t h = Fnv1a(sku);
    Product p;
    p.name = kBrands[h % kBrands.size()] + " " + kGoods[(h >> 8) % kGoods.size()] + " " + sku;
    p.venderId = std::to_string(1000000000ULL + (h >> 16) % 10000);
    p.cat = kCats[(h >> 32) % kCats.size()];
    p.stock = "现货";
    char price[32];
    std::snprintf(price, sizeof price, "%llu.00",
                  static_cast<unsigned long long>(20 + (h >> 40) % 980));
    p.pc = price;
    p.wechat = price;
    return p;
}

bool ApplyChange(Product& p, const std::string& key, const std::string& value) {
    auto optional = [&value]() -> std::optional<std::string> {
        if (value == "none") return std::nullopt;
        return value;
    };
    if (key == "stock") p.stock = optional();
    else if (key == "pc") p.pc = optional();
    else if (key == "mobile") p.mobile = optional();
    else if (key == "wechat") p.wechat = optional();
    else if (key == "name") p.name = value;
    else if (key == "vender") p.venderId = value;
    else if (key == "cat") p.cat = value;
    else return false;
    return true;
}

int StockStateCode(const std::string& name) {
    if (name == "现货" || name == "有货") return 33;
    if (name == "无货") return 34;
    if (name == "预订") return 36;
    if (name == "在途") return 39;
    if (name == "可配货") return 40;
    return 33;
}

Product ProductStore::Get(const std::string& sku) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = products_.find(sku);
    return it != products_.end() ? it->second : DefaultProduct(sku);
}

bool ProductStore::Change(const std::string& sku,
                          const std::map<std::string, std::string>& pairs) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = products_.find(sku);
    Product p = it != products_.end() ? it->second : DefaultProduct(sku);
    for (const auto& [key, value] : pairs)
        if (!ApplyChange(p, key, value)) return false;
    products_[sku] = p;
    return true;
}

void ProductStore::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    products_.clear();
}

}  // namespace fakestore
