// Addresses of the store's services, the district and QR services, the mail
// server and the maker's pages. Values are scheme and host (optional port)
// without a trailing slash; the defaults are the public hosts.
#pragma once

#include "core/text.h"

namespace velmora {

struct Endpoints {
    Text stockServiceBase = "http://c0.3.cn";
    Text priceServiceBase = "http://p.3.cn";
    Text promoServiceBase = "http://pi.3.cn";
    Text mobilePriceServiceBase = "http://pm.3.cn";
    Text productPageBase = "https://item.jd.com";
    Text mobilePageBase = "https://item.m.jd.com";
    Text wechatShopBase = "https://wqitem.jd.com";
    Text districtServiceBase;  // no public default: district choices send nothing
    Text qrServiceBase = "http://qr.liantu.com";
    Text mailServerHost;       // empty: "smtp." + the sending account's domain
    Text makerHomeUrl = "https://velmora.app";
    Text makerFeedbackUrl = "https://velmora.app/feedback";
    Text bannerImageUrl = "https://velmora.app/banner.png";
};

}  // namespace velmora
