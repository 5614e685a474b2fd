#include "storage/endpoints_file.h"

#include <optional>
#include <utility>

#include "storage/file_io.h"
#include "storage/profile_file.h"

namespace velmora {

namespace {

const Text kSection = "endpoints";

Text WithoutTrailingSlashes(Text value) {
    while (!value.empty() && value.back() == '/') value.pop_back();
    return value;
}

bool AllDigits(const Text& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

Text TrimBlanks(const Text& text) {
    size_t b = text.find_first_not_of(" \t");
    if (b == Text::npos) return Text();
    size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

}  // namespace

Endpoints ParseEndpoints(const Bytes& content) {
    static const char kBom[] = "\xEF\xBB\xBF";
    Bytes body = content.starts_with(kBom) ? content.substr(3) : content;
    ProfileOptions options;
    options.doubleByte = false;

    Endpoints e;
    const std::pair<const char*, Text*> keys[] = {
        {"StockServiceBase", &e.stockServiceBase},
        {"PriceServiceBase", &e.priceServiceBase},
        {"PromoServiceBase", &e.promoServiceBase},
        {"MobilePriceServiceBase", &e.mobilePriceServiceBase},
        {"ProductPageBase", &e.productPageBase},
        {"MobilePageBase", &e.mobilePageBase},
        {"WechatShopBase", &e.wechatShopBase},
        {"DistrictServiceBase", &e.districtServiceBase},
        {"QrServiceBase", &e.qrServiceBase},
        {"MailServerHost", &e.mailServerHost},
        {"MakerHomeUrl", &e.makerHomeUrl},
        {"MakerFeedbackUrl", &e.makerFeedbackUrl},
        {"BannerImageUrl", &e.bannerImageUrl},
    };
    for (const auto& [key, field] : keys) {
        std::optional<Text> value = FindProfileValue(body, kSection, key, options);
        // Addresses are joined with paths that start with "/", so a trailing
        // slash would double it; an empty value keeps the default.
        if (value) {
            Text cleaned = WithoutTrailingSlashes(*value);
            if (!cleaned.empty()) *field = std::move(cleaned);
        }
    }
    return e;
}

Endpoints LoadEndpointsFile(const std::filesystem::path& path) {
    std::optional<Bytes> content = ReadFileBytes(path);
    return content ? ParseEndpoints(*content) : Endpoints();
}

MailServer MailServerFor(const Endpoints& endpoints, const Text& account) {
    MailServer server;
    Text setting = TrimBlanks(endpoints.mailServerHost);
    if (setting.empty()) {
        size_t at = account.rfind('@');
        Text domain = at == Text::npos ? Text() : TrimBlanks(account.substr(at + 1));
        if (!domain.empty()) server.host = "smtp." + domain;
        return server;
    }
    // The port follows the last ":" outside an IPv6 literal's brackets.
    size_t bracket = setting.rfind(']');
    size_t colon = setting.rfind(':');
    bool hasPort = colon != Text::npos && (bracket == Text::npos || colon > bracket) &&
                   (bracket != Text::npos || setting.find(':') == colon);
    if (!hasPort) {
        server.host = setting;
        return server;
    }
    server.host = setting.substr(0, colon);
    Text port = setting.substr(colon + 1);
    if (AllDigits(port) && port.size() <= 5) {
        int value = std::stoi(port);
        if (value >= 1 && value <= 65535) server.port = value;
    }
    return server;
}

}  // namespace velmora
