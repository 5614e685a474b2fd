// The exact bytes of every address the services send or hand on.
#include <gtest/gtest.h>

#include "core/codepage.h"
#include "services/item_query.h"
#include "services/product_lookup.h"
#include "services/qr_code.h"
#include "services/region_catalogue.h"

namespace velmora {
namespace {

Text G(const char* utf8) { return Cp936FromUtf8(utf8); }

TEST(RegionCodeTest, IdsAfterTheLastDashOfEachItem) {
    struct Case {
        Text cell;
        Text code;
    };
    const Case cases[] = {
        {G("北京-1#朝阳区-72+三环以内-2799"), "1_72_2799"},
        {"", "__"},                                       // empty region cell
        {G("北京#朝阳区-72+三环以内-2799"), "_72_2799"},  // province item without "-"
        {G("北京-1#朝阳区+三环以内-2799"), "1__2799"},    // city item without "-"
        {G("北京-1#朝阳区-72+三环以内"), "1_72_"},        // area item without "-"
        {G("A-B-1#C-D-2+E-F-3"), "1_2_3"},                // names holding "-"
        {G("北京-1#朝阳区-72"), "1__"},                   // no "+" at all
        {G("北京-1"), "__"},  // no "#": the province is not found either
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RegionCode(c.cell), c.code) << Utf8FromCp936(c.cell);
    }
}

TEST(ItemQueryUrlsTest, FourAddressesByteForByte) {
    Endpoints e;
    e.stockServiceBase = "http://stock.test";
    e.priceServiceBase = "http://price.test";
    e.promoServiceBase = "http://promo.test";
    e.mobilePriceServiceBase = "http://mobile.test:8080";
    const ItemCells row{"1743535", G("北京-1#朝阳区-72+三环以内-2799"), "1000000127",
                        "737,752,753"};
    const ItemQueryUrls urls = BuildItemQueryUrls(row, e);
    EXPECT_EQ(urls.stock,
              "http://stock.test/stock?skuId=1743535&venderId=1000000127&cat=737,752,753"
              "&area=1_72_2799_0&buyNum=1&extraParam={%22originid%22:%221%22}&ch=1"
              "&callback=getStockCallback");
    EXPECT_EQ(urls.price,
              "http://price.test/prices/get?skuid=J_1743535&type=1&area=1_72_2799&callback=cnp");
    EXPECT_EQ(urls.promo,
              "http://promo.test/promoinfo/get?id=1743535&area=1_72_2799_0&origin=1"
              "&callback=Promotions.set");
    EXPECT_EQ(urls.mobile,
              "http://mobile.test:8080/prices/pcpmgets?skuids=1743535&origin=4&source=wxsq"
              "&area=1_72_2799&callback=singlePrice&g_ty=ls");
}

TEST(ItemQueryUrlsTest, EmptyRegionAndUnescapedCells) {
    Endpoints e;
    // An empty region still sends its underscores; "&" and spaces go in as they stand.
    const ItemCells row{"12 3&x=1", "", "", ""};
    const ItemQueryUrls urls = BuildItemQueryUrls(row, e);
    EXPECT_EQ(urls.stock,
              "http://c0.3.cn/stock?skuId=12 3&x=1&venderId=&cat=&area=___0&buyNum=1"
              "&extraParam={%22originid%22:%221%22}&ch=1&callback=getStockCallback");
    EXPECT_EQ(urls.price, "http://p.3.cn/prices/get?skuid=J_12 3&x=1&type=1&area=__&callback=cnp");
    EXPECT_EQ(
        urls.promo,
        "http://pi.3.cn/promoinfo/get?id=12 3&x=1&area=___0&origin=1&callback=Promotions.set");
    EXPECT_EQ(urls.mobile,
              "http://pm.3.cn/prices/pcpmgets?skuids=12 3&x=1&origin=4&source=wxsq&area=__"
              "&callback=singlePrice&g_ty=ls");
}

TEST(PageUrlsTest, ProductMobileAndWechatAddresses) {
    Endpoints e;
    EXPECT_EQ(ProductPageRequestUrl("1743535", e), "https://item.jd.com/1743535.html");
    EXPECT_EQ(ProductPageUrl("1743535", e), "https://item.jd.com/1743535.html");
    EXPECT_EQ(MobilePageUrl("1743535", e), "https://item.m.jd.com/product/1743535.html");
    EXPECT_EQ(WechatShopUrl("1743535", e), "https://wqitem.jd.com/item/view?sku=1743535");
    // A missing product number is left out, not refused.
    EXPECT_EQ(ProductPageRequestUrl("", e), "https://item.jd.com/.html");
}

TEST(DistrictUrlTest, ParentIdAppended) {
    EXPECT_EQ(DistrictRequestUrl("http://d.test", "1"),
              "http://d.test/index.php?mod=ajax&act=getchild_jddist&pid=1");
    EXPECT_EQ(DistrictRequestUrl("http://d.test", "2800"),
              "http://d.test/index.php?mod=ajax&act=getchild_jddist&pid=2800");
}

TEST(QrRequestUrlTest, ColoursInOrderAndPageUnchanged) {
    Endpoints e;
    const QrColours startUp;  // white background, the other four at 0
    EXPECT_EQ(QrRequestUrl(startUp, MobilePageUrl("1743535", e), e),
              "http://qr.liantu.com/api.php?&bg=FFFFFF&fg=0&gc=0&el=2&w=200&m=10&pt=0&inpt=0"
              "&logo=&text=https://item.m.jd.com/product/1743535.html");

    const QrColours custom{0xFFFFFF, 0x1A2B3C, 0xFF00, -1, 0xABCDEF};
    EXPECT_EQ(QrRequestUrl(custom, WechatShopUrl("1743535", e), e),
              "http://qr.liantu.com/api.php?&bg=FFFFFF&fg=1A2B3C&gc=FF00&el=2&w=200&m=10"
              "&pt=FFFFFFFF&inpt=ABCDEF&logo=&text=https://wqitem.jd.com/item/view?sku=1743535");
}

}  // namespace
}  // namespace velmora
