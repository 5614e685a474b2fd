#include "answers.h"

#include <cstdio>
#include <cstdlib>

#include "encoding.h"

namespace fakestore {
namespace {

// Request values are echoed into answers; quotes and backslashes would break the
// answer's shape, so they are dropped.
std::string Echo(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '"' && c != '\\' && c != '\'' && c != '<' && c != '>') out += c;
    return out;
}

// The list price shown beside the selling price: a fifth above it.
std::string MarketPrice(const std::optional<std::string>& price) {
    if (!price) return "-1.00";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", std::strtod(price->c_str(), nullptr) * 1.2);
    return buf;
}

std::string HtmlText(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

}  // namespace

std::string ProductPage(const std::string& sku, const Product& p) {
    const std::string id = Echo(sku);
    std::string page;
    page += "<!DOCTYPE HTML>\n<html lang=\"zh-CN\">\n<head>\n";
    page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\" />\n";
    page += "<title>" + HtmlText(p.name) + "【行情 报价 价格 评测】-京东</title>\n";
    page += "<script>\nvar pageConfig = {\n  compatible: true,\n  product: {\n";
    page += "    skuid: " + id + ",\n";
    page += "    skuMarkJson: {\"pop\":false},\n";
    page += "    venderId:" + p.venderId + ",\n";
    page += "    shopId:'" + p.venderId.substr(p.venderId.size() > 6 ? p.venderId.size() - 6 : 0) +
            "',\n";
    page += "    cat: [" + p.cat + "],\n";
    page += "    src: 'jfs/t1/" + id + "/x.jpg'\n  }\n};\n</script>\n</head>\n<body>\n";
    page += "<div class=\"w\">\n<div class=\"product-intro clearfix\">\n";
    page += "  <div class=\"preview-wrap\"><div id=\"zoom-n1\" class=\"jqzoom\">";
    page += "<img src=\"x.jpg\" alt=\"" + p.name + "\"/></div>\n";
    page += "  <div class=\"itemInfo-wrap\"><div class=\"sku-name\">" + HtmlText(p.name) +
            "</div></div>\n";
    page += "</div>\n</div>\n</body>\n</html>\n";
    return GbkFromUtf8(page);
}

std::string StockAnswer(const std::string& sku, const std::string& area, const Product& p) {
    std::string body = "getStockCallback({\"stock\":{\"Ext\":\"\",\"realSkuId\":" + Echo(sku) +
                       ",\"skuState\":1,";
    if (p.stock) {
        body += "\"StockState\":" + std::to_string(StockStateCode(*p.stock)) + ",";
        body += "\"StockStateName\":\"" + UnicodeEscaped(*p.stock) + "\",";
    }
    body += "\"rn\":-1,\"code\":1,\"area\":{\"success\":true,\"provinceName\":\"\","
            "\"cityName\":\"\",\"countyName\":\"\"},";
    body += "\"areaId\":\"" + Echo(area) + "\",\"isSam\":false},\"choseSuit\":[]})";
    return body;
}

std::string PriceAnswer(const std::string& sku, const Product& p) {
    std::string body = "cnp([{\"id\":\"J_" + Echo(sku) + "\",";
    if (p.pc) body += "\"p\":\"" + Echo(*p.pc) + "\",";
    body += "\"m\":\"" + MarketPrice(p.pc) + "\",\"op\":\"" + Echo(p.pc.value_or("-1.00")) +
            "\"}]);\n";
    return body;
}

std::string PromotionAnswer(const std::string& sku, const Product& p) {
    std::string body = "Promotions.set({\"skuCoupon\":[],\"prom\":{\"pickOneTag\":[],\"tags\":[]},";
    if (p.mobile) body += "\"mpt\":\"" + Echo(*p.mobile) + "\",";
    body += "\"quan\":{},\"ads\":[{\"id\":\"AD_" + Echo(sku) + "\",\"ad\":\"\"}]});";
    return body;
}

std::string MobilePriceAnswer(const std::string& sku, const Product& p) {
    std::string body = "singlePrice([{\"id\":\"" + Echo(sku) + "\",";
    if (p.wechat) body += "\"p\":\"" + Echo(*p.wechat) + "\",";
    body += "\"m\":\"" + MarketPrice(p.wechat) + "\"}])";
    return body;
}

std::string SimplePage(const std::string& title, const std::string& text) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlText(title) +
           "</title></head>\n<body><h1>" + HtmlText(title) + "</h1><p>" + HtmlText(text) +
           "</p></body></html>\n";
}

}  // namespace fakestore
