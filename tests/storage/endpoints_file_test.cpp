#include "storage/endpoints_file.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace velmora {
namespace {

using testing::ScratchDir;
using testing::WriteAll;

bool SameEndpoints(const Endpoints& a, const Endpoints& b) {
    return a.stockServiceBase == b.stockServiceBase && a.priceServiceBase == b.priceServiceBase &&
           a.promoServiceBase == b.promoServiceBase &&
           a.mobilePriceServiceBase == b.mobilePriceServiceBase &&
           a.productPageBase == b.productPageBase && a.mobilePageBase == b.mobilePageBase &&
           a.wechatShopBase == b.wechatShopBase && a.districtServiceBase == b.districtServiceBase &&
           a.qrServiceBase == b.qrServiceBase && a.mailServerHost == b.mailServerHost &&
           a.makerHomeUrl == b.makerHomeUrl && a.makerFeedbackUrl == b.makerFeedbackUrl &&
           a.bannerImageUrl == b.bannerImageUrl;
}

TEST(EndpointsFile, MissingFileGivesTheDefaults) {
    ScratchDir dir;
    EXPECT_TRUE(SameEndpoints(LoadEndpointsFile(dir / kEndpointsFileName), Endpoints{}));
    WriteAll(dir / kEndpointsFileName, "");
    EXPECT_TRUE(SameEndpoints(LoadEndpointsFile(dir / kEndpointsFileName), Endpoints{}));
}

TEST(EndpointsFile, EveryKeyIsRead) {
    ScratchDir dir;
    WriteAll(dir / kEndpointsFileName,
             "[endpoints]\n"
             "StockServiceBase=http://127.0.0.1:1001\n"
             "PriceServiceBase=http://127.0.0.1:1002\n"
             "PromoServiceBase=http://127.0.0.1:1003\n"
             "MobilePriceServiceBase=http://127.0.0.1:1004\n"
             "ProductPageBase=http://127.0.0.1:1005\n"
             "MobilePageBase=http://127.0.0.1:1006\n"
             "WechatShopBase=http://127.0.0.1:1007\n"
             "DistrictServiceBase=http://127.0.0.1:1008\n"
             "QrServiceBase=http://127.0.0.1:1009\n"
             "MailServerHost=127.0.0.1:1010\n"
             "MakerHomeUrl=http://127.0.0.1:1011/home\n"
             "MakerFeedbackUrl=http://127.0.0.1:1012/feedback\n"
             "BannerImageUrl=http://127.0.0.1:1013/banner.png\n");
    Endpoints e = LoadEndpointsFile(dir / kEndpointsFileName);
    EXPECT_EQ(e.stockServiceBase, "http://127.0.0.1:1001");
    EXPECT_EQ(e.priceServiceBase, "http://127.0.0.1:1002");
    EXPECT_EQ(e.promoServiceBase, "http://127.0.0.1:1003");
    EXPECT_EQ(e.mobilePriceServiceBase, "http://127.0.0.1:1004");
    EXPECT_EQ(e.productPageBase, "http://127.0.0.1:1005");
    EXPECT_EQ(e.mobilePageBase, "http://127.0.0.1:1006");
    EXPECT_EQ(e.wechatShopBase, "http://127.0.0.1:1007");
    EXPECT_EQ(e.districtServiceBase, "http://127.0.0.1:1008");
    EXPECT_EQ(e.qrServiceBase, "http://127.0.0.1:1009");
    EXPECT_EQ(e.mailServerHost, "127.0.0.1:1010");
    EXPECT_EQ(e.makerHomeUrl, "http://127.0.0.1:1011/home");
    EXPECT_EQ(e.makerFeedbackUrl, "http://127.0.0.1:1012/feedback");
    EXPECT_EQ(e.bannerImageUrl, "http://127.0.0.1:1013/banner.png");
}

TEST(EndpointsFile, PartialFileTrimsAndDropsTrailingSlashes) {
    Endpoints expected;
    expected.stockServiceBase = "http://127.0.0.1:8080";
    expected.qrServiceBase = "http://qr.test";
    expected.districtServiceBase = "http://127.0.0.1:9";
    Endpoints e = ParseEndpoints(
        "\xEF\xBB\xBF; loopback store\r\n"
        "[other]\r\nPriceServiceBase=http://elsewhere\r\n"
        "[Endpoints]\r\n"
        "  StockServiceBase =  http://127.0.0.1:8080/  \r\n"
        "QrServiceBase=http://qr.test//\r\n"
        "districtservicebase=http://127.0.0.1:9\r\n"
        "PromoServiceBase=\r\n"
        "MobilePageBase=/\r\n");
    EXPECT_TRUE(SameEndpoints(e, expected));
}

TEST(EndpointsFile, MailServerTable) {
    struct Case {
        const char* setting;
        const char* account;
        MailServer expected;
    };
    const Case cases[] = {
        {"", "me@qq.com", {"smtp.qq.com", 25}},
        {"", "first@odd@example.org", {"smtp.example.org", 25}},
        {"", "no-at-sign", {"", 25}},
        {"", "me@", {"", 25}},
        {"mail.test", "me@qq.com", {"mail.test", 25}},
        {"127.0.0.1:2525", "me@qq.com", {"127.0.0.1", 2525}},
        {" 127.0.0.1:2525 ", "", {"127.0.0.1", 2525}},
        {"[::1]:2526", "", {"[::1]", 2526}},
        {"[::1]", "", {"[::1]", 25}},
        {"::1", "", {"::1", 25}},
        {"host:0", "", {"host", 25}},
        {"host:99999", "", {"host", 25}},
        {"host:x", "", {"host", 25}},
    };
    for (const Case& c : cases) {
        Endpoints e;
        e.mailServerHost = c.setting;
        EXPECT_EQ(MailServerFor(e, c.account), c.expected) << c.setting << " / " << c.account;
    }
}

}  // namespace
}  // namespace velmora
